#include "sitter/frame_set.h"

#include "platform/layered.h"

namespace {

void DrawLayer(const cDIBSection& target, const cDIBSection& picture, POINT at, bool opaque) {
    const int w = picture.Width(), h = picture.Height();
    if (opaque) BitBlt(target.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, SRCCOPY);
    else TransparentBlt(target.hDC(), at.x, at.y, w, h, picture.hDC(), 0, 0, w, h, platform::PictureColourKey);
}

size_t IndexOf(BlinkPhase phase, bool mirrored) { return 2 * static_cast<size_t>(phase) + (mirrored ? 1 : 0); }

}  // namespace

void FrameSet::Compose(const CharacterPictures& pictures, POINT blinkAt) {
    const int w = pictures.base.Width(), h = pictures.base.Height();
    const cDIBSection* blinks[] = {nullptr, &pictures.blinkHalf, &pictures.blinkClosed};
    for (const BlinkPhase phase : {BlinkPhase::Open, BlinkPhase::HalfClosed, BlinkPhase::Closed}) {
        cDIBSection& plain = frames_[IndexOf(phase, false)];
        cDIBSection& mirrored = frames_[IndexOf(phase, true)];
        if (!plain.Create(w, h) || !mirrored.Create(w, h)) continue;
        DrawLayer(plain, pictures.base, POINT{0, 0}, true);
        DrawLayer(plain, pictures.costume[1], POINT{0, 0}, false);
        if (const cDIBSection* blink = blinks[static_cast<size_t>(phase)]) DrawLayer(plain, *blink, blinkAt, false);
        DrawLayer(plain, pictures.costume[0], POINT{0, 0}, false);
        StretchBlt(mirrored.hDC(), w - 1, 0, -w, h, plain.hDC(), 0, 0, w, h, SRCCOPY);
    }
}

const cDIBSection& FrameSet::Frame(BlinkPhase phase, bool mirrored) const { return frames_[IndexOf(phase, mirrored)]; }

void FrameSet::Show(HDC target, BlinkPhase phase, bool mirrored) const {
    const cDIBSection& frame = Frame(phase, mirrored);
    BitBlt(target, 0, 0, frame.Width(), frame.Height(), frame.hDC(), 0, 0, SRCCOPY);
}
