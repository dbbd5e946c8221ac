// The balloon as a real window, driven through its messages and read through the window system: its
// states, the waiting question, the auto-close timer and a change of DPI.
#include <gtest/gtest.h>

#include <functional>

#include "balloon/balloon.h"
#include "imaging/cDIBSection.h"
#include "tests/support/after.h"

namespace {

using testing_support::After;

std::wstring TextOf(HWND window) { wchar_t text[128] = {}; GetWindowTextW(window, text, 128); return text; }

struct BalloonTest : ::testing::Test {
    explicit BalloonTest(unsigned autoCloseMs = Balloon::AutoCloseMs) : balloon(autoCloseMs) {}
    HWND Field() const { return GetDlgItem(balloon.hwnd(), Balloon::AnswerFieldId); }
    HWND Ok() const { return GetDlgItem(balloon.hwnd(), Balloon::OkButtonId); }
    // Presses a button on the face and releases it (or `up`, when given) at `releaseX`.
    void Click(UINT down, UINT up = 0, int releaseX = 100) {
        PostMessageW(balloon.hwnd(), down, 0, MAKELPARAM(100, 50));
        PostMessageW(balloon.hwnd(), up ? up : down + 1, 0, MAKELPARAM(releaseX, 50));
    }
    // Types as the keyboard does, in UTF-16 units; the first key replaces the selected default answer.
    void Type(const std::wstring& text) {
        for (const wchar_t unit : L"\b" + text) SendMessageW(Field(), WM_CHAR, unit, 0);
    }

    const CharacterPlace character{RECT{400, 300, 477, 426}};
    platform::Owned<Balloon> balloon;
};

// Messages close themselves soon: the auto-close timer shows in what it does.
struct QuickBalloonTest : BalloonTest { QuickBalloonTest() : BalloonTest(80) {} };

TEST_F(BalloonTest, SayAskAndTheClosingEventsMoveItBetweenItsStates) {
    struct Step { const char* name; std::function<void()> act; bool shown, asking; };
    const Step steps[] = {
        {"following makes it, hidden", [&] { balloon.FollowCharacter(character); }, false, false},
        {"say", [&] { balloon.Say("Don't touch me!", "caption", character); }, true, false},
        {"no keyboard for a message", [&] { EXPECT_NE(GetActiveWindow(), balloon.hwnd()); }, true, false},
        // Released outside the face, or a different button released: no click.
        {"half clicks", [&] { Click(WM_LBUTTONDOWN, 0, -5); Click(WM_LBUTTONDOWN, WM_RBUTTONUP); }, true, false},
        {"ask", [&] { balloon.Ask("Enter question", "!8BALL", "maybe", character); }, true, true},
        {"say over the question", [&] { balloon.Say("Mew!", "", character); }, true, false},
        {"left click", [&] { Click(WM_LBUTTONDOWN); }, false, false},
        {"ask while hidden", [&] { balloon.Ask("Again?", "", "", character); }, true, true},
        {"right click", [&] { Click(WM_RBUTTONDOWN); }, false, false},
    };
    for (const Step& s : steps) {
        s.act();
        platform::ProcessPendingEvents();
        EXPECT_EQ(std::pair(balloon.IsVisible(), IsWindowVisible(Field()) != FALSE), std::pair(s.shown, s.asking)) << s.name;
        EXPECT_TRUE(!s.asking || GetFocus() == Field()) << s.name << ": the field takes the keys";
    }
    EXPECT_TRUE(GetWindowLongW(balloon.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // A screen reader reads the window's text: the caption and the body, in any script.
    EXPECT_EQ(std::pair(TextOf(balloon.hwnd()), TextOf(Field())), std::pair(std::wstring(L"Again?"), std::wstring()));
    balloon.Say("Да, 日本語 ✓", "!8BALL", character);
    EXPECT_EQ(TextOf(balloon.hwnd()), L"!8BALL: Да, 日本語 ✓");
    COLORREF key = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(balloon.hwnd(), &key, nullptr, &flags) && key == RGB(255, 0, 0) && (flags & LWA_COLORKEY));
}

TEST_F(QuickBalloonTest, AskAndWaitReturnsTheFieldAsTheClosingEventLeftItInUtf8) {
    // A wait that nothing ends fails instead of hanging.
    After(60000, [this] { ADD_FAILURE() << "a question was never closed"; balloon.Close(); });
    const struct { std::wstring typed; std::string answer; std::function<void()> close; } cases[] = {
        {L"", "", [this] { SendMessageW(Ok(), BM_CLICK, 0, 0); }},
        {L"clicked", "clicked", [this] { Click(WM_LBUTTONDOWN); }},
        {L"Да, 日本語 ✓ 😺", "Да, 日本語 ✓ 😺", [this] { PostMessageW(Field(), WM_KEYDOWN, VK_RETURN, 0); }},
        {L"closed", "closed", [this] { PostMessageW(balloon.hwnd(), WM_CLOSE, 0, 0); }},
        {L"timed out under a message", "timed out under a message", [this] { balloon.Say("Mew!", "", character); }},
        {L"outer", "outer", [this] {  // a message, a second question inside the wait, and a message after it
             balloon.Say("Mew!", "", character);
             After(20, [this] { Type(L"inner"); });
             EXPECT_EQ(balloon.AskAndWait("Second?", "", "", character), "inner") << "closed by the message's timer";
             balloon.Say("after", "", character);  // keeps the outer question waiting until its timer closes it
             SetWindowTextW(Field(), L"outer");
         }},
    };
    for (const auto& c : cases) {
        After(20, [&] { Type(c.typed); c.close(); });
        EXPECT_EQ(balloon.AskAndWait("Enter question", "!8BALL", "default", character), c.answer);
        EXPECT_TRUE(IsWindow(balloon.hwnd()) && !balloon.IsVisible()) << c.answer << ": closed, the window stays";
    }
    // A quit request ends the wait with the balloon still showing, and is left for the main loop; no
    // timer closed the question meanwhile: "ask" starts none, and every close stopped the last.
    After(300, [] { PostQuitMessage(3); });
    EXPECT_EQ(balloon.AskAndWait("Question?", "", "не дописан ✓", character), "не дописан ✓");
    MSG msg;
    EXPECT_TRUE(balloon.IsVisible() && PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3);
    testing_support::Jobs().clear();
}

// Wine gives every monitor the same DPI, so the message a move to another monitor brings is sent here.
TEST_F(BalloonTest, ANewDpiLaysOutPaintsItAnewAndPlacesItBesideTheCharacter) {
    balloon.Ask("?", "", "", character);  // below the character: the tail at the top
    // The window's size; the field 32 above the bottom, "OK" 8 right of it; placed in twips of that DPI:
    // 1000 right of the character's left edge, 300 up over its bottom.
    const struct { int dpi; SIZE window; RECT field, ok; LONG fontHeight; int margin; POINT placed; } cases[] = {
        {144, {370, 194}, {48, 118, 266, 146}, {278, 118, 316, 146}, -16, 36, {130, 396}},
        {96, {247, 129}, {32, 78, 177, 97}, {185, 78, 210, 97}, -11, 24, {220, 406}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const RECT suggested{100, 200, 100 + c.window.cx + 1, 200 + c.window.cy - 1};  // the system's rounding may differ
        SendMessageW(balloon.hwnd(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT window{}, field{}, ok{};  // the balloon's client area is its window
        GetWindowRect(balloon.hwnd(), &window), GetWindowRect(Field(), &field), GetWindowRect(Ok(), &ok);
        OffsetRect(&field, -window.left, -window.top), OffsetRect(&ok, -window.left, -window.top);
        EXPECT_EQ(std::tuple(window.left, window.top, window.right - window.left, window.bottom - window.top),
                  std::tuple(c.placed.x, c.placed.y, c.window.cx, c.window.cy));
        EXPECT_TRUE(EqualRect(&field, &c.field) && EqualRect(&ok, &c.ok));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Field(), WM_GETFONT, 0, 0)), sizeof font, &font);
        cDIBSection face;
        ASSERT_TRUE(face.Create(c.window.cx, c.window.cy));
        SendMessageW(balloon.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(face.hDC()), PRF_CLIENT);
        // The outline one pixel wide at the scaled margin, and the tail's base joined to the body.
        const int middle = face.Height() / 2, base = c.margin * 170 / 24;
        EXPECT_EQ(std::tuple(font.lfHeight, GetPixel(face.hDC(), c.margin, middle), GetPixel(face.hDC(), c.margin + 1, middle),
                             GetPixel(face.hDC(), base, c.margin)),
                  std::tuple(c.fontHeight, GetSysColor(COLOR_INFOTEXT), GetSysColor(COLOR_INFOBK), GetSysColor(COLOR_INFOBK)));
    }
}

}  // namespace
