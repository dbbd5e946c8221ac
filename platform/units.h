#pragma once
// Display scale, twips (1/1440 inch) and pixels. Every window is laid out for the DPI of the monitor it is
// on; positions are computed in twips where the rules round in them, and windows are moved in pixels.
#include <windows.h>

#include "platform/number.h"

namespace platform {

inline constexpr int DefaultDpi = 96;

// The DPI a window is laid out for: its monitor's where the system says so per window, else the system's.
int WindowDpi(HWND window);
// The system's DPI, the one a window starts with before it knows its monitor.
int SystemDpi();
// A system metric (SM_CXSMICON, SM_CYCAPTION ...) at a DPI.
int SystemMetricAt(int index, int dpi);
// The window rectangle around a client area of `client` for the style, at a DPI.
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

constexpr double TwipsPerPixelAt(int dpi) { return 1440.0 / dpi; }

// A length of the 96-DPI design at `dpi`, rounded like every conversion of the program (halves to even).
inline int32_t ScaledForDpi(double length96, int dpi) {
    return RoundHalfEvenClampedToInt32(length96 * dpi / DefaultDpi);
}

// A position in twips as whole pixels: nearest, halves to even, clamped to 32 bits.
inline int32_t PixelsFromTwips(double twips, double twipsPerPixel) {
    return RoundHalfEvenClampedToInt32(twips / twipsPerPixel);
}

}  // namespace platform
