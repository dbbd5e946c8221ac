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

// The character's window on the screen, in pixels, and the Size its art is shown at.
struct CharacterPlace {
    RECT bounds;
    int sizePercent = 100;
};

// The balloon's right edge lies right of the character's left edge by the 63 pixels (at 96 DPI) from
// the tail's tip to the balloon's right edge, which are the balloon's, plus the 3.67 pixels from the
// character's left edge to where the tip points, which grow with the character's Size.
inline constexpr float TipToBalloonRightTwips = 945;
inline constexpr float CharacterLeftToTipTwips = 55;
// Below the character, the balloon's top reaches this far (at Size 100) up over the character's bottom edge.
inline constexpr float BalloonOverlapTwips = 300;

struct ScreenUnits {
    RECT monitor;  // the monitor that holds the character, screen pixels
    double twipsPerPixelX;
    double twipsPerPixelY;
};

// `balloon` is the balloon's size. A character that straddles the monitor's midline keeps the side it
// had and is followed on that side.
BalloonPlacement PlaceBalloon(const CharacterPlace& character, SIZE balloon, const ScreenUnits& units, Tail current);
