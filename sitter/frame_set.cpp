#include "sitter/frame_set.h"

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
    if (art_.Width() != pictures.base.Width() || art_.Height() != pictures.base.Height() || !art_.hDC())
        art_.Create(pictures.base.Width(), pictures.base.Height());
    const cDIBSection* blinks[] = {nullptr, &pictures.blinkHalf, &pictures.blinkClosed};
    for (const BlinkPhase phase : {BlinkPhase::Open, BlinkPhase::HalfClosed, BlinkPhase::Closed}) {
        DrawLayer(art_, pictures.base, POINT{0, 0}, true);
        DrawLayer(art_, pictures.costume[1], POINT{0, 0}, false);
        if (const cDIBSection* blink = blinks[static_cast<size_t>(phase)]) DrawLayer(art_, *blink, blinkAt, false);
        DrawLayer(art_, pictures.costume[0], POINT{0, 0}, false);
        GdiFlush();  // the scaling reads the pixels themselves
        cDIBSection& plain = frames_[IndexOf(phase, false)];
        cDIBSection& mirrored = frames_[IndexOf(phase, true)];
        if (!imaging::ScaleArt(art_, plain, scale, platform::CharacterColourKey)) continue;
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
