// Frame composition: layer order, colour keys, mirroring and the blink cycle, checked on real pixels.
#include <gtest/gtest.h>

#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "sitter/frmSitter.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 160, 0), Yellow = RGB(255, 255, 0),
                   Magenta = RGB(255, 0, 255), White = RGB(255, 255, 255), Black = 0;

// A screen-compatible picture whose pixel colours come from `colour(x, y)`.
template <class Colour> platform::UniqueBitmap Picture(int w, int h, Colour colour) {
    platform::UniqueDC dc(CreateCompatibleDC(nullptr));
    platform::WindowDC screen(nullptr);
    platform::UniqueBitmap picture(CreateCompatibleBitmap(screen.get(), w, h));
    platform::SelectedObject selected(dc.get(), picture.get());
    for (int i = 0; i < w * h; ++i) SetPixel(dc.get(), i % w, i / w, colour(i % w, i / w));
    return picture;
}

class RedrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        sitter.picBase.SetPicture(Picture(77, 126, [](int, int) { return Blue; }));
        // Layer 2: green right of x 30, transparent left of it.
        sitter.picCostume2.SetPicture(Picture(60, 60, [](int x, int) { return x >= 30 ? Green : Red; }));
        // Blink frames: coloured in their upper half only.
        sitter.picBlink1.SetPicture(Picture(40, 32, [](int, int y) { return y < 16 ? Yellow : Red; }));
        sitter.picBlink2.SetPicture(Picture(40, 32, [](int, int y) { return y < 16 ? Magenta : Red; }));
        // Layer 1: white left of x 20 down to y 30.
        sitter.picCostume.SetPicture(Picture(77, 30, [](int x, int) { return x < 20 ? White : Red; }));
        sitter.BlinkX = 16, sitter.BlinkY = 24;
        ASSERT_TRUE(sitter.FrameBuffer.Create(77, 126) && window.Create(77, 126));
    }

    void Redraws(int n) { while (n--) sitter.Redraw(window.hDC()); }
    COLORREF Frame(int x, int y) { return GetPixel(sitter.FrameBuffer.hDC(), x, y); }
    COLORREF Shown(int x, int y) { return GetPixel(window.hDC(), x, y); }

    frmSitter sitter;
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
    sitter.FromLeft = -1;
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
    for (auto* costume : {&sitter.picCostume, &sitter.picCostume2}) costume->SetPicture(Picture(2, 2, [](int, int) { return Red; }));
    Redraws(1);
    for (int i = 0; i < 77 * 126; i += 7) ASSERT_EQ(Frame(i % 77, i / 77), Blue) << i;
}

TEST(Redraw, BeforeTheFrameBufferExistsDoesNoHarm) {
    frmSitter sitter;  // nothing loaded: no pictures, no frame buffer
    cDIBSection window;
    ASSERT_TRUE(window.Create(77, 126));
    for (int i = 0; i < 250; ++i) sitter.Redraw(window.hDC());
    EXPECT_TRUE(sitter.BlinkCounter() == 49 && GetPixel(window.hDC(), 10, 10) == Black) << "counter runs as usual, nothing drawn";
}

TEST(Redraw, PaintRequestsRunTheWholeRedraw) {
    RegDeleteTreeA(HKEY_CURRENT_USER, frmSitter::RegistryKey);
    frmSitter sitter;
    sitter.Load();  // real start-up with this program's own pictures
    cDIBSection target;
    ASSERT_TRUE(sitter.FrameBuffer.hDC() && target.Create(77, 126));
    const int32_t before = sitter.BlinkCounter();
    for (int i = 0; i < 2; ++i) SendMessageA(sitter.hWnd(), WM_PRINTCLIENT, WPARAM(target.hDC()), PRF_CLIENT);
    EXPECT_EQ(sitter.BlinkCounter(), before + 2) << "a burst of paints speeds the blink up";
    EXPECT_EQ(GetPixel(target.hDC(), 0, 0), Black) << "the corner is the colour key";
    int drawn = 0;
    for (int i = 0; i < 77 * 126; ++i) drawn += GetPixel(target.hDC(), i % 77, i / 77) != GetPixel(sitter.FrameBuffer.hDC(), i % 77, i / 77);
    EXPECT_EQ(drawn, 0) << "the window shows the composed frame";
    EXPECT_NE(GetPixel(target.hDC(), 38, 60), Black) << "the character is there";
    RegDeleteTreeA(HKEY_CURRENT_USER, frmSitter::RegistryKey);
}

}  // namespace
