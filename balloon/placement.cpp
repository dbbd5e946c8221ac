#include "balloon/placement.h"

#include <algorithm>
#include <cstdlib>

#include "platform/units.h"

namespace {

struct TwipsBox {
    float left, top, width, height;
};

TwipsBox InTwips(const RECT& r, const ScreenUnits& u) {
    return {static_cast<float>(r.left * u.twipsPerPixelX), static_cast<float>(r.top * u.twipsPerPixelY),
            static_cast<float>((r.right - r.left) * u.twipsPerPixelX),
            static_cast<float>((r.bottom - r.top) * u.twipsPerPixelY)};
}

}  // namespace

BalloonPlacement PlaceBalloon(const CharacterPlace& character, SIZE balloon, const ScreenUnits& units, BalloonSide current) {
    const TwipsBox s = InTwips(character.bounds, units);
    const TwipsBox b = InTwips(RECT{0, 0, balloon.cx, balloon.cy}, units);
    const TwipsBox monitor = InTwips(units.monitor, units);
    const float half = monitor.top + monitor.height / 2;
    const float bottom = s.top + s.height;

    Tail tail = current.tail;
    if (bottom < half) tail = Tail::Top;
    else if (s.top > half) tail = Tail::Bottom;

    // The character's part of the distances grows with its Size; at 100 they are 1000 and 300 twips,
    // added as one sum so that the result is today's to the last bit.
    const float size = static_cast<float>(character.sizePercent) / 100;
    const float overhang = TipToBalloonRightTwips + CharacterLeftToTipTwips * size;
    const float left = s.left - b.width + overhang;
    float top = s.top - b.height;  // above, the tip touches the character's top at any Size
    if (tail == Tail::Top) {
        top = s.top + s.height - BalloonOverlapTwips * size;
        if (top < monitor.top) top = monitor.top;  // never above the monitor's top edge
    }

    // Opening to the right is the mirror of the left in pixels, about the character's middle, so that the
    // face's mirrored tail points at the same column of the character.
    const RECT& m = units.monitor;
    const LONG leftward = platform::PixelsFromTwips(left, units.twipsPerPixelX);
    const LONG rightward = character.bounds.left + character.bounds.right - leftward - balloon.cx;
    // A balloon wider than its monitor keeps its left edge, where the text starts, on it.
    const auto onMonitor = [&m, &balloon](LONG x) { return std::max(m.left, std::min(x, m.right - balloon.cx)); };
    // The side that needs no shift, or the shorter one; left where both need the same.
    const bool opensLeft = std::abs(onMonitor(leftward) - leftward) <= std::abs(onMonitor(rightward) - rightward);
    const BalloonSide side{tail, opensLeft ? Opens::Left : Opens::Right};
    return {POINT{onMonitor(opensLeft ? leftward : rightward), platform::PixelsFromTwips(top, units.twipsPerPixelY)}, side,
            side != current};
}
