// The balloon as a real window: its states, the waiting question and how it follows the character.
#include <gtest/gtest.h>

#include <functional>

#include "balloon/balloon.h"
#include "platform/units.h"
#include "tests/support/after.h"

namespace {

using testing_support::After;

struct BalloonTest : ::testing::Test {
    void PressOk() { SendMessageA(balloon.OkButton(), BM_CLICK, 0, 0); }
    // Presses a button on the face and releases it (or `up`, when given) at `releaseX`.
    void Click(UINT down, UINT up = 0, int releaseX = 100) {
        PostMessageA(balloon.hwnd(), down, 0, MAKELPARAM(100, 50));
        PostMessageA(balloon.hwnd(), up ? up : down + 1, 0, MAKELPARAM(releaseX, 50));
    }
    static RECT CharacterAt(int top) { return RECT{400, top, 477, top + 126}; }

    const RECT character = CharacterAt(300);
    platform::Owned<Balloon> balloon;
};

TEST_F(BalloonTest, SayAskAndTheClosingEventsMoveItBetweenItsStates) {
    struct Step { const char* name; std::function<void()> act; bool shown, asking, timer; };
    const Step steps[] = {
        {"following makes it, hidden", [&] { balloon.FollowCharacter(character); }, false, false, false},
        {"say", [&] { balloon.Say("Don't touch me!", "caption", character); }, true, false, true},
        {"no keyboard for a message", [&] { EXPECT_NE(GetActiveWindow(), balloon.hwnd()); }, true, false, true},
        // Released outside the face, or a different button released: no click.
        {"half clicks", [&] { Click(WM_LBUTTONDOWN, 0, -5); Click(WM_LBUTTONDOWN, WM_RBUTTONUP); }, true, false, true},
        {"ask leaves the timer running", [&] { balloon.Ask("Enter question", "!8BALL", "maybe", character); }, true, true, true},
        {"say over the question", [&] { balloon.Say("Mew!", "", character); }, true, false, true},
        {"left click", [&] { Click(WM_LBUTTONDOWN); }, false, false, false},
        {"ask while hidden", [&] { balloon.Ask("Again?", "", "", character); }, true, true, false},
        {"right click", [&] { Click(WM_RBUTTONDOWN); }, false, false, false},
    };
    for (const Step& s : steps) {
        s.act();
        platform::ProcessPendingEvents();
        EXPECT_EQ(std::tuple(balloon.IsVisible(), balloon.AutoCloseTimer().IsEnabled(), s.shown && balloon.IsAsking()),
                  std::tuple(s.shown, s.timer, s.asking)) << s.name;
        EXPECT_TRUE(!s.asking || GetFocus() == balloon.AnswerField()) << s.name << ": the field takes the keys";
    }
    EXPECT_TRUE(GetWindowLongA(balloon.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The question's field sits 32 pixels above the bottom of the face, "OK" 8 to its right.
    RECT field{}, ok{};
    GetWindowRect(balloon.AnswerField(), &field), GetWindowRect(balloon.OkButton(), &ok);
    MapWindowPoints(nullptr, balloon.hwnd(), reinterpret_cast<POINT*>(&field), 2);
    MapWindowPoints(nullptr, balloon.hwnd(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_EQ(std::tuple(field.left, field.bottom + 32, ok.left, ok.top), std::tuple(32L, 129L, 185L, field.top));
    EXPECT_EQ(balloon.Answer() + "|" + balloon.Caption(), "|") << "no default, no caption";
    // A screen reader reads the window's text: the caption and the body.
    char text[64] = {};
    GetWindowTextA(balloon.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "Again?");
    balloon.Say("Yes.", "!8BALL", character);
    GetWindowTextA(balloon.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "!8BALL: Yes.");
    COLORREF key = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(balloon.hwnd(), &key, nullptr, &flags) && key == RGB(255, 0, 0) &&
                (flags & LWA_COLORKEY)) << "red is the colour key";
}

TEST_F(BalloonTest, AskAndWaitReturnsTheFieldAsTheClosingEventLeftIt) {
    // A wait that nothing ends fails instead of hanging.
    After(60000, [this] { ADD_FAILURE() << "a question was never closed"; balloon.Close(); });
    balloon.AutoCloseTimer().SetInterval(60);  // the ten seconds of a message, shortened
    const std::pair<std::string, std::function<void()>> cases[] = {
        {"", [this] { PressOk(); }},
        {"clicked", [this] { Click(WM_LBUTTONDOWN); }},
        {"entered", [this] { PostMessageA(balloon.AnswerField(), WM_KEYDOWN, VK_RETURN, 0); }},
        {"closed, the window stays", [this] { PostMessageA(balloon.hwnd(), WM_CLOSE, 0, 0); }},
        {"timed out under a message", [this] { balloon.Say("Mew!", "", character); }},
        {"inner", [this] {  // a second question inside the wait, and a message after it
             After(20, [this] { SetWindowTextA(balloon.AnswerField(), "inner"); PressOk(); });
             EXPECT_EQ(balloon.AskAndWait("Second?", "", "", character), "inner") << "the inner wait returns first";
             balloon.Say("after", "", character);  // keeps the outer question waiting until its timer closes it
         }},
    };
    for (const auto& [typed, close] : cases) {
        After(20, [&] { SetWindowTextA(balloon.AnswerField(), typed.c_str()); close(); });
        EXPECT_EQ(balloon.AskAndWait("Enter question", "!8BALL", "default", character), typed);
        EXPECT_TRUE(IsWindow(balloon.hwnd()) && !balloon.IsVisible() && !balloon.AutoCloseTimer().IsEnabled()) << typed;
    }
    // A quit request ends the wait with the balloon still showing, and is left for the main loop.
    After(20, [] { PostQuitMessage(3); });
    EXPECT_EQ(balloon.AskAndWait("Question?", "", "unfinished", character), "unfinished");
    MSG msg;
    EXPECT_TRUE(balloon.IsVisible() && PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3);
    testing_support::Jobs().clear();
}

}  // namespace
