#pragma once
// Arithmetic of the distance dialog, kept free of window calls so it can be checked on its own.
#include <windows.h>

#include <cstdint>
#include <string>

// What the slider can show: a distance outside 0..100 (only a hand-edited registry value gets there)
// is shown at the nearer end.
int32_t ClampDistance(int32_t fromSide);

// Left edge of the character in the preview: V = 0 puts it against the right edge, V = 100 against the
// left one. lWidth is the preview's inner width, lImageWidth the character's.
int32_t PreviewSitterX(int32_t lWidth, int32_t lImageWidth, int32_t lValue);

// The number after the first colon of a metric text ("Butt height: 92" gives 92), rounded halves to even;
// a text without a colon reads as 0.
int32_t MetricFromText(const std::string& sText);

// The dialog's client area and controls in pixels at a given DPI; they are laid out at 96 DPI and scale
// with the system DPI as the twips of their design do.
struct DistanceLayout {
    SIZE client;
    RECT hsbOffset;
    RECT lblOffset;
    RECT Picture1;
};
DistanceLayout DistanceLayoutAt(int dpiX, int dpiY);

// Tahoma 8.25 points as a font height in pixels (negative: character height) at a given DPI.
int32_t DialogFontHeight(int dpiY);
