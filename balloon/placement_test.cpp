#include <gtest/gtest.h>

#include "balloon/placement.h"

namespace {

// A sitter 126 px high at x 100 on a screen 1024 px high (midline 512), a balloon of 247 x 129 px; given in
// pixels as a test reads them, while the rule itself works in twips.
struct PlaceCase { int topPx; int16_t tailBefore; bool below, sideChanged, topClamped; };

const PlaceCase Cases[] = {
    {50, 0, true, true, false},     // upper half: below
    {-116, 0, true, true, true},    // bottom edge 10 px down: the top is pushed down to the screen's edge
    {-95, 1, true, false, false},   // 31 px down: over 300 twips at any DPI, no clamp
    {385, 0, true, true, false},    // bottom just above the midline
    {600, 1, false, true, false},   // lower half: above
    {600, 0, false, false, false},
    {513, 1, false, true, false},   // top just below the midline
    {386, 0, false, false, false},  // bottom on the midline: in the band, the side stays
    {512, 1, true, false, false},   // top on the midline: likewise
};

TEST(Placement, FollowsTheCharacterOnItsSideAtAnyDpi) {
    for (const float tpp : {15.0f, 12.0f, 10.0f})  // twips per pixel at 96, 120 and 144 DPI
        for (const PlaceCase& c : Cases) {
            SCOPED_TRACE(testing::Message() << tpp << " twips a pixel, top " << c.topPx << ", tail " << c.tailBefore);
            const SitterBox s{100 * tpp, static_cast<float>(c.topPx) * tpp, 126 * tpp};
            const float bw = 247 * tpp, bh = 129 * tpp;
            const BalloonPlacement p = PlaceBalloon(s, bw, bh, 1024 * tpp, c.tailBefore);
            EXPECT_EQ(p.tailAtTop, c.below ? 1 : 0);
            EXPECT_EQ(p.sideChanged, c.sideChanged);
            EXPECT_FLOAT_EQ(p.left + bw, s.left + 1000);  // right edge 1000 twips right of the character's left
            // Below: 300 twips over the character's bottom; above: touching its top.
            EXPECT_FLOAT_EQ(p.top, !c.below ? s.top - bh : c.topClamped ? 0 : s.top + s.height - 300);
        }
}

}  // namespace
