// The face drawn into a 24-bit DIB section: geometry and fixed pixels, never whole text images.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "balloon/painting.h"
#include "imaging/cDIBSection.h"

namespace {

const COLORREF Red = RGB(255, 0, 0);
const COLORREF Back = GetSysColor(COLOR_INFOBK);
const COLORREF Text = GetSysColor(COLOR_INFOTEXT);

class Surface {
public:
    Surface(int w, int h) : w_(w), h_(h) { EXPECT_TRUE(dib_.Create(w, h)); }  // starts black, not red
    void Paint(const BalloonFace& face) { PaintBalloonFace(dib_.hDC(), w_, h_, face, fonts_); }
    COLORREF At(int x, int y) const { return GetPixel(dib_.hDC(), x, y); }
    // Rows (or columns) of the box [left, right) x [top, bottom) holding a pixel that is not `plain`.
    std::vector<int> Ink(RECT box, COLORREF plain, bool columns = false) const {
        std::vector<int> found;
        const int outerEnd = columns ? box.right : box.bottom, innerEnd = columns ? box.bottom : box.right;
        for (int o = columns ? box.left : box.top; o < outerEnd; ++o)
            for (int i = columns ? box.top : box.left; i < innerEnd; ++i)
                if ((columns ? At(o, i) : At(i, o)) != plain) {
                    found.push_back(o);
                    break;
                }
        return found;
    }
    bool SameBits(const Surface& other) const {
        return std::memcmp(dib_.DIBSectionBitsPtr(), other.dib_.DIBSectionBitsPtr(),
                           static_cast<size_t>(dib_.BytesPerScanLine()) * static_cast<size_t>(h_)) == 0;
    }
    int w() const { return w_; }
    int h() const { return h_; }

private:
    int w_, h_;
    cDIBSection dib_;
    BalloonFonts fonts_ = BalloonFonts::Create(96);
};

// The balloon in pixels at 96, 120 and 144 DPI.
class Face : public ::testing::TestWithParam<SIZE> {};

TEST_P(Face, TailOnTheChosenEdgeJoinsTheBody) {
    struct Case {
        int16_t tail;
        bool top, bottom;
    };
    for (const Case c : {Case{1, true, false}, Case{0, false, true}, Case{2, false, false}}) {
        SCOPED_TRACE(c.tail);
        Surface s(GetParam().cx, GetParam().cy);
        s.Paint({"", "", c.tail});
        const int sh = s.h();
        EXPECT_EQ(s.At(180, 20), c.top ? Back : Red) << "top tail fill";
        EXPECT_EQ(s.At(180, sh - 20), c.bottom ? Back : Red) << "bottom tail fill";
        EXPECT_EQ(s.At(184, 10) == Text, c.top) << "top tail's vertical side";
        EXPECT_EQ(s.At(184, sh - 10) == Text, c.bottom);
        for (int x = 161; x <= 183; ++x) EXPECT_EQ(s.At(x, 24), c.top ? Back : Text) << "top row, column " << x;
        for (int x = 160; x <= 183; ++x) EXPECT_EQ(s.At(x, sh - 25), c.bottom ? Back : Text) << "bottom row " << x;
        EXPECT_EQ(s.At(160, 24), Text) << "the outline keeps this pixel either way";
        for (int y : {10, sh - 10}) {
            EXPECT_EQ(s.At(150, y), Red);
            EXPECT_EQ(s.At(190, y), Red);
        }
    }
}

TEST_P(Face, RoundedBodyWithRedAround) {
    Surface s(GetParam().cx, GetParam().cy);
    s.Paint({"", "", 2});
    const int sw = s.w(), sh = s.h();
    EXPECT_EQ(s.At(60, 24), Text);
    EXPECT_EQ(s.At(60, sh - 25), Text);
    EXPECT_EQ(s.At(24, sh / 2), Text);
    EXPECT_EQ(s.At(sw - 25, sh / 2), Text);
    EXPECT_EQ(s.At(sw / 2, sh / 2), Back);
    for (auto [x, y] : {std::pair{24, 24}, {sw - 25, sh - 25}, {0, 0}, {sw - 1, sh - 1}, {10, sh / 2}, {sw - 10, sh / 2},
                        {sw / 2, 10}, {sw / 2, sh - 1}})
        EXPECT_EQ(s.At(x, y), Red) << x << "," << y;
}

TEST_P(Face, RepaintGivesTheSamePixels) {
    Surface a(GetParam().cx, GetParam().cy), b(GetParam().cx, GetParam().cy);
    const BalloonFace face{"Caption & more", "Some body text that wraps over more than one line, & so on.", 1};
    a.Paint(face);
    b.Paint(face);
    b.Paint(face);
    EXPECT_TRUE(a.SameBits(b));
}

INSTANTIATE_TEST_SUITE_P(Dpi, Face, ::testing::Values(SIZE{247, 129}, SIZE{309, 161}, SIZE{370, 194}),
                         [](const auto& p) { return std::to_string(p.param.cx) + "x" + std::to_string(p.param.cy); });

// Text on the 247 x 129 face; the box is the body's inside, clear of the outline and its rounded corners.
class FaceText : public ::testing::Test {
protected:
    static constexpr RECT Inside{32, 26, 214, 103};
    Surface s{247, 129};
};

TEST_F(FaceText, BodyStartsAt32WithoutCaptionAnd46UnderOne) {
    s.Paint({"", "Hello world", 2});
    auto rows = s.Ink(Inside, Back);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 32);
    EXPECT_LT(rows.front(), 46);

    s.Paint({"X", "", 2});
    const auto caption = s.Ink(Inside, Back);
    ASSERT_FALSE(caption.empty());
    EXPECT_GE(caption.front(), 32);
    EXPECT_LT(caption.back(), 46) << "the caption is one line";

    s.Paint({"X", "Hello world", 2});
    rows = s.Ink(RECT{32, caption.back() + 1, 214, 103}, Back);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 46);
}

TEST_F(FaceText, LongBodyIsCutAtTheRectangleBottom) {
    std::string many;
    for (int i = 0; i < 60; ++i) many += "word ";
    s.Paint({"", many, 2});
    const auto rows = s.Ink(Inside, Back);
    ASSERT_FALSE(rows.empty());
    EXPECT_GT(rows.back(), 80) << "the text fills the rectangle";
    EXPECT_LT(rows.back(), 129 - 32);
}

TEST_F(FaceText, WideCaptionRunsPastTheBubble) {
    s.Paint({std::string(60, 'W'), "", 2});
    const auto rows = s.Ink(RECT{224, 0, 247, 129}, Red);  // right of the body, over the red
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 32);
    EXPECT_LT(rows.back(), 46);
}

TEST_F(FaceText, AmpersandIsDrawnAsItself) {
    // Taken as prefix markers, "&&" would draw a single ampersand.
    s.Paint({"", "&", 2});
    const size_t one = s.Ink(Inside, Back, true).size();
    s.Paint({"", "&&", 2});
    const size_t two = s.Ink(Inside, Back, true).size();
    EXPECT_GT(one, 0u);
    EXPECT_GT(two, one + one / 2);
}

}  // namespace
