// The dialog's arithmetic: where the character stands, the metric text and the layout at other DPIs.
#include <gtest/gtest.h>

#include "commands/distance_preview.h"

TEST(PreviewSitterX, PlacesTheCharacterFromRightToLeft) {
    const struct { int32_t width, imageWidth, value, x; } cases[] = {
        {357, 77, 0, 280}, {357, 77, 100, 0}, {357, 77, 50, 140}, {357, 77, 1, 277}, {357, 77, 99, 3},
        {360, 77, 50, 142}, {362, 77, 50, 142},  // 141.5 and 142.5: halves go to the even neighbour
        {77, 77, 37, 0}, {50, 77, 50, -14}};      // a box no wider than the character
    for (const auto& c : cases) EXPECT_EQ(PreviewSitterX(c.width, c.imageWidth, c.value), c.x) << c.width << " " << c.value;
}

TEST(MetricFromText, ReadsTheNumberAfterTheFirstColon) {
    const std::pair<const char*, int32_t> cases[] = {
        {"Butt height: 92", 92}, {"a: 7.5", 8}, {"a: 6.5", 6}, {"a: 1 2: 3", 12},  // blanks ignored, ends at a colon
        {"a:", 0}, {"no colon", 0}, {"a: x9", 0}, {"a: -4.4", -4}};
    for (auto [text, number] : cases) EXPECT_EQ(MetricFromText(text), number) << text;
}

TEST(DistanceLayout, ScalesTheDesignWithTheDpi) {
    const DistanceLayout at96 = DistanceLayoutAt(96, 96);
    EXPECT_EQ(at96.client.cx, 377);
    EXPECT_EQ(at96.client.cy, 169);
    EXPECT_EQ(at96.lblOffset.left, 336);
    EXPECT_EQ(at96.Picture1.right, 369);
    EXPECT_EQ(DialogFontHeight(96), -11);

    const DistanceLayout at144 = DistanceLayoutAt(144, 144);  // 565.5 x 253.5, halves to even
    EXPECT_EQ(at144.client.cx, 566);
    EXPECT_EQ(at144.client.cy, 254);
    EXPECT_EQ(DialogFontHeight(144), -16);  // 16.5
    for (int dpi : {96, 120, 144, 192}) {  // the design's margins hold at every DPI
        const DistanceLayout l = DistanceLayoutAt(dpi, dpi);
        EXPECT_LT(l.hsbOffset.right, l.lblOffset.left) << dpi;
        EXPECT_LT(l.hsbOffset.bottom, l.Picture1.top) << dpi;
        EXPECT_LE(l.Picture1.right, l.client.cx) << dpi;
        EXPECT_LE(l.Picture1.bottom, l.client.cy) << dpi;
    }
}
