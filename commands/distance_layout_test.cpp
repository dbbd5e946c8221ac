// The dialog's arithmetic: where the character stands in the preview.
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
