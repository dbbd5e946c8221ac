#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <utility>

#include "balloon/placement.h"
#include "platform/units.h"

namespace {

// Which edge of the character lies how far from its monitor's top (design pixels, scaled with the DPI and
// the Size) or from its midline (whole pixels), the tail before, and where the balloon goes.
enum class Edge { TopFromMonitorTop, BottomFromMonitorTop, TopFromMiddle, BottomFromMiddle };
struct PlaceCase { Edge edge; int offset; Tail before; bool below, sideChanged, topClamped; };

const PlaceCase Cases[] = {
    {Edge::TopFromMonitorTop, 10, Tail::Bottom, true, true, false},    // upper half: below
    {Edge::BottomFromMonitorTop, 10, Tail::Bottom, true, true, true},  // 10 down: the top is pushed down to the monitor's
    {Edge::BottomFromMonitorTop, 31, Tail::Top, true, false, false},   // 11 more than the overlap: no clamp
    {Edge::BottomFromMiddle, -1, Tail::Bottom, true, true, false},     // bottom just above the midline
    {Edge::TopFromMiddle, 88, Tail::Top, false, true, false},          // lower half: above
    {Edge::TopFromMiddle, 88, Tail::Bottom, false, false, false},
    {Edge::TopFromMiddle, 1, Tail::Top, false, true, false},           // top just below the midline
    {Edge::BottomFromMiddle, 0, Tail::Bottom, false, false, false},    // bottom on the midline: in the band, the side stays
    {Edge::TopFromMiddle, 0, Tail::Top, true, false, false},           // top on the midline: likewise
};

// Where the character lies across its monitor: its left or right edge this far (pixels at the DPI) from the
// monitor's left or right edge; the side the balloon opens to, and whether it is shifted onto the monitor.
enum class Across { LeftFromMonitorLeft, RightFromMonitorLeft, LeftFromMonitorRight };
struct AcrossCase { Across edge; int offset; Opens opens; bool shifted; };

const AcrossCase Acrosses[] = {
    {Across::LeftFromMonitorLeft, 400, Opens::Left, false},  // room on the left: today's place
    {Across::LeftFromMonitorLeft, 10, Opens::Right, false},  // at the left edge: opens to the right, mirrored
    {Across::RightFromMonitorLeft, 20, Opens::Right, true},  // across the left edge: the right needs the shorter shift
    {Across::LeftFromMonitorRight, -20, Opens::Left, true},  // across the right edge: the left does
};

// At 96 DPI: the primary monitor, and others left of, right of, above and below it, of other sizes.
const RECT Monitors[] = {{0, 0, 1280, 1024}, {-1920, 0, 0, 1080}, {1280, -200, 2880, 1000}, {0, -896, 1600, 0},
                         {-300, 1024, 1620, 2224}};

class PlacementAt : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(PlacementAt, TheTailPointsAtTheCharacterOnItsSideOfItsMonitor) {
    const auto [dpi, size] = GetParam();
    const double tpp = 1440.0 / dpi, scale = size / 100.0 * dpi / 96;  // the character's scale
    const auto at = [dpi](double length96) { return platform::ScaledForDpi(length96, dpi); };
    const LONG width = at(247), height = at(129);
    const LONG characterWidth = at(77 * size / 100.0), characterHeight = at(126 * size / 100.0);
    // Today's place: the right edge 945 + 55 x Size/100 twips right of the character's left edge, rounded
    // halves to even; so the tip lies 3.67 design pixels into the character, give or take the three roundings.
    // Opening to the right, the balloon and its tail are that mirrored about the character's middle.
    const auto leftward = [&](LONG left) { return std::lround(std::nearbyint(left - width + (945 + 55.0 * size / 100) / tpp)); };
    const auto mirrored = [&](LONG left) { return 2 * left + characterWidth - leftward(left) - width; };
    const auto place = [&](const RECT& monitor, LONG left, LONG top, BalloonSide before) {
        const RECT character{left, top, left + characterWidth, top + characterHeight};
        return PlaceBalloon({character, size}, SIZE{width, height}, ScreenUnits{monitor, tpp, tpp}, before);
    };
    for (const RECT& m96 : Monitors) {
        const RECT monitor{at(m96.left), at(m96.top), at(m96.right), at(m96.bottom)};
        for (const PlaceCase& c : Cases) {
            const bool fromMiddle = c.edge == Edge::TopFromMiddle || c.edge == Edge::BottomFromMiddle;
            // Where a pixel is no exact number of single-precision twips (108 DPI), an edge on the midline lies
            // a rounding error above or below it.
            if (fromMiddle && c.offset == 0 && static_cast<float>(tpp) != tpp) continue;
            const bool bottomEdge = c.edge == Edge::BottomFromMonitorTop || c.edge == Edge::BottomFromMiddle;
            const LONG middle = (monitor.top + monitor.bottom) / 2;
            const LONG top = (fromMiddle ? middle + c.offset : monitor.top + std::lround(c.offset * scale)) - (bottomEdge ? characterHeight : 0);
            const Tail tail = c.below ? Tail::Top : Tail::Bottom;
            for (const AcrossCase& a : Acrosses) {
                const LONG left = (a.edge == Across::LeftFromMonitorRight ? monitor.right : monitor.left) + at(a.offset) -
                                  (a.edge == Across::RightFromMonitorLeft ? characterWidth : 0);
                SCOPED_TRACE(testing::Message() << "monitor " << monitor.left << "," << monitor.top << "; " << left << "," << top);
                const BalloonPlacement p = place(monitor, left, top, BalloonSide{c.before, a.opens});
                EXPECT_EQ(std::tuple(p.side.tail, p.side.opens, p.sideChanged), std::tuple(tail, a.opens, c.sideChanged));
                const Opens other = a.opens == Opens::Left ? Opens::Right : Opens::Left;
                EXPECT_TRUE(place(monitor, left, top, BalloonSide{tail, other}).sideChanged) << "opened on the other side before";
                const LONG x = !a.shifted ? (a.opens == Opens::Left ? leftward(left) : mirrored(left))
                                          : (a.opens == Opens::Left ? monitor.right - width : monitor.left);
                EXPECT_EQ(p.topLeft.x, x);
                const LONG tipIn = a.opens == Opens::Left ? x + at(184) - left : left + characterWidth - (x + width - at(184));
                EXPECT_TRUE(a.shifted || std::abs(tipIn - 55 / 15.0 * scale) <= 1.5) << "the tip " << tipIn << " in";
                // Below: 300 x Size/100 twips over the character's bottom; above: the tip touches its top. The
                // nearest pixel; of two as near (at 108 DPI), single precision decides.
                const double y = !c.below ? top - height : c.topClamped ? monitor.top : top + characterHeight - 3.0 * size / tpp;
                EXPECT_LE(std::abs(p.topLeft.y - y), 0.501) << "y " << p.topLeft.y << " for " << y;
            }
        }
        // Across the edges pixel by pixel: today's place wherever it lies on the monitor, else its mirror
        // where that does, and always wholly on the monitor.
        const auto fits = [&](LONG x) { return x >= monitor.left && x + width <= monitor.right; };
        for (const auto& [from, to] : {std::pair(monitor.left - characterWidth - at(20), monitor.left + at(200)),
                                      std::pair(monitor.right - at(100), monitor.right)})
            for (LONG left = from; left < to; ++left) {
                const BalloonPlacement p = place(monitor, left, monitor.top + at(300), {});
                const auto expected = fits(leftward(left)) ? std::pair(Opens::Left, leftward(left))
                                    : fits(mirrored(left)) ? std::pair(Opens::Right, mirrored(left))
                                                           : std::pair(p.side.opens, p.topLeft.x);
                EXPECT_EQ(std::pair(p.side.opens, p.topLeft.x), expected) << "at " << left << ", monitor " << monitor.left;
                EXPECT_TRUE(fits(p.topLeft.x)) << "at " << left << ", monitor " << monitor.left;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Placement, PlacementAt,
                         ::testing::Combine(::testing::Values(96, 108, 120, 144, 192, 288),
                                            ::testing::Values(100, 150, 200, 300)),
                         [](const auto& p) {
                             return std::to_string(std::get<0>(p.param)) + "dpi_" + std::to_string(std::get<1>(p.param));
                         });

}  // namespace
