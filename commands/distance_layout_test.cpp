// The dialog's arithmetic: where the character stands in the preview, and where its seat lands when scaled.
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

TEST(ScaledButtHeight, PutsTheSeatRowOnTheFrameLineAtAnyScale) {
    // The art's 126 rows shown at 100 %, at 120 DPI (157.5, halves to even), 144, 192, 288 DPI x 300 % and at half size.
    const struct { int32_t height, butt; } cases[] = {{126, 92}, {158, 115}, {189, 138}, {252, 184}, {1134, 828}, {63, 46}};
    for (const auto& c : cases) EXPECT_EQ(ScaledButtHeight(92, 126, c.height), c.butt) << c.height;
}
