#pragma once
// Where the character sits on a window: computed in twips, with the rounding the rule defines, and handed
// back in pixels.
#include <windows.h>

#include <cstdint>

struct Seat {
    RECT bounds;    // the character's window, screen pixels
    bool mirrored;  // more than halfway along the edge from the window's right end
};

struct SeatMetrics {
    int32_t buttHeightTwips;  // from the frame's top down to where it sits
    SIZE framePx;             // the character's frame
    double twipsPerPixelX;
    double twipsPerPixelY;
};

// The seat's measures for a character drawn at `scale` on a display of `dpi`, its frame `frame` pixels: the
// butt height `buttHeight` of the art's pixels stays a whole number of pixels, as the art's rows do, so the
// character sits on the edge at every scale as it does in the art's own pixels.
SeatMetrics SeatMetricsAt(int32_t buttHeight, SIZE frame, int dpi, double scale);

// A window whose top edge lies less than this below the top of its monitor (maximised there) is not sat on.
inline constexpr int32_t TopThresholdTwips = 16;
// Where the character waits, far left of the screen, when there is nothing to sit on.
inline constexpr int32_t ParkedLeftTwips = -1000000;

// `window` is the visible frame of the tracked window in screen pixels, `monitorTop` the top of the monitor
// that holds it, `distance` the percentage of its width from its right end to the character's right edge.
// Results leaving the 32-bit range are clamped.
Seat SeatOn(const RECT& window, int32_t monitorTop, int32_t distance, const SeatMetrics& metrics);

// Where the character waits while start-up or the distance dialog keeps it out of sight: 10000 twips left
// of and above the primary monitor's corner, or further, so that no monitor of `virtualScreen` shows it.
POINT ParkedOutside(const RECT& virtualScreen, const SeatMetrics& metrics);
