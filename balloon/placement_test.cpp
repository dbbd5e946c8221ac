#include <gtest/gtest.h>

#include <cmath>

#include "balloon/placement.h"

namespace {

// The character's top from its monitor's top or midline, the tail before, and where the balloon goes.
enum class From { Top, Middle };
struct PlaceCase { From from; int offset; Tail before; bool below, sideChanged, topClamped; };

const PlaceCase Cases[] = {
    {From::Top, 50, Tail::Bottom, true, true, false},      // upper half: below
    {From::Top, -116, Tail::Bottom, true, true, true},     // bottom edge 10 px down: the top is pushed down to the monitor's
    {From::Top, -95, Tail::Top, true, false, false},       // 31 px down: over 300 twips at any DPI, no clamp
    {From::Middle, -127, Tail::Bottom, true, true, false}, // bottom just above the midline
    {From::Middle, 88, Tail::Top, false, true, false},     // lower half: above
    {From::Middle, 88, Tail::Bottom, false, false, false},
    {From::Middle, 1, Tail::Top, false, true, false},      // top just below the midline
    {From::Middle, -126, Tail::Bottom, false, false, false},  // bottom on the midline: in the band, the side stays
    {From::Middle, 0, Tail::Top, true, false, false},      // top on the midline: likewise
};

// The primary monitor, and others left of, right of, above and below it, of other sizes.
const RECT Monitors[] = {{0, 0, 1280, 1024}, {-1920, 0, 0, 1080}, {1280, -200, 2880, 1000}, {0, -900, 1600, 0},
                         {-300, 1024, 1620, 2224}};

class PlacementAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(PlacementAtDpi, FollowsTheCharacterOnItsSideOfItsMonitor) {
    const double tpp = 1440.0 / GetParam();
    for (const RECT& monitor : Monitors)
        for (const PlaceCase& c : Cases) {
            const int top = c.offset + (c.from == From::Top ? monitor.top : (monitor.top + monitor.bottom) / 2);
            const int left = monitor.left + 100;
            SCOPED_TRACE(testing::Message() << "monitor " << monitor.left << "," << monitor.top << ", top " << top);
            const BalloonPlacement p =
                PlaceBalloon(RECT{left, top, left + 77, top + 126}, SIZE{247, 129}, ScreenUnits{monitor, tpp, tpp}, c.before);
            EXPECT_EQ(p.tail, c.below ? Tail::Top : Tail::Bottom);
            EXPECT_EQ(p.sideChanged, c.sideChanged);
            // The right edge 1000 twips right of the character's left edge, rounded to the pixel, halves to even.
            EXPECT_EQ(p.topLeft.x, static_cast<LONG>(std::nearbyint(left - 247 + 1000 / tpp)));
            // Below: 300 twips over the character's bottom; above: touching its top.
            const double y = !c.below ? top - 129 : c.topClamped ? monitor.top : top + 126 - 300 / tpp;
            EXPECT_EQ(p.topLeft.y, static_cast<LONG>(std::nearbyint(y)));
        }
}

INSTANTIATE_TEST_SUITE_P(Placement, PlacementAtDpi, ::testing::Values(96, 120, 144),
                         [](const auto& p) { return std::to_string(p.param) + "dpi"; });

}  // namespace
