#include "sitter/frame_set.h"

#include <algorithm>

#include "imaging/pixel_art.h"
#include "platform/layered.h"

namespace {

void DrawLayer(const cDIBSection& target, const cDIBSection& picture, POINT at, bool opaque) {
    const int w = picture.Width(), h = picture.Height();
    if (opaque) BitBlt(target.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, SRCCOPY);
    else TransparentBlt(target.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, w, h, platform::PictureColourKey);
}

size_t IndexOf(BlinkPhase phase, bool mirrored) { return 2 * static_cast<size_t>(phase) + (mirrored ? 1 : 0); }

}  // namespace

void FrameSet::Compose(const CharacterPictures& pictures, POINT blinkAt, double scale) {
    const int detail = std::max(pictures.detail[0], pictures.detail[1]);
    size_t enlarged = 0;
    auto atDetail = [&](const cDIBSection& picture, int own, COLORREF key) -> const cDIBSection& {
        if (own == detail) return picture;
        cDIBSection& target = enlarged_[enlarged++];
        return imaging::ScaleArt(picture, target, detail, key, own) ? target : picture;
    };
    constexpr COLORREF key = platform::PictureColourKey;
    const cDIBSection& base = atDetail(pictures.base, 1, platform::CharacterColourKey);
    const cDIBSection& layer1 = atDetail(pictures.costume[0], pictures.detail[0], key);
    const cDIBSection& layer2 = atDetail(pictures.costume[1], pictures.detail[1], key);
    const cDIBSection* blinks[] = {nullptr, &atDetail(pictures.blinkHalf, 1, key), &atDetail(pictures.blinkClosed, 1, key)};
    blinkAt = POINT{blinkAt.x * detail, blinkAt.y * detail};

    if (art_.Width() != base.Width() || art_.Height() != base.Height() || !art_.hDC()) art_.Create(base.Width(), base.Height());
    for (const BlinkPhase phase : {BlinkPhase::Open, BlinkPhase::HalfClosed, BlinkPhase::Closed}) {
        DrawLayer(art_, base, POINT{0, 0}, true);
        DrawLayer(art_, layer2, POINT{0, 0}, false);
        if (const cDIBSection* blink = blinks[static_cast<size_t>(phase)]) DrawLayer(art_, *blink, blinkAt, false);
        DrawLayer(art_, layer1, POINT{0, 0}, false);
        GdiFlush();  // the scaling reads the pixels themselves
        cDIBSection& plain = frames_[IndexOf(phase, false)];
        cDIBSection& mirrored = frames_[IndexOf(phase, true)];
        if (!imaging::ScaleArt(art_, plain, scale, platform::CharacterColourKey, detail)) continue;
        const int w = plain.Width(), h = plain.Height();
        if ((mirrored.Width() != w || mirrored.Height() != h || !mirrored.hDC()) && !mirrored.Create(w, h)) continue;
        StretchBlt(mirrored.hDC(), w - 1, 0, -w, h, plain.hDC(), 0, 0, w, h, SRCCOPY);
    }
}

SIZE FrameSet::Size() const { return SIZE{frames_[0].Width(), frames_[0].Height()}; }

const cDIBSection& FrameSet::Frame(BlinkPhase phase, bool mirrored) const { return frames_[IndexOf(phase, mirrored)]; }

void FrameSet::Show(HDC target, BlinkPhase phase, bool mirrored) const {
    const cDIBSection& frame = Frame(phase, mirrored);
    BitBlt(target, 0, 0, frame.Width(), frame.Height(), frame.hDC(), 0, 0, SRCCOPY);
}
