// The dialog's arithmetic: where the character stands, the metric text, the clamp and the layout.
#include <gtest/gtest.h>

#include "commands/distance_preview.h"

namespace {

struct XCase {
    int32_t width, imageWidth, value, x;
};

class PreviewSitterXTest : public ::testing::TestWithParam<XCase> {};

TEST_P(PreviewSitterXTest, PlacesTheCharacter) {
    const XCase& c = GetParam();
    EXPECT_EQ(PreviewSitterX(c.width, c.imageWidth, c.value), c.x);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewSitterXTest,
    ::testing::Values(XCase{357, 77, 0, 280},    // against the right edge: W - DW
                      XCase{357, 77, 100, 0},    // against the left edge
                      XCase{357, 77, 50, 140},   // halfway
                      XCase{357, 77, 1, 277},    // 277.2
                      XCase{357, 77, 99, 3},     // 2.8
                      XCase{360, 77, 50, 142},   // 141.5: halves go to the even neighbour
                      XCase{362, 77, 50, 142},   // 142.5
                      XCase{77, 77, 37, 0},      // a box as wide as the character
                      XCase{50, 77, 50, -14},    // narrower than the character: -13.5
                      XCase{50, 77, 0, -27}));

TEST(PreviewSitterX, MovesLeftMonotonicallyAsTheValueGrows) {
    for (int32_t v = 1; v <= 100; ++v) {
        EXPECT_LE(PreviewSitterX(357, 77, v), PreviewSitterX(357, 77, v - 1)) << v;
    }
}

TEST(ClampDistance, KeepsTheSliderRange) {
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 0}, {35, 35}, {100, 100}, {101, 100}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 100}, {32768, 100}};
    for (auto [in, out] : cases) EXPECT_EQ(ClampDistance(in), out) << in;
}

TEST(MetricFromText, ReadsTheNumberAfterTheFirstColon) {
    const std::pair<const char*, int32_t> cases[] = {
        {"Butt height: 92", 92},
        {"Butt height:92", 92},
        {"a: 7.5", 8},         // halves to even
        {"a: 6.5", 6},
        {"a: 1 2: 3", 12},     // blanks are ignored, the part ends at the second colon
        {"a:", 0},
        {"no colon", 0},
        {"a: x9", 0},
        {"a: -4.4", -4},
    };
    for (auto [text, number] : cases) EXPECT_EQ(MetricFromText(text), number) << text;
}

TEST(DistanceLayout, ScalesTheDesignWithTheDpi) {
    const DistanceLayout at96 = DistanceLayoutAt(96, 96);
    EXPECT_EQ(at96.client.cx, 377);
    EXPECT_EQ(at96.client.cy, 169);
    EXPECT_EQ(at96.hsbOffset.left, 8);
    EXPECT_EQ(at96.hsbOffset.right, 329);
    EXPECT_EQ(at96.hsbOffset.bottom, 25);
    EXPECT_EQ(at96.lblOffset.left, 336);
    EXPECT_EQ(at96.lblOffset.right, 369);
    EXPECT_EQ(at96.Picture1.top, 32);
    EXPECT_EQ(at96.Picture1.right, 369);
    EXPECT_EQ(at96.Picture1.bottom, 161);

    const DistanceLayout at144 = DistanceLayoutAt(144, 144);
    EXPECT_EQ(at144.client.cx, 566);  // 565.5, halves to even
    EXPECT_EQ(at144.client.cy, 254);  // 253.5
    EXPECT_EQ(at144.Picture1.left, 12);
    EXPECT_EQ(at144.Picture1.right, 12 + 542);  // 541.5

    // At every DPI the controls keep the design's margins inside the client area.
    for (int dpi : {96, 120, 144, 192}) {
        const DistanceLayout l = DistanceLayoutAt(dpi, dpi);
        EXPECT_LT(l.hsbOffset.right, l.lblOffset.left) << dpi;
        EXPECT_LE(l.lblOffset.right, l.client.cx) << dpi;
        EXPECT_LE(l.Picture1.right, l.client.cx) << dpi;
        EXPECT_LE(l.Picture1.bottom, l.client.cy) << dpi;
        EXPECT_LT(l.hsbOffset.bottom, l.Picture1.top) << dpi;
    }
}

TEST(DialogFontHeight, IsTahomaEightAndAQuarterPoints) {
    EXPECT_EQ(DialogFontHeight(96), -11);
    EXPECT_EQ(DialogFontHeight(120), -14);  // 13.75
    EXPECT_EQ(DialogFontHeight(144), -16);  // 16.5
}

}  // namespace
