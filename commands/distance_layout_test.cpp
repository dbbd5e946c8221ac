// The dialog's arithmetic: where and how large the character stands in the preview.
#include <gtest/gtest.h>

#include "commands/distance_layout.h"
#include "imaging/pixel_art.h"
#include "platform/units.h"

TEST(PreviewCharacterX, PlacesTheCharacterFromRightToLeft) {
    const struct { int32_t width, imageWidth, distance, x; } cases[] = {
        {357, 77, 0, 280}, {357, 77, 100, 0}, {357, 77, 50, 140}, {357, 77, 1, 277}, {357, 77, 99, 3},
        {360, 77, 50, 142}, {362, 77, 50, 142},  // 141.5 and 142.5: halves go to the even neighbour
        {50, 77, 50, -14}};                       // a box narrower than the character
    for (const auto& c : cases)
        EXPECT_EQ(PreviewCharacterX(c.width, c.imageWidth, c.distance), c.x) << c.width << " " << c.distance;
    EXPECT_EQ(std::pair(ClampDistance(-1), ClampDistance(101)), std::pair(0, 100));
}

// The preview at every display scale and Size: the character at its own scale where it fits, else at the
// largest that does; whole in the box above the frame's line (its top row at `top` or below), at either end of
// the slider. Its legs hang over the drawn caption as they hang over a window's.
TEST(PreviewCharacterIn, ShowsTheWholeCharacterSeatedAtEverySizeAndScale) {
    const struct { int dpi, size; SIZE drawn; int32_t top; } cases[] = {
        {96, 100, {77, 126}, 13}, {96, 150, {88, 144}, 0}, {96, 200, {88, 144}, 0}, {96, 300, {88, 144}, 0},
        {144, 100, {116, 189}, 23}, {144, 150, {135, 221}, 0}, {144, 200, {135, 221}, 0}, {144, 300, {135, 221}, 0},
        {192, 100, {154, 252}, 32}, {192, 150, {181, 296}, 0}, {192, 200, {181, 296}, 0}, {192, 300, {181, 296}, 0}};
    for (const auto& c : cases) {
        const RECT preview = DistanceLayoutAt(c.dpi).preview;
        const SIZE box{preview.right - preview.left - 4, preview.bottom - preview.top - 4};  // inside its 2-pixel edge
        const int32_t seatLine =
            PreviewWindowIn(box, platform::SystemMetricAt(SM_CYCAPTION, c.dpi), platform::SystemMetricAt(SM_CXBORDER, c.dpi)).seatLine;
        const PreviewCharacter shown = PreviewCharacterIn(seatLine, {77, 126}, 92, imaging::CharacterScale(c.dpi, c.size));
        EXPECT_EQ(std::tuple(shown.size.cx, shown.size.cy, shown.top, shown.top >= 0 && shown.size.cx <= box.cx),
                  std::tuple(c.drawn.cx, c.drawn.cy, c.top, true)) << c.dpi << " DPI, Size " << c.size;
    }
}
