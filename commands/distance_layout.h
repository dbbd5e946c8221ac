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

// The dialog's client area and controls in pixels at a DPI: the 96-DPI design scaled.
struct DistanceLayout {
    SIZE client;
    RECT slider;
    RECT readOut;
    RECT preview;
};
DistanceLayout DistanceLayoutAt(int dpi);
