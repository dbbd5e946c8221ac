// The balloon as a real window beside a stand-in sitter: its states, the waiting question and the placement.
#include <gtest/gtest.h>

#include "balloon/frmBalloon.h"
#include "platform/screen.h"
#include "tests/support/after.h"

namespace {

using testing_support::After;

// Only the sitter window's rectangle matters to the balloon.
struct FakeSitter : platform::Form {
    FakeSitter() : Form(platform::FormStyle{"PelloryTests.Sitter", "sitter", WS_POPUP, WS_EX_TOOLWINDOW}) { Load(); }
    void PlacePx(int top) { SetWindowPos(hWnd(), nullptr, 400, top, 77, 126, SWP_NOZORDER | SWP_NOACTIVATE); }
};

struct CountingBalloon : frmBalloon {
    using frmBalloon::frmBalloon;
    int paints = 0;
    void Form_Paint(HDC dc) override { ++paints; frmBalloon::Form_Paint(dc); }
};

struct Balloon : ::testing::Test {
    void PressOk() { SendMessageA(balloon.Command1.hWnd(), BM_CLICK, 0, 0); }
    // Presses a button on the face and releases it (or `up`, when given) at `releaseX`.
    void Click(UINT down, UINT up = 0, int releaseX = 100) {
        PostMessageA(balloon.hWnd(), down, 0, MAKELPARAM(100, 50));
        PostMessageA(balloon.hWnd(), up ? up : down + 1, 0, MAKELPARAM(releaseX, 50));
    }

    FakeSitter sitter;
    CountingBalloon balloon{sitter};
    const double tppX = platform::TwipsPerPixelX(), tppY = platform::TwipsPerPixelY();
};

TEST_F(Balloon, SayAskAndTheClosingEventsMoveItBetweenItsStates) {
    struct Step { const char* name; std::function<void()> act; bool shown, asking, timer; };
    const Step steps[] = {
        {"adjust loads it hidden", [&] { balloon.Adjust(); }, false, false, false},
        {"say", [&] { balloon.Say("Don't touch me!", "caption"); }, true, false, true},
        {"no keyboard for a message", [&] { EXPECT_NE(GetActiveWindow(), balloon.hWnd()); }, true, false, true},
        // Released outside the face, or a different button released: no click.
        {"half clicks", [&] { Click(WM_LBUTTONDOWN, 0, -5); Click(WM_LBUTTONDOWN, WM_RBUTTONUP); }, true, false, true},
        {"ask leaves the timer running", [&] { balloon.Ask("Enter question", "!8BALL", "maybe"); }, true, true, true},
        {"say over the question", [&] { balloon.Say("Mew!"); }, true, false, true},
        {"left click", [&] { Click(WM_LBUTTONDOWN); }, false, false, false},
        {"ask while hidden", [&] { balloon.Ask("Again?"); }, true, true, false},
        {"right click", [&] { Click(WM_RBUTTONDOWN); }, false, false, false},
    };
    for (const Step& s : steps) {
        s.act();
        platform::DoEvents();
        // Hiding the balloon leaves its controls as they were.
        EXPECT_EQ(std::tuple(balloon.Visible(), balloon.Timer1.Enabled(), s.shown && balloon.txtAnswer.Visible(),
                             s.shown && balloon.Command1.Visible()), std::tuple(s.shown, s.timer, s.asking, s.asking))
            << s.name;
        EXPECT_TRUE(!s.asking || GetFocus() == balloon.txtAnswer.hWnd()) << s.name << ": the field takes the keys";
    }
    EXPECT_EQ(balloon.Timer1.Interval(), 10000u);
    EXPECT_TRUE(GetWindowLongA(balloon.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The question's field sits 32 pixels above the bottom of the 1935 twips high face, "OK" 8 to its right.
    const RECT field = balloon.txtAnswer.Bounds(), ok = balloon.Command1.Bounds();
    EXPECT_EQ(std::tuple(field.left, field.bottom + 32, ok.left, ok.top),
              std::tuple(32, static_cast<LONG>(1935 / tppY + 0.5), 185, field.top));
    EXPECT_EQ(balloon.txtAnswer.Text() + "|" + balloon.lblCaption.Caption, "|") << "no default, no caption";
    COLORREF key = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(balloon.hWnd(), &key, nullptr, &flags) && key == RGB(255, 0, 0) &&
                (flags & LWA_COLORKEY)) << "red is the colour key";
}

TEST_F(Balloon, AskAndWaitReturnsTheFieldAsTheClosingEventLeftIt) {
    // A wait that nothing ends fails instead of hanging; the job goes with the others at the end.
    After(60000, [this] { ADD_FAILURE() << "a question was never closed"; balloon.Timer1_Timer(); });
    balloon.Timer1.SetInterval(60);
    const std::pair<std::string, std::function<void()>> cases[] = {
        {"", [this] { PressOk(); }},
        {"clicked", [this] { Click(WM_LBUTTONDOWN); }},
        {"entered", [this] { PostMessageA(balloon.txtAnswer.hWnd(), WM_KEYDOWN, VK_RETURN, 0); }},
        {"closed, the window stays", [this] { PostMessageA(balloon.hWnd(), WM_CLOSE, 0, 0); }},
        {"timed out under a message", [this] { balloon.Say("Mew!"); }},
        {"inner", [this] {  // a second question inside the wait, and a message after it
             After(20, [this] { balloon.txtAnswer.SetText("inner"); PressOk(); });
             EXPECT_EQ(balloon.AskAndWait("Second?"), "inner") << "the inner wait returns first";
             balloon.Say("after");  // keeps the outer question waiting until the message's timer closes it
         }},
    };
    for (const auto& [typed, close] : cases) {
        After(20, [&] { balloon.txtAnswer.SetText(typed); close(); });
        EXPECT_EQ(balloon.AskAndWait("Enter question", "!8BALL", "default"), typed);
        EXPECT_TRUE(IsWindow(balloon.hWnd()) && !balloon.Visible() && !balloon.Timer1.Enabled()) << typed;
    }
    // A quit request ends the wait with the balloon still showing, and is left for the main loop.
    After(20, [] { PostQuitMessage(3); });
    EXPECT_EQ(balloon.AskAndWait("Question?", "", "unfinished"), "unfinished");
    MSG msg;
    EXPECT_TRUE(balloon.Visible() && PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3);
    testing_support::Jobs().clear();
}

TEST_F(Balloon, FollowsTheSitterAndRepaintsOnceWhenTheTailFlips) {
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    sitter.PlacePx(screenH / 4);
    balloon.Say("Hello");
    platform::DoEvents();
    // Sitter's top in pixels, then the tail side and the repaints that follow.
    const int steps[][3] = {{screenH * 3 / 4, 0, 1}, {screenH * 3 / 4 + 20, 0, 0}, {screenH / 2 - 60, 0, 0},
                            {screenH / 4, 1, 1}, {screenH / 4 - 30, 1, 0}};
    for (const auto& [topPx, tail, repaints] : steps) {
        sitter.PlacePx(topPx);
        const int before = balloon.paints;
        balloon.Adjust();
        EXPECT_EQ(std::pair(int{balloon.TailAtTop}, balloon.paints - before), std::pair(tail, repaints)) << topPx;
        // In twips, to within the pixel the window lands on: the right edge 1000 right of the character's left
        // edge; below it, the top 300 over its bottom; above it, the bottom touching its top.
        EXPECT_NEAR(balloon.Left(), 400 * tppX - 3705 + 1000, tppX / 2);
        const double expected = tail ? (topPx + 126) * tppY - 300 : topPx * tppY;
        EXPECT_NEAR(balloon.Top() + (tail ? 0 : balloon.Height()), expected, tppY / 2) << topPx;
    }
}

}  // namespace
