#pragma once
// Where the character sits on a window: pure arithmetic, in twips.
#include <windows.h>

#include <cstdint>

struct SeatTwips {
    int32_t left;
    int32_t top;
    int32_t fromLeft;  // -1 when the seat is more than halfway along from the right end, else 0
};

constexpr int32_t ParkedLeftTwips = -1000000;
constexpr int32_t TopThresholdTwips = 16;

// `window` in screen pixels; `frameWidthTwips` is the character frame's width; tx/ty are twips per pixel.
// Results that would leave the 32-bit range are clamped to it.
SeatTwips ComputeSeat(const RECT& window, int32_t fromSide, int32_t buttHeightTwips, double frameWidthTwips,
                      double tx, double ty);
