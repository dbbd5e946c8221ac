// Frame composition: layer order, colour keys, mirroring and the blink cycle, checked on real pixels; and
// the window shown only what changed.
#include <gtest/gtest.h>

#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "platform/window.h"
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

class Frames : public ::testing::Test {
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
        sitter.ComposeFrames();
        ASSERT_TRUE(window.Create(77, 126));
    }

    // Periods go by, and the window is shown the frame of the moment.
    void Periods(int n) { sitter.AdvancePeriods(n), sitter.ShowFrame(window.hDC()); }
    COLORREF Frame(int x, int y) { return GetPixel(sitter.ShownFrame().hDC(), x, y); }
    COLORREF Shown(int x, int y) { return GetPixel(window.hDC(), x, y); }

    SitterWindow sitter;
    cDIBSection window;  // stands in for the window's client area
};

TEST_F(Frames, LayersComposeInOrderThroughTheRedKey) {
    Periods(101);  // the first blink frame shows in the 101st period
    const std::tuple<int, int, COLORREF, const char*> probes[] = {
        {5, 5, White, "layer 1 on top"}, {25, 5, Blue, "red of both costumes leaves the base"},
        {35, 5, Green, "layer 2 over the base"}, {35, 30, Yellow, "blink frame over layer 2"},
        {40, 45, Green, "red of the blink frame leaves layer 2"}, {18, 26, White, "layer 1 over the blink frame"},
        {60, 30, Blue, "outside every layer"}, {10, 100, Blue, "the base fills the frame"}};
    for (const auto& [x, y, expected, why] : probes) {
        EXPECT_EQ(Frame(x, y), expected) << why << " at " << x << "," << y;
        EXPECT_EQ(Shown(x, y), expected) << "copied unmirrored: " << why;
    }
}

TEST_F(Frames, OneBlinkEvery201Periods) {
    auto eye = [&] {
        Periods(1);
        const COLORREF c = Shown(35, 30);
        return c == Yellow ? '1' : c == Magenta ? '2' : '.';
    };
    std::string seen;
    for (int i = 0; i < 402; ++i) seen += eye();
    const std::string cycle = std::string(100, '.') + "11" + std::string(12, '2') + "11" + std::string(85, '.');
    EXPECT_EQ(seen, cycle + cycle);
    sitter.AdvancePeriods(201 * 7 + 100);  // many at once: the same place in the cycle
    EXPECT_EQ(sitter.BlinkCounter(), 100);
}

HWND watched = nullptr;
int timerMessages = 0;
LRESULT CALLBACK CountTimerMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->hwnd == watched && message->message == WM_TIMER) ++timerMessages;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Drawing, APaintShowsTheFrameOfTheMomentAndTheTimerWakesOnlyForChanges) {
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    SitterWindow sitter;
    const ULONGLONG created = GetTickCount64();
    sitter.Create();  // real start-up with this program's own pictures
    cDIBSection target;
    ASSERT_TRUE(target.Create(77, 126));
    const int32_t before = sitter.BlinkCounter();
    for (int i = 0; i < 2; ++i) SendMessageA(sitter.hwnd(), WM_PRINTCLIENT, WPARAM(target.hDC()), PRF_CLIENT);
    EXPECT_EQ(sitter.BlinkCounter(), before) << "a paint does not count as a period";
    int differ = 0;
    for (int i = 0; i < 77 * 126; ++i)
        differ += GetPixel(target.hDC(), i % 77, i / 77) != GetPixel(sitter.ShownFrame().hDC(), i % 77, i / 77);
    EXPECT_EQ(differ, 0) << "the window shows the composed frame";
    EXPECT_EQ(GetPixel(target.hDC(), 0, 0), Black) << "the corner is the colour key";
    EXPECT_NE(GetPixel(target.hDC(), 38, 60), Black) << "the character is there";
    // New display settings: the window is painted anew.
    ShowWindow(sitter.hwnd(), SW_SHOWNA);
    ValidateRect(sitter.hwnd(), nullptr);
    SendMessageA(sitter.hwnd(), WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
    EXPECT_TRUE(GetUpdateRect(sitter.hwnd(), nullptr, FALSE));

    // The eyes close 101 periods of 25 ms after the window was made, and the timer wakes only for the
    // changes of the frame: a handful in 2.7 seconds, where every period would be 108.
    sitter.TrackingTimer().SetEnabled(false);
    watched = sitter.hwnd(), timerMessages = 0;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &CountTimerMessages, nullptr, GetCurrentThreadId());
    platform::RunModalLoop([&] { return GetTickCount64() >= created + 2700; });
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(sitter.BlinkCounter() >= 103 && sitter.BlinkCounter() <= 114) << sitter.BlinkCounter();
    EXPECT_LE(timerMessages, 4);
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
}

}  // namespace
