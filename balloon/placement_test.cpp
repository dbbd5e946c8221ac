#include <gtest/gtest.h>

#include <cmath>

#include "balloon/placement.h"

namespace {

// A character 77 x 126 px at x 100 on a screen 1024 px high (midline 512), a balloon of 247 x 129 px.
struct PlaceCase { int topPx; Tail before; bool below, sideChanged, topClamped; };

const PlaceCase Cases[] = {
    {50, Tail::Bottom, true, true, false},     // upper half: below
    {-116, Tail::Bottom, true, true, true},    // bottom edge 10 px down: the top is pushed down to the screen's edge
    {-95, Tail::Top, true, false, false},      // 31 px down: over 300 twips at any DPI, no clamp
    {385, Tail::Bottom, true, true, false},    // bottom just above the midline
    {600, Tail::Top, false, true, false},      // lower half: above
    {600, Tail::Bottom, false, false, false},
    {513, Tail::Top, false, true, false},      // top just below the midline
    {386, Tail::Bottom, false, false, false},  // bottom on the midline: in the band, the side stays
    {512, Tail::Top, true, false, false},      // top on the midline: likewise
};

class PlacementAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(PlacementAtDpi, FollowsTheCharacterOnItsSide) {
    const double tpp = 1440.0 / GetParam();
    for (const PlaceCase& c : Cases) {
        SCOPED_TRACE(testing::Message() << "top " << c.topPx);
        const RECT character{100, c.topPx, 177, c.topPx + 126};
        const BalloonPlacement p = PlaceBalloon(character, SIZE{247, 129}, ScreenUnits{1024, tpp, tpp}, c.before);
        EXPECT_EQ(p.tail, c.below ? Tail::Top : Tail::Bottom);
        EXPECT_EQ(p.sideChanged, c.sideChanged);
        // The right edge 1000 twips right of the character's left edge, rounded to the pixel, halves to even.
        EXPECT_EQ(p.topLeft.x, static_cast<LONG>(std::nearbyint(100 - 247 + 1000 / tpp)));
        // Below: 300 twips over the character's bottom; above: touching its top.
        const double top = !c.below ? c.topPx - 129 : c.topClamped ? 0 : c.topPx + 126 - 300 / tpp;
        EXPECT_EQ(p.topLeft.y, static_cast<LONG>(std::nearbyint(top)));
    }
}

INSTANTIATE_TEST_SUITE_P(Placement, PlacementAtDpi, ::testing::Values(96, 120, 144),
                         [](const auto& p) { return std::to_string(p.param) + "dpi"; });

}  // namespace
