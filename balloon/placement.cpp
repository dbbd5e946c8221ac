#include "balloon/placement.h"

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

BalloonPlacement PlaceBalloon(const CharacterPlace& character, SIZE balloon, const ScreenUnits& units, Tail current) {
    const TwipsBox s = InTwips(character.bounds, units);
    const TwipsBox b = InTwips(RECT{0, 0, balloon.cx, balloon.cy}, units);
    const TwipsBox monitor = InTwips(units.monitor, units);
    const float half = monitor.top + monitor.height / 2;
    const float bottom = s.top + s.height;

    Tail tail = current;
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
    return {POINT{platform::PixelsFromTwips(left, units.twipsPerPixelX), platform::PixelsFromTwips(top, units.twipsPerPixelY)},
            tail, tail != current};
}
