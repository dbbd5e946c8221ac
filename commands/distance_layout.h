#pragma once
// Arithmetic of the distance dialog, free of window calls.
#include <windows.h>

#include <cstdint>

// What the slider can show: a distance outside 0..100 (only a hand-edited setting gets there) is shown at
// the nearer end.
int32_t ClampDistance(int32_t distance);

// Left edge of the character in the preview: 0 puts it against the right edge, 100 against the left one.
// `previewWidth` is the preview's inner width, `imageWidth` the character's.
int32_t PreviewCharacterX(int32_t previewWidth, int32_t imageWidth, int32_t distance);

// The outline of a window drawn along the bottom of the preview's box (`box` its inner size): its caption,
// the raised edge of its frame above it, and the frame's inner top line, where the character's seat goes.
struct PreviewWindow {
    RECT caption;
    RECT frame;
    int32_t seatLine;
};
PreviewWindow PreviewWindowIn(SIZE box, int32_t captionHeight, int32_t border);

// The character as the preview draws it: `scale` times its art, `size` large, its top row at `top`.
struct PreviewCharacter {
    double scale;
    SIZE size;
    int32_t top;
};
// At `characterScale`, or at the largest scale below it where the character fits above `seatLine`, its seat
// (row `seatRow` of an `art` large picture) on that line and its top row at the box's top or below. (The box is
// far wider than the part of it above the line is high.)
PreviewCharacter PreviewCharacterIn(int32_t seatLine, SIZE art, int32_t seatRow, double characterScale);

// The dialog's client area and controls in pixels at a DPI: the 96-DPI design scaled.
struct DistanceLayout {
    SIZE client;
    RECT slider;
    RECT readOut;
    RECT preview;
};
DistanceLayout DistanceLayoutAt(int dpi);
