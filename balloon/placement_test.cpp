#include <gtest/gtest.h>

#include <algorithm>

#include "balloon/placement.h"
#include "platform/screen.h"

namespace {

// Sitter and screen given in pixels, as a test reads them; the rule itself works in twips.
struct PlaceCase {
    const char* name;
    int sitterTopPx;
    int sitterHeightPx;
    int16_t tailBefore;
    bool below;          // expected side
    bool sideChanged;
    bool topClamped;     // below the character, pushed down to the screen's top edge
};

constexpr int ScreenHeightPx = 1024;  // midline at 512
constexpr int SitterLeftPx = 100;
constexpr int BalloonWidthPx = 247;
constexpr int BalloonHeightPx = 129;

float F(int px) { return static_cast<float>(px); }

const PlaceCase Cases[] = {
    {"UpperHalfGoesBelow", 50, 126, 0, true, true, false},
    {"UpperHalfAgainNoChange", 50, 126, 1, true, false, false},
    {"BottomNearScreenTopClamps", -116, 126, 0, true, true, true},   // bottom edge 10 px down
    {"BottomAtScreenTopClamps", -126, 126, 1, true, false, true},
    {"LowerHalfGoesAbove", 600, 126, 1, false, true, false},
    {"LowerHalfAgainNoChange", 600, 126, 0, false, false, false},
    {"BottomOnMidlineIsNotUpper", 386, 126, 0, false, false, false},  // bottom == H/2: band, stays above
    {"TopOnMidlineIsNotLower", 512, 126, 1, true, false, false},      // top == H/2: band, stays below
    {"StraddlingKeepsBelow", 450, 126, 1, true, false, false},
    {"StraddlingKeepsAbove", 450, 126, 0, false, false, false},
    {"JustInsideUpper", 385, 126, 0, true, true, false},
    {"JustInsideLower", 513, 126, 1, false, true, false},
};

class Placement : public ::testing::TestWithParam<std::tuple<int, PlaceCase>> {};

TEST_P(Placement, FollowsTheCharacterOnItsSide) {
    const auto [dpi, c] = GetParam();
    const float tpp = static_cast<float>(platform::TwipsPerPixelAt(dpi));
    const SitterBox sitter{F(SitterLeftPx) * tpp, F(c.sitterTopPx) * tpp, F(c.sitterHeightPx) * tpp};
    const float bw = BalloonWidthPx * tpp;
    const float bh = BalloonHeightPx * tpp;

    const BalloonPlacement p = PlaceBalloon(sitter, bw, bh, ScreenHeightPx * tpp, c.tailBefore);

    EXPECT_EQ(p.tailAtTop, c.below ? 1 : 0);
    EXPECT_EQ(p.sideChanged, c.sideChanged);
    // The balloon's right edge is 1000 twips right of the character's left edge, at any DPI.
    EXPECT_FLOAT_EQ(p.left + bw, sitter.left + 1000);
    if (!c.below) {
        EXPECT_FLOAT_EQ(p.top + bh, sitter.top) << "above: the balloon's bottom touches the character's top";
    } else if (c.topClamped) {
        EXPECT_FLOAT_EQ(p.top, 0);
    } else {
        EXPECT_FLOAT_EQ(p.top, sitter.top + sitter.height - 300);
        EXPECT_GE(p.top, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(AllDpi, Placement, ::testing::Combine(::testing::Values(96, 120, 144), ::testing::ValuesIn(Cases)),
                         [](const auto& p) {
                             return std::get<1>(p.param).name + std::string("_") + std::to_string(std::get<0>(p.param));
                         });

// The clamp is 300 twips, so its reach in pixels shrinks as the pixels get smaller.
TEST(PlacementClamp, ReachIsThreeHundredTwipsAtEveryDpi) {
    for (int dpi : {96, 120, 144}) {
        const float tpp = static_cast<float>(platform::TwipsPerPixelAt(dpi));
        const float H = 1024 * tpp;
        const int reachPx = static_cast<int>(300 / tpp);  // 20, 25, 30
        for (int bottomPx : {reachPx - 1, reachPx, reachPx + 1}) {
            const SitterBox s{0, F(bottomPx - 126) * tpp, 126 * tpp};
            const BalloonPlacement p = PlaceBalloon(s, 3705, 1935, H, 1);
            EXPECT_FLOAT_EQ(p.top, std::max(0.0f, F(bottomPx) * tpp - 300)) << dpi << " dpi, bottom " << bottomPx;
        }
    }
}

// No clamp sideways: a character near the left edge pushes the balloon past it.
TEST(PlacementClamp, NoneAtTheLeftEdge) {
    const BalloonPlacement p = PlaceBalloon(SitterBox{150, 1500, 1890}, 3705, 1935, 15360, 0);
    EXPECT_FLOAT_EQ(p.left, 150 - 3705 + 1000);
    EXPECT_LT(p.left, 0);
}

}  // namespace
