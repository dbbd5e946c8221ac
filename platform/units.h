#pragma once
// Twips (1/1440 inch) and pixels. Positions are computed in twips where the rules round in them, and
// windows are moved in pixels.
#include "platform/number.h"

namespace platform {

struct Dpi {
    int x = 96;
    int y = 96;
};

// The system DPI, fixed for a system-DPI-aware process, so read once.
Dpi SystemDpi();

constexpr double TwipsPerPixelAt(int dpi) { return 1440.0 / dpi; }

// A position in twips as whole pixels: nearest, halves to even, clamped to 32 bits.
inline int32_t PixelsFromTwips(double twips, double twipsPerPixel) {
    return RoundHalfEvenClampedToInt32(twips / twipsPerPixel);
}

}  // namespace platform
