#include "sitter/seat.h"

#include "platform/number.h"

using platform::RoundToLongClamped;

SeatTwips ComputeSeat(const RECT& window, int32_t fromSide, int32_t buttHeightTwips, double frameWidthTwips,
                      double tx, double ty) {
    SeatTwips seat{};
    const int32_t topTw = RoundToLongClamped(ty * window.top);
    seat.fromLeft = fromSide > 50 ? -1 : 0;
    // Widths in 64 bits: right - left of two valid coordinates can exceed 32 bits.
    const int32_t widthTw = RoundToLongClamped(tx * (static_cast<double>(window.right) - window.left));
    int32_t xTw = RoundToLongClamped(tx * window.right - (widthTw / 100.0) * fromSide);
    xTw = RoundToLongClamped(xTw - frameWidthTwips);
    if (topTw < TopThresholdTwips) xTw = ParkedLeftTwips;
    seat.left = xTw;
    seat.top = RoundToLongClamped(static_cast<double>(topTw) - buttHeightTwips);
    return seat;
}
