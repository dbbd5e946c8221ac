// Composing the character: base, costume layer 2, the blink frame and costume layer 1. Every frame it can
// show is composed when the pictures change, plain and mirrored; the window gets one finished frame when
// the blink phase, the costume or the side changes, or when it asks for a paint.
#include "platform/handles.h"
#include "platform/layered.h"
#include "platform/random.h"
#include "platform/text.h"
#include "sitter/sitter_window.h"

namespace {

// The blink cycle, by the period's count: half-closed, closed, half-closed again, then open until 201.
constexpr int32_t BlinkCycle = 201;
constexpr int32_t MewEvery = 500;

enum Phase { Open, HalfClosed, Closed };

Phase BlinkPhase(int32_t count) {
    if (count == 101 || count == 102 || count == 115 || count == 116) return HalfClosed;
    return count >= 103 && count <= 114 ? Closed : Open;
}

void DrawLayer(const cDIBSection& target, const cDIBSection& picture, POINT at, bool opaque) {
    const int w = picture.Width(), h = picture.Height();
    if (opaque) BitBlt(target.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, SRCCOPY);
    else TransparentBlt(target.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, w, h, platform::PictureColourKey);
}

}  // namespace

void SitterWindow::ComposeFrames() {
    const int w = pictures_.base.Width(), h = pictures_.base.Height();
    const cDIBSection* blinks[] = {nullptr, &pictures_.blinkHalf, &pictures_.blinkClosed};
    for (int phase = Open; phase <= Closed; ++phase) {
        cDIBSection& plain = frames_[2 * static_cast<size_t>(phase)];
        cDIBSection& mirrored = frames_[2 * static_cast<size_t>(phase) + 1];
        if (!plain.Create(w, h) || !mirrored.Create(w, h)) continue;  // nothing to draw yet
        DrawLayer(plain, pictures_.base, POINT{0, 0}, true);
        DrawLayer(plain, pictures_.costume[static_cast<size_t>(Layer::Two)], POINT{0, 0}, false);
        if (blinks[phase]) DrawLayer(plain, *blinks[phase], blink_, false);
        DrawLayer(plain, pictures_.costume[static_cast<size_t>(Layer::One)], POINT{0, 0}, false);
        StretchBlt(mirrored.hDC(), w - 1, 0, -w, h, plain.hDC(), 0, 0, w, h, SRCCOPY);
    }
}

const cDIBSection& SitterWindow::ShownFrame() const {
    return frames_[2 * static_cast<size_t>(BlinkPhase(blinkCounter_)) + (mirrored_ ? 1 : 0)];
}

void SitterWindow::ShowFrame(HDC target) {
    const cDIBSection& frame = ShownFrame();
    BitBlt(target, 0, 0, frame.Width(), frame.Height(), frame.hDC(), 0, 0, SRCCOPY);
}

void SitterWindow::OnPaint(HDC dc) { ShowFrame(dc); }

void SitterWindow::ShowFrameInWindow() {
    if (!IsCreated()) return;
    if (!ownDC_) ownDC_ = GetDC(hwnd());  // released with the window: it is the class's own
    ShowFrame(ownDC_);
}

bool SitterWindow::WearsCatgirl() const {
    const Wardrobe& first = wardrobe(Layer::One);
    return first.current >= 1 && static_cast<size_t>(first.current) <= first.names.size() &&
           first.names[static_cast<size_t>(first.current) - 1] == "Catgirl";
}

void SitterWindow::AdvancePeriods(int32_t periods) {
    const bool catgirl = WearsCatgirl();
    const Phase before = BlinkPhase(blinkCounter_);
    bool mew = false;
    for (int32_t i = 0; i < periods; ++i) {
        if (++blinkCounter_ >= BlinkCycle) blinkCounter_ = 0;
        if (catgirl && ++mewCounter_ == MewEvery) mewCounter_ = 0, mew = true;
    }
    periodsCounted_ += periods;
    if (BlinkPhase(blinkCounter_) != before) ShowFrameInWindow();
    if (mew) Mew();
}

// The timer is due at the next period that changes the frame or brings a mew: the periods between are
// counted, not drawn.
void SitterWindow::ScheduleNextFrame() {
    const Phase shown = BlinkPhase(blinkCounter_);
    int32_t ahead = 1;
    while (ahead < BlinkCycle && BlinkPhase((blinkCounter_ + ahead) % BlinkCycle) == shown) ++ahead;
    if (WearsCatgirl()) ahead = std::min(ahead, MewEvery - mewCounter_);
    const ULONGLONG due = periodsStart_ + static_cast<ULONGLONG>(periodsCounted_ + ahead) * PeriodMs, now = GetTickCount64();
    frameTimer_.SetInterval(due > now ? static_cast<unsigned>(due - now) : 1);
}

void SitterWindow::OnFrameTimer() {
    const auto due = static_cast<int64_t>((GetTickCount64() - periodsStart_) / PeriodMs);
    if (due > periodsCounted_) AdvancePeriods(static_cast<int32_t>(due - periodsCounted_));
    ScheduleNextFrame();
}

void SitterWindow::Mew() {
    static const std::vector<std::string> sounds = platform::Split("Mew! Mrowrl... *purr* Mewl! Meow! ....mreew?", " ");
    // floor(r * 5): one of the first five, never the last.
    const auto pick = static_cast<size_t>(platform::NextRandom() * static_cast<float>(sounds.size() - 1));
    Say(sounds[std::min(pick, sounds.size() - 2)]);
}
