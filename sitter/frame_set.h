#pragma once
// The frames the character can show: base, costume layer 2, the blink frame and costume layer 1 composed
// once for every blink phase, plain and mirrored, whenever a picture or the scale changes. Each is composed
// in the pixels of the finest art worn and then drawn at the scale crisply. Showing a frame is then one copy.
#include <windows.h>

#include <array>

#include "imaging/cDIBSection.h"
#include "sitter/blink_schedule.h"

// What the character is drawn from: the base, the two blink frames and the costume of each layer.
struct CharacterPictures {
    cDIBSection base;
    cDIBSection blinkHalf;
    cDIBSection blinkClosed;
    std::array<cDIBSection, 2> costume;  // by layer
    std::array<int, 2> detail{1, 1};     // of each costume: its pixels per pixel of the built-in art, 1 to 4
};

class FrameSet {
public:
    // The blink frames go to `blinkAt` in the base's pixels; `scale` 1 draws the built-in art's own pixels. A
    // costume drawn at more detail keeps it: the frame is composed at the finest detail worn, the built-in pictures
    // enlarged to it pixel for pixel and a costume of less detail crisply. Frames that cannot be made stay empty.
    void Compose(const CharacterPictures& pictures, POINT blinkAt, double scale);
    const cDIBSection& Frame(BlinkPhase phase, bool mirrored) const;
    SIZE Size() const;
    // Copies the frame to `target` at its top-left corner.
    void Show(HDC target, BlinkPhase phase, bool mirrored) const;

private:
    cDIBSection art_;                    // one frame in the art's own pixels, before scaling
    std::array<cDIBSection, 5> enlarged_;  // the pictures of less detail than the frame, at its detail
    std::array<cDIBSection, 6> frames_;  // by phase, plain then mirrored
};
