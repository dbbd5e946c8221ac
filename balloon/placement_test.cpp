#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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

// At 96 DPI: the primary monitor, and others left of, right of, above and below it, of other sizes.
const RECT Monitors[] = {{0, 0, 1280, 1024}, {-1920, 0, 0, 1080}, {1280, -200, 2880, 1000}, {0, -896, 1600, 0},
                         {-300, 1024, 1620, 2224}};

class PlacementAt : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(PlacementAt, TheTailPointsAtTheCharacterOnItsSideOfItsMonitor) {
    const auto [dpi, size] = GetParam();
    const double tpp = 1440.0 / dpi, scale = size / 100.0 * dpi / 96;  // the character's scale
    const auto at = [dpi](double length96) { return platform::ScaledForDpi(length96, dpi); };
    const LONG width = at(247), height = at(129), characterHeight = at(126 * size / 100.0);
    for (const RECT& m96 : Monitors)
        for (const PlaceCase& c : Cases) {
            const RECT monitor{at(m96.left), at(m96.top), at(m96.right), at(m96.bottom)};
            const bool fromTop = c.edge == Edge::TopFromMonitorTop || c.edge == Edge::BottomFromMonitorTop;
            const LONG top = (fromTop ? monitor.top + std::lround(c.offset * scale) : (monitor.top + monitor.bottom) / 2 + c.offset) -
                             (c.edge == Edge::BottomFromMonitorTop || c.edge == Edge::BottomFromMiddle ? characterHeight : 0);
            const RECT character{monitor.left + 100, top, monitor.left + 100 + at(77 * size / 100.0), top + characterHeight};
            SCOPED_TRACE(testing::Message() << "monitor " << monitor.left << "," << monitor.top << ", top " << top);
            const BalloonPlacement p = PlaceBalloon({character, size}, SIZE{width, height}, ScreenUnits{monitor, tpp, tpp}, c.before);
            EXPECT_EQ(std::pair(p.tail, p.sideChanged), std::pair(c.below ? Tail::Top : Tail::Bottom, c.sideChanged));
            // The right edge 945 + 55 x Size/100 twips right of the character's left edge, rounded halves to even;
            // so the tip lies 3.67 design pixels into the character, give or take the three roundings.
            EXPECT_EQ(p.topLeft.x, std::lround(std::nearbyint(character.left - width + (945 + 55.0 * size / 100) / tpp)));
            EXPECT_NEAR(p.topLeft.x + at(184) - character.left, 55 / 15.0 * scale, 1.5);
            // Below: 300 x Size/100 twips over the character's bottom; above: the tip touches its top.
            const double y = !c.below ? top - height : c.topClamped ? monitor.top : top + characterHeight - 3.0 * size / tpp;
            EXPECT_EQ(p.topLeft.y, std::lround(std::nearbyint(y)));
        }
}

INSTANTIATE_TEST_SUITE_P(Placement, PlacementAt,
                         ::testing::Combine(::testing::Values(96, 120, 144, 192, 288), ::testing::Values(100, 150, 200, 300)),
                         [](const auto& p) {
                             return std::to_string(std::get<0>(p.param)) + "dpi_" + std::to_string(std::get<1>(p.param));
                         });

}  // namespace
