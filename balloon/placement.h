#pragma once
// Where the balloon goes beside the character: below it in the upper half of its monitor, above it in the
// lower half. Computed in twips, single precision, and handed back in pixels.
#include <windows.h>

// Which edge of the balloon carries the tail. Top: the balloon is below the character.
enum class Tail { Bottom, Top };

struct BalloonPlacement {
    POINT topLeft;  // screen pixels
    Tail tail;
    bool sideChanged;
};

// The balloon's right edge is this far right of the character's left edge.
inline constexpr float BalloonOverhangTwips = 1000;
// Below the character, the balloon's top reaches this far up over the character's bottom edge.
inline constexpr float BalloonOverlapTwips = 300;

struct ScreenUnits {
    RECT monitor;  // the monitor that holds the character, screen pixels
    double twipsPerPixelX;
    double twipsPerPixelY;
};

// `character` is the character's window in screen pixels, `balloon` the balloon's size. A character
// that straddles the monitor's midline keeps the side it had and is followed on that side.
BalloonPlacement PlaceBalloon(const RECT& character, SIZE balloon, const ScreenUnits& units, Tail current);
