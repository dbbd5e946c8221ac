#pragma once
// Where the balloon goes beside the character: below it in the upper half of its monitor, above it in the
// lower half; left of it unless only the other side keeps it on the monitor. Computed in twips, single
// precision, and handed back in pixels.
#include <windows.h>

// Which edge of the balloon carries the tail. Top: the balloon is below the character.
enum class Tail { Bottom, Top };
// Which side of the character the balloon opens to. Left: the tail is near the balloon's right end.
enum class Opens { Left, Right };

// What the face shows of the placement: where its tail is drawn.
struct BalloonSide {
    Tail tail = Tail::Bottom;
    Opens opens = Opens::Left;
    bool operator==(const BalloonSide&) const = default;
};

struct BalloonPlacement {
    POINT topLeft;  // screen pixels
    BalloonSide side;
    bool sideChanged;
};

// The character's window on the screen, in pixels, and the Size its art is shown at. The window, when
// given, says which monitor the character is on; without it, the monitor that holds most of `bounds`.
struct CharacterPlace {
    RECT bounds;
    int sizePercent = 100;
    HWND window = nullptr;
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

// `balloon` is the balloon's size. A character that straddles the monitor's midline keeps the tail's edge it
// had and is followed on that side. Across, the balloon opens to the left where it fits on the monitor, else
// to the right, mirrored about the character's middle; where neither fits, the one that needs the shorter
// shift is shifted just onto the monitor.
BalloonPlacement PlaceBalloon(const CharacterPlace& character, SIZE balloon, const ScreenUnits& units, BalloonSide current);
