// The face drawn into a 24-bit DIB section: fixed pixels and where ink lies, never whole text images.
#include <gtest/gtest.h>

#include "balloon/painting.h"
#include "imaging/cDIBSection.h"

namespace {

const COLORREF Red = RGB(255, 0, 0), Back = GetSysColor(COLOR_INFOBK), Text = GetSysColor(COLOR_INFOTEXT);
constexpr RECT Inside{32, 26, 214, 103};  // the 247 x 129 body's inside, clear of its outline and corners

struct Surface {
    Surface(int width, int height) : w(width), h(height) { EXPECT_TRUE(dib.Create(w, h)); }  // black, not red
    Surface& Paint(const BalloonFace& face) { PaintBalloonFace(dib.hDC(), w, h, face, fonts); return *this; }
    COLORREF At(int x, int y) const { return GetPixel(dib.hDC(), x, y); }
    // The bounding box of the pixels in `box` that are not `plain`; all zero when there are none.
    RECT Ink(RECT box, COLORREF plain) const {
        RECT ink{};
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                if (const RECT px{x, y, x + 1, y + 1}; At(x, y) != plain) UnionRect(&ink, &ink, &px);
        return ink;
    }
    int w, h;
    cDIBSection dib;
    BalloonFonts fonts = BalloonFonts::Create(96);
};

TEST(BalloonFace, TailJoinsTheBodyOnItsEdgeAndRedSurroundsThem) {
    for (const auto& [w, h] : {std::pair{247, 129}, std::pair{309, 161}, std::pair{370, 194}})  // 96, 120, 144 DPI
        for (const Tail tail : {Tail::Top, Tail::Bottom}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << (tail == Tail::Top ? ", tail at the top" : ", tail at the bottom"));
            Surface s(w, h);
            s.Paint({"", "", tail});
            const bool top = tail == Tail::Top, bottom = !top;
            for (int x = 161; x <= 183; ++x) EXPECT_EQ(s.At(x, 24), top ? Back : Text) << "row 24, column " << x;
            for (int x = 160; x <= 183; ++x) EXPECT_EQ(s.At(x, h - 25), bottom ? Back : Text) << "column " << x;
            const std::tuple<int, int, COLORREF> fixed[] = {
                // The tails' fill, and the pixel where the top tail's base leaves the body's outline.
                {180, 20, top ? Back : Red}, {180, h - 20, bottom ? Back : Red}, {160, 24, Text},
                {60, 24, Text}, {60, h - 25, Text}, {24, h / 2, Text}, {w - 25, h / 2, Text}, {w / 2, h / 2, Back},
                {150, 10, Red}, {190, 10, Red}, {150, h - 10, Red}, {190, h - 10, Red}, {24, 24, Red}, {0, 0, Red},
                {w - 25, h - 25, Red}, {w - 1, h - 1, Red}, {10, h / 2, Red}, {w - 10, h / 2, Red}};
            for (const auto& [x, y, colour] : fixed) EXPECT_EQ(s.At(x, y), colour) << x << "," << y;
        }
}

}  // namespace
