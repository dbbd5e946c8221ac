// The face drawn into a 24-bit DIB section at several DPIs: fixed pixels of the 96-DPI picture, each
// length scaled, and where ink lies; never whole text images.
#include <gtest/gtest.h>

#include <utility>

#include "balloon/painting.h"
#include "imaging/cDIBSection.h"
#include "platform/units.h"

namespace {

const COLORREF Red = RGB(255, 0, 0), Back = GetSysColor(COLOR_INFOBK), Text = GetSysColor(COLOR_INFOTEXT);

class BalloonFaceAt : public ::testing::TestWithParam<int> {};

TEST_P(BalloonFaceAt, TailJoinsTheBodyOnItsEdgeAndRedSurroundsThem) {
    const int dpi = GetParam();
    const auto at = [dpi](int length96) { return platform::ScaledForDpi(length96, dpi); };
    const int w = at(247), h = at(129), m = at(24), left = at(160), side = at(184);
    const BalloonFonts fonts = BalloonFonts::Create(dpi);
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(w, h));  // black, not red
    Opens opens = Opens::Left;  // opening to the right, the face is the same picture flipped left to right
    const auto px = [&](int x, int y) { return GetPixel(dib.hDC(), opens == Opens::Left ? x : w - 1 - x, y); };
    for (const Opens opening : {Opens::Left, Opens::Right})
        for (const Tail tail : {Tail::Top, Tail::Bottom}) {
            SCOPED_TRACE(testing::Message() << (tail == Tail::Top ? "tail at the top" : "tail at the bottom")
                                            << (opening == Opens::Left ? "" : ", opening to the right"));
            PaintBalloonFace(dib.hDC(), w, h, {"", "", {tail, opens = opening}}, fonts, dpi);
            const bool top = tail == Tail::Top, bottom = !top;
            for (int x = left + 1; x < side; ++x) EXPECT_EQ(px(x, m), top ? Back : Text) << "top outline, column " << x;
            for (int x = left; x < side; ++x) EXPECT_EQ(px(x, h - m - 1), bottom ? Back : Text) << "bottom outline, column " << x;
            // The tips and fill of the tails, where the top tail's base leaves the outline, the outline one pixel wide.
            const std::tuple<int, int, COLORREF> fixed[] = {
                {side, 0, top ? Text : Red}, {side, h - 1, bottom ? Text : Red}, {at(180), at(20), top ? Back : Red},
                {at(180), h - at(20), bottom ? Back : Red}, {left, m, Text}, {at(60), m, Text}, {at(60), h - m - 1, Text},
                {m, h / 2, Text}, {w - m - 1, h / 2, Text}, {at(60), m + 1, Back}, {at(60), h - m - 2, Back}, {m + 1, h / 2, Back},
                {w - m - 2, h / 2, Back}, {at(150), at(10), Red}, {at(190), at(10), Red}, {at(150), h - at(10), Red},
                {at(190), h - at(10), Red}, {m, m, Red}, {0, 0, Red}, {w - m - 1, h - m - 1, Red}, {w - 1, h - 1, Red},
                {at(10), h / 2, Red}, {w - at(10), h / 2, Red}};
            for (const auto& [x, y, colour] : fixed) EXPECT_EQ(px(x, y), colour) << x << "," << y;
        }
    // The caption starts at the scaled text origin and ends above the scaled top of the body text.
    PaintBalloonFace(dib.hDC(), w, h, {"Да, ✓", "", {Tail::Bottom, opens = Opens::Left}}, fonts, dpi);
    RECT ink{};  // inside the body, clear of its outline and corners
    for (int y = m + at(8); y < h - m - at(8); ++y)
        for (int x = m + 2; x < w - m - 2; ++x)
            if (const RECT dot{x, y, x + 1, y + 1}; px(x, y) != Back) UnionRect(&ink, &ink, &dot);
    EXPECT_EQ(std::pair(ink.left >= at(32) && ink.left <= at(32) + 2, ink.top >= at(32) && ink.bottom <= at(46)),
              std::pair(true, true)) << ink.left << "," << ink.top << " - " << ink.right << "," << ink.bottom;
}

INSTANTIATE_TEST_SUITE_P(Balloon, BalloonFaceAt, ::testing::Values(96, 108, 120, 144, 192, 288),
                         [](const auto& p) { return std::to_string(p.param) + "dpi"; });

}  // namespace
