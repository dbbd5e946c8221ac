#include <gtest/gtest.h>

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
    {"BottomJustPastTheClampsReach", -95, 126, 1, true, false, false},  // 31 px: over 300 twips at any DPI
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

}  // namespace
