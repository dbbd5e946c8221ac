#pragma once
// Where the balloon goes beside the character: below it in the upper half of the screen, above it in
// the lower half. Everything is in twips, so the rule holds at any number of twips per pixel.
#include <cstdint>

struct SitterBox {
    float left = 0;    // twips
    float top = 0;     // twips
    float height = 0;  // twips
};

struct BalloonPlacement {
    float left = 0;  // twips
    float top = 0;   // twips
    int16_t tailAtTop = 0;  // 1: below the character, tail on the top edge; 0: above, tail at the bottom
    bool sideChanged = false;
};

// The balloon's right edge is this far right of the character's left edge.
inline constexpr float BalloonOverhangTw = 1000;
// Below the character, the balloon's top reaches this far up over the character's bottom edge.
inline constexpr float BalloonOverlapTw = 300;

// Sums are single precision, as the positions themselves. A character that straddles the midline keeps
// the side it had and is followed on that side, so the balloon neither flips nor stays behind.
BalloonPlacement PlaceBalloon(SitterBox sitter, float balloonWidthTw, float balloonHeightTw, float screenHeightTw,
                              int16_t tailAtTop);
