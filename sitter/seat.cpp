#include "sitter/seat.h"

#include <algorithm>

#include "platform/units.h"

using platform::RoundHalfEvenClampedToInt32;

Seat SeatOn(const RECT& window, int32_t monitorTop, int32_t distance, const SeatMetrics& m) {
    const double tx = m.twipsPerPixelX, ty = m.twipsPerPixelY;
    const int32_t topTw = RoundHalfEvenClampedToInt32(ty * window.top);
    const int32_t belowMonitorTopTw = RoundHalfEvenClampedToInt32(ty * (static_cast<double>(window.top) - monitorTop));
    // Widths in 64 bits: right - left of two valid coordinates can exceed 32 bits.
    const int32_t widthTw = RoundHalfEvenClampedToInt32(tx * (static_cast<double>(window.right) - window.left));
    int32_t leftTw = RoundHalfEvenClampedToInt32(tx * window.right - (widthTw / 100.0) * distance);
    // The frame's width in twips is single precision, as the seat has always taken it.
    const double frameWidthTw = static_cast<float>(m.framePx.cx * tx);
    leftTw = RoundHalfEvenClampedToInt32(leftTw - frameWidthTw);
    if (belowMonitorTopTw < TopThresholdTwips) leftTw = ParkedLeftTwips;
    const int32_t topOfFrameTw = RoundHalfEvenClampedToInt32(static_cast<double>(topTw) - m.buttHeightTwips);

    const int32_t left = platform::PixelsFromTwips(leftTw, tx), top = platform::PixelsFromTwips(topOfFrameTw, ty);
    return {RECT{left, top, left + m.framePx.cx, top + m.framePx.cy}, distance > 50};
}

SeatMetrics SeatMetricsAt(int32_t buttHeight, SIZE frame, int dpi, double scale) {
    const double twipsPerPixel = platform::TwipsPerPixelAt(dpi);
    const int32_t buttPixels = RoundHalfEvenClampedToInt32(buttHeight * scale);
    return SeatMetrics{RoundHalfEvenClampedToInt32(buttPixels * twipsPerPixel), frame, twipsPerPixel, twipsPerPixel};
}

POINT ParkedOutside(const RECT& virtualScreen, const SeatMetrics& m) {
    constexpr double UsualTwips = -10000;
    return POINT{std::min<LONG>(platform::PixelsFromTwips(UsualTwips, m.twipsPerPixelX), virtualScreen.left - m.framePx.cx),
                 std::min<LONG>(platform::PixelsFromTwips(UsualTwips, m.twipsPerPixelY), virtualScreen.top - m.framePx.cy)};
}
