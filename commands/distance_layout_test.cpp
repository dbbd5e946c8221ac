// The dialog's arithmetic: where the character stands in the preview, and the layout at other DPIs.
#include <gtest/gtest.h>

#include "commands/distance_layout.h"

TEST(PreviewCharacterX, PlacesTheCharacterFromRightToLeft) {
    const struct { int32_t width, imageWidth, distance, x; } cases[] = {
        {357, 77, 0, 280}, {357, 77, 100, 0}, {357, 77, 50, 140}, {357, 77, 1, 277}, {357, 77, 99, 3},
        {360, 77, 50, 142}, {362, 77, 50, 142},  // 141.5 and 142.5: halves go to the even neighbour
        {50, 77, 50, -14}};                       // a box narrower than the character
    for (const auto& c : cases)
        EXPECT_EQ(PreviewCharacterX(c.width, c.imageWidth, c.distance), c.x) << c.width << " " << c.distance;
    EXPECT_EQ(std::pair(ClampDistance(-1), ClampDistance(101)), std::pair(0, 100));
}

TEST(DistanceLayout, ScalesTheDesignWithTheDpi) {
    const DistanceLayout at96 = DistanceLayoutAt(96, 96), at144 = DistanceLayoutAt(144, 144);
    const RECT preview96{8, 32, 369, 161}, preview144{12, 48, 554, 242};  // 361 x 129 scales to 541.5 x 193.5
    EXPECT_TRUE(EqualRect(&at96.preview, &preview96));
    EXPECT_TRUE(EqualRect(&at144.preview, &preview144));
    EXPECT_EQ(std::pair(at96.client.cx, at96.client.cy), std::pair(377L, 169L));
    EXPECT_EQ(std::pair(at144.client.cx, at144.client.cy), std::pair(566L, 254L));  // 565.5 x 253.5, halves to even
}
