// The face drawn into a 24-bit DIB section: geometry and fixed pixels, never whole text images.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "balloon/painting.h"
#include "imaging/cDIBSection.h"
#include "platform/screen.h"

namespace {

const COLORREF Red = RGB(255, 0, 0);

struct Size {
    int w;
    int h;
};

// The balloon's size in pixels at 96, 120 and 144 DPI.
const Size Sizes[] = {{247, 129}, {309, 161}, {370, 194}};

class Surface {
public:
    Surface(int w, int h) : w_(w), h_(h) {
        EXPECT_TRUE(dib_.Create(w, h));
        // Something other than red, so that the painter's own erase shows.
        RECT all{0, 0, w, h};
        FillRect(dib_.hDC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    void Paint(const BalloonFace& face) { PaintBalloonFace(dib_.hDC(), w_, h_, face, fonts_); }
    COLORREF At(int x, int y) const { return GetPixel(dib_.hDC(), x, y); }
    // Rows in [top, bottom) that hold a pixel of neither `a` nor `b` between columns left and right.
    std::vector<int> InkRows(int left, int right, int top, int bottom, COLORREF a, COLORREF b) const {
        std::vector<int> rows;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                COLORREF c = At(x, y);
                if (c != a && c != b) {
                    rows.push_back(y);
                    break;
                }
            }
        return rows;
    }
    // Columns in [left, right) that hold such a pixel between rows top and bottom.
    int InkColumns(int left, int right, int top, int bottom, COLORREF a, COLORREF b) const {
        int count = 0;
        for (int x = left; x < right; ++x)
            for (int y = top; y < bottom; ++y) {
                COLORREF c = At(x, y);
                if (c != a && c != b) {
                    ++count;
                    break;
                }
            }
        return count;
    }
    const void* Bits() const { return dib_.DIBSectionBitsPtr(); }
    size_t Bytes() const { return static_cast<size_t>(dib_.BytesPerScanLine()) * static_cast<size_t>(h_); }
    int w() const { return w_; }
    int h() const { return h_; }

private:
    int w_;
    int h_;
    cDIBSection dib_;
    BalloonFonts fonts_ = BalloonFonts::Create(96);
};

class Face : public ::testing::TestWithParam<Size> {
protected:
    COLORREF back = GetSysColor(COLOR_INFOBK);
    COLORREF text = GetSysColor(COLOR_INFOTEXT);
};

TEST_P(Face, TopTailJoinsTheBody) {
    Surface s(GetParam().w, GetParam().h);
    s.Paint({"", "", 1});
    EXPECT_EQ(s.At(180, 20), back) << "tail fill";
    EXPECT_EQ(s.At(183, 2), back) << "tail fill near the tip";
    for (int x = 161; x <= 183; ++x) EXPECT_EQ(s.At(x, 24), back) << "covering row, column " << x;
    EXPECT_EQ(s.At(160, 24), text) << "the slanted side starts on the outline";
    EXPECT_EQ(s.At(184, 10), text) << "vertical side";
    EXPECT_EQ(s.At(150, 10), Red);
    EXPECT_EQ(s.At(190, 10), Red);
    EXPECT_EQ(s.At(180, s.h() - 20), Red) << "no tail at the bottom";
    EXPECT_EQ(s.At(100, s.h() - 25), text) << "bottom outline untouched";
}

TEST_P(Face, BottomTailJoinsTheBody) {
    Surface s(GetParam().w, GetParam().h);
    s.Paint({"", "", 0});
    const int sh = s.h();
    EXPECT_EQ(s.At(180, sh - 20), back) << "tail fill";
    for (int x = 160; x <= 183; ++x) EXPECT_EQ(s.At(x, sh - 25), back) << "covering row, column " << x;
    EXPECT_EQ(s.At(184, sh - 10), text) << "vertical side";
    EXPECT_EQ(s.At(150, sh - 10), Red);
    EXPECT_EQ(s.At(190, sh - 10), Red);
    EXPECT_EQ(s.At(180, 20), Red) << "no tail at the top";
    EXPECT_EQ(s.At(170, 24), text) << "top outline untouched";
}

TEST_P(Face, NoTailForOtherValues) {
    Surface s(GetParam().w, GetParam().h);
    s.Paint({"", "", 2});
    EXPECT_EQ(s.At(180, 20), Red);
    EXPECT_EQ(s.At(180, s.h() - 20), Red);
    EXPECT_EQ(s.At(170, 24), text);
    EXPECT_EQ(s.At(170, s.h() - 25), text);
}

TEST_P(Face, BodyIsOutlinedAndFilledWithRedAround) {
    Surface s(GetParam().w, GetParam().h);
    s.Paint({"", "", 0});
    const int sw = s.w(), sh = s.h();
    // Straight parts of the outline: rows 24 and SH-25, columns 24 and SW-25.
    EXPECT_EQ(s.At(60, 24), text);
    EXPECT_EQ(s.At(60, sh - 25), text);
    EXPECT_EQ(s.At(24, sh / 2), text);
    EXPECT_EQ(s.At(sw - 25, sh / 2), text);
    EXPECT_EQ(s.At(sw / 2, sh / 2), back);
    EXPECT_EQ(s.At(24, 24), Red) << "corners are rounded off";
    EXPECT_EQ(s.At(sw - 25, sh - 25), Red);
    for (auto [x, y] : {std::pair{0, 0}, {sw - 1, sh - 1}, {10, sh / 2}, {sw - 10, sh / 2}, {sw / 2, 10}, {sw / 2, sh - 1}})
        EXPECT_EQ(s.At(x, y), Red) << x << "," << y;
}

TEST_P(Face, RepaintGivesTheSamePixels) {
    Surface a(GetParam().w, GetParam().h), b(GetParam().w, GetParam().h);
    const BalloonFace face{"Caption & more", "Some body text that wraps over more than one line, & so on.", 1};
    a.Paint(face);
    b.Paint(face);
    b.Paint(face);
    EXPECT_EQ(std::memcmp(a.Bits(), b.Bits(), a.Bytes()), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Face, ::testing::ValuesIn(Sizes),
                         [](const auto& p) { return std::to_string(p.param.w) + "x" + std::to_string(p.param.h); });

class FaceText : public Face {
protected:
    Surface s{247, 129};
    // Ink inside the body, clear of the outline and its rounded corners.
    std::vector<int> BodyInk() const { return s.InkRows(32, 214, 26, 103, back, back); }
};

TEST_F(FaceText, WithoutCaptionTheBodyStartsAt32) {
    s.Paint({"", "Hello world", 2});
    const auto rows = BodyInk();
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 32);
    EXPECT_LT(rows.front(), 46);
}

TEST_F(FaceText, UnderACaptionTheBodyStartsAt46) {
    s.Paint({"X", "", 2});
    const auto captionRows = BodyInk();
    ASSERT_FALSE(captionRows.empty());
    EXPECT_GE(captionRows.front(), 32);
    EXPECT_LT(captionRows.back(), 46) << "the caption is one line";

    Surface both(247, 129);
    both.Paint({"X", "Hello world", 2});
    const auto rows = both.InkRows(32, 214, captionRows.back() + 1, 103, back, back);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 46);
}

TEST_F(FaceText, LongBodyIsCutAtTheRectangleBottom) {
    std::string many;
    for (int i = 0; i < 60; ++i) many += "word ";
    s.Paint({"", many, 2});
    const auto rows = BodyInk();
    ASSERT_FALSE(rows.empty());
    EXPECT_GT(rows.back(), 80) << "the text fills the rectangle";
    EXPECT_LT(rows.back(), 129 - 32);
}

TEST_F(FaceText, WideCaptionRunsPastTheBubble) {
    s.Paint({std::string(60, 'W'), "", 2});
    // Right of the body, over the red background.
    const auto rows = s.InkRows(224, 247, 0, 129, Red, Red);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 32);
    EXPECT_LT(rows.back(), 46);
}

TEST_F(FaceText, AmpersandIsDrawnAsItself) {
    // Taken as prefix markers, "&&" would draw a single ampersand.
    s.Paint({"", "&", 2});
    const int one = s.InkColumns(32, 214, 26, 103, back, back);
    s.Paint({"", "&&", 2});
    const int two = s.InkColumns(32, 214, 26, 103, back, back);
    EXPECT_GT(one, 0);
    EXPECT_GT(two, one + one / 2);
}

}  // namespace
