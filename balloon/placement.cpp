#include "balloon/placement.h"

namespace {

BalloonPlacement Below(SitterBox s, float balloonWidth) {
    BalloonPlacement p;
    p.tailAtTop = 1;
    p.left = s.left - balloonWidth + BalloonOverhangTw;
    p.top = s.top + s.height - BalloonOverlapTw;
    if (p.top < 0) p.top = 0;  // never above the screen's top edge
    return p;
}

BalloonPlacement Above(SitterBox s, float balloonWidth, float balloonHeight) {
    BalloonPlacement p;
    p.tailAtTop = 0;
    p.left = s.left - balloonWidth + BalloonOverhangTw;
    p.top = s.top - balloonHeight;
    return p;
}

}  // namespace

BalloonPlacement PlaceBalloon(SitterBox sitter, float balloonWidthTw, float balloonHeightTw, float screenHeightTw,
                              int16_t tailAtTop) {
    const float half = screenHeightTw / 2;
    const float bottom = sitter.top + sitter.height;
    BalloonPlacement p;
    if (bottom < half) {
        p = Below(sitter, balloonWidthTw);
    } else if (sitter.top > half) {
        p = Above(sitter, balloonWidthTw, balloonHeightTw);
    } else {
        p = tailAtTop == 1 ? Below(sitter, balloonWidthTw) : Above(sitter, balloonWidthTw, balloonHeightTw);
        p.tailAtTop = tailAtTop;
    }
    p.sideChanged = p.tailAtTop != tailAtTop;
    return p;
}
