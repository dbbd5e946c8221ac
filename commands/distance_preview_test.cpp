// The dialog's arithmetic: where the character stands, the metric text and the layout at other DPIs.
#include <gtest/gtest.h>

#include "commands/distance_preview.h"

TEST(PreviewSitterX, PlacesTheCharacterFromRightToLeft) {
    const struct { int32_t width, imageWidth, value, x; } cases[] = {
        {357, 77, 0, 280}, {357, 77, 100, 0}, {357, 77, 50, 140}, {357, 77, 1, 277}, {357, 77, 99, 3},
        {360, 77, 50, 142}, {362, 77, 50, 142},  // 141.5 and 142.5: halves go to the even neighbour
        {50, 77, 50, -14}};                       // a box narrower than the character
    for (const auto& c : cases) EXPECT_EQ(PreviewSitterX(c.width, c.imageWidth, c.value), c.x) << c.width << " " << c.value;
}

TEST(MetricFromText, ReadsTheNumberAfterTheFirstColon) {
    const std::pair<const char*, int32_t> cases[] = {
        {"Butt height: 92", 92}, {"a: 7.5", 8}, {"a: 6.5", 6}, {"a: 1 2: 3", 12},  // blanks ignored, ends at a colon
        {"a:", 0}, {"no colon", 0}, {"a: x9", 0}, {"a: -4.4", -4}};
    for (auto [text, number] : cases) EXPECT_EQ(MetricFromText(text), number) << text;
}

TEST(DistanceLayout, ScalesTheDesignWithTheDpi) {
    const DistanceLayout at96 = DistanceLayoutAt(96, 96), at144 = DistanceLayoutAt(144, 144);
    const RECT picture96{8, 32, 369, 161}, picture144{12, 48, 554, 242};  // 361 x 129 scales to 541.5 x 193.5
    EXPECT_TRUE(EqualRect(&at96.Picture1, &picture96));
    EXPECT_TRUE(EqualRect(&at144.Picture1, &picture144));
    EXPECT_EQ(std::pair(at96.client.cx, at96.client.cy), std::pair(377L, 169L));
    EXPECT_EQ(std::pair(at144.client.cx, at144.client.cy), std::pair(566L, 254L));  // 565.5 x 253.5, halves to even
    EXPECT_EQ(DialogFontHeight(96), -11);
    EXPECT_EQ(DialogFontHeight(144), -16);  // 16.5
}
