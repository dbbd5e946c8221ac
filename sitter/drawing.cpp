// Composing the character: base, costume layer 2, the blink frame and costume layer 1, composed off the
// screen and copied to the window in one blit, mirrored in the left half of the edge.
#include "platform/handles.h"
#include "platform/layered.h"
#include "platform/random.h"
#include "platform/text.h"
#include "sitter/sitter_window.h"

namespace {

// The blink cycle, by the redraw count: half-closed, closed, half-closed again, then open until 201.
constexpr int32_t BlinkCycle = 201;
constexpr int32_t MewEvery = 500;

}  // namespace

void SitterWindow::DrawLayer(const cDIBSection& picture, POINT at) {
    const int w = picture.Width(), h = picture.Height();
    if (&picture == &pictures_.base) {
        BitBlt(frame_.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, SRCCOPY);
    } else {
        TransparentBlt(frame_.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, w, h, platform::PictureColourKey);
    }
}

void SitterWindow::Redraw(HDC target) {
    DrawLayer(pictures_.base, POINT{0, 0});
    DrawLayer(pictures_.costume[static_cast<size_t>(Layer::Two)], POINT{0, 0});
    ++blinkCounter_;
    if (blinkCounter_ == 101 || blinkCounter_ == 102 || blinkCounter_ == 115 || blinkCounter_ == 116)
        DrawLayer(pictures_.blinkHalf, blink_);
    if (blinkCounter_ >= 103 && blinkCounter_ <= 114) DrawLayer(pictures_.blinkClosed, blink_);
    if (blinkCounter_ >= BlinkCycle) blinkCounter_ = 0;
    DrawLayer(pictures_.costume[static_cast<size_t>(Layer::One)], POINT{0, 0});

    const int w = frame_.Width(), h = frame_.Height();
    if (mirrored_) {
        StretchBlt(target, w - 1, 0, -w, h, frame_.hDC(), 0, 0, w, h, SRCCOPY);
    } else {
        BitBlt(target, 0, 0, w, h, frame_.hDC(), 0, 0, SRCCOPY);
    }
    MewNowAndThen();
}

void SitterWindow::OnPaint(HDC dc) { Redraw(dc); }

// While the first layer is "Catgirl", every 500th redraw says one of the first five cat sounds.
void SitterWindow::MewNowAndThen() {
    const Wardrobe& first = wardrobe(Layer::One);
    if (first.current < 1 || static_cast<size_t>(first.current) > first.names.size() ||
        first.names[static_cast<size_t>(first.current) - 1] != "Catgirl")
        return;
    if (++mewCounter_ != MewEvery) return;
    mewCounter_ = 0;
    static const std::vector<std::string> sounds = platform::Split("Mew! Mrowrl... *purr* Mewl! Meow! ....mreew?", " ");
    // floor(r * 5): one of the first five, never the last.
    const auto pick = static_cast<size_t>(platform::NextRandom() * static_cast<float>(sounds.size() - 1));
    Say(sounds[std::min(pick, sounds.size() - 2)]);
}
