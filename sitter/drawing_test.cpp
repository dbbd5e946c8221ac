// Frame composition: layer order, colour keys, mirroring and the blink cycle, checked on real pixels.
#include <gtest/gtest.h>

#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 160, 0), Yellow = RGB(255, 255, 0),
                   Magenta = RGB(255, 0, 255), White = RGB(255, 255, 255), Black = 0;

// Fills `picture` with a w x h image whose pixel colours come from `colour(x, y)`.
template <class Colour> void Paint(cDIBSection& picture, int w, int h, Colour colour) {
    ASSERT_TRUE(picture.Create(w, h));
    for (int i = 0; i < w * h; ++i) SetPixel(picture.hDC(), i % w, i / w, colour(i % w, i / w));
}

class RedrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        CharacterPictures& p = sitter.Pictures();
        Paint(p.base, 77, 126, [](int, int) { return Blue; });
        // Layer 2: green right of x 30, transparent left of it.
        Paint(p.costume[1], 60, 60, [](int x, int) { return x >= 30 ? Green : Red; });
        // Blink frames: coloured in their upper half only.
        Paint(p.blinkHalf, 40, 32, [](int, int y) { return y < 16 ? Yellow : Red; });
        Paint(p.blinkClosed, 40, 32, [](int, int y) { return y < 16 ? Magenta : Red; });
        // Layer 1: white left of x 20 down to y 30.
        Paint(p.costume[0], 77, 30, [](int x, int) { return x < 20 ? White : Red; });
        sitter.SetBlinkPosition(POINT{16, 24});
        ASSERT_TRUE(sitter.Frame().Create(77, 126) && window.Create(77, 126));
    }

    void Redraws(int n) { while (n--) sitter.Redraw(window.hDC()); }
    COLORREF Frame(int x, int y) { return GetPixel(sitter.Frame().hDC(), x, y); }
    COLORREF Shown(int x, int y) { return GetPixel(window.hDC(), x, y); }

    SitterWindow sitter;
    cDIBSection window;  // stands in for the window's client area
};

TEST_F(RedrawTest, LayersComposeInOrderThroughTheRedKey) {
    Redraws(101);  // the first blink frame shows on the 101st redraw
    struct Probe { int x, y; COLORREF expected; const char* why; } probes[] = {
        {5, 5, White, "layer 1 on top"}, {25, 5, Blue, "red of both costumes leaves the base"},
        {35, 5, Green, "layer 2 over the base"}, {35, 30, Yellow, "blink frame over layer 2"},
        {40, 45, Green, "red of the blink frame leaves layer 2"}, {18, 26, White, "layer 1 over the blink frame"},
        {60, 30, Blue, "outside every layer"}, {10, 100, Blue, "the base fills the frame"}};
    for (const Probe& p : probes) {
        EXPECT_EQ(Frame(p.x, p.y), p.expected) << p.why << " at " << p.x << "," << p.y;
        EXPECT_EQ(Shown(p.x, p.y), p.expected) << "copied unmirrored: " << p.why;
    }
}

TEST_F(RedrawTest, MirroredCopyFlipsTheWholeFrame) {
    sitter.SetMirrored(true);
    Redraws(101);
    for (int y : {5, 30, 45, 100}) for (int x = 0; x < 77; ++x) ASSERT_EQ(Shown(76 - x, y), Frame(x, y)) << x << "," << y;
}

TEST_F(RedrawTest, OneBlinkEvery201Redraws) {
    auto eye = [&] { Redraws(1); COLORREF c = Frame(35, 30); return c == Yellow ? '1' : c == Magenta ? '2' : '.'; };
    std::string seen;
    for (int i = 0; i < 402; ++i) seen += eye();
    const std::string cycle = std::string(100, '.') + "11" + std::string(12, '2') + "11" + std::string(85, '.');
    EXPECT_EQ(seen, cycle + cycle);
}

TEST_F(RedrawTest, RedCostumeLeavesTheFrameAsItWas) {
    for (cDIBSection& costume : sitter.Pictures().costume) Paint(costume, 2, 2, [](int, int) { return Red; });
    Redraws(1);
    for (int i = 0; i < 77 * 126; i += 7) ASSERT_EQ(Frame(i % 77, i / 77), Blue) << i;
}

TEST(Redraw, BeforeTheFrameBufferExistsDoesNoHarm) {
    SitterWindow sitter;  // not started: no pictures, no frame buffer
    cDIBSection window;
    ASSERT_TRUE(window.Create(77, 126));
    for (int i = 0; i < 250; ++i) sitter.Redraw(window.hDC());
    EXPECT_EQ(std::pair(sitter.BlinkCounter(), GetPixel(window.hDC(), 10, 10)), std::pair(49, Black)) << "counter runs as usual, nothing drawn";
}

TEST(Redraw, PaintRequestsRunTheWholeRedraw) {
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    SitterWindow sitter;
    sitter.Create();  // real start-up with this program's own pictures
    cDIBSection target;
    ASSERT_TRUE(sitter.Frame().hDC() && target.Create(77, 126));
    const int32_t before = sitter.BlinkCounter();
    for (int i = 0; i < 2; ++i) SendMessageA(sitter.hwnd(), WM_PRINTCLIENT, WPARAM(target.hDC()), PRF_CLIENT);
    EXPECT_EQ(sitter.BlinkCounter(), before + 2) << "a burst of paints speeds the blink up";
    EXPECT_EQ(GetPixel(target.hDC(), 0, 0), Black) << "the corner is the colour key";
    int drawn = 0;
    for (int i = 0; i < 77 * 126; ++i) drawn += GetPixel(target.hDC(), i % 77, i / 77) != GetPixel(sitter.Frame().hDC(), i % 77, i / 77);
    EXPECT_EQ(drawn, 0) << "the window shows the composed frame";
    EXPECT_NE(GetPixel(target.hDC(), 38, 60), Black) << "the character is there";
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
}

}  // namespace
