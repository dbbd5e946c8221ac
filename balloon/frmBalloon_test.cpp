// The balloon as a real window: its states, the waiting question and the placement beside a sitter.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "balloon/frmBalloon.h"
#include "imaging/cDIBSection.h"
#include "platform/number.h"
#include "platform/screen.h"

#include "tests/support/after.h"

namespace {

// Stands in for the sitter window: only its rectangle matters to the balloon.
class FakeSitter : public platform::Form {
public:
    FakeSitter() : Form(platform::FormStyle{"PelloryTests.FakeSitter", "sitter", WS_POPUP, WS_EX_TOOLWINDOW}) {
        Load();
    }
    void PlacePx(int left, int top) {
        SetWindowPos(hWnd(), nullptr, left, top, 77, 126, SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

class CountingBalloon : public frmBalloon {
public:
    using frmBalloon::frmBalloon;
    int paints = 0;

protected:
    void Form_Paint(HDC dc) override {
        ++paints;
        frmBalloon::Form_Paint(dc);
    }
};

using testing_support::After;

int Px(double twips, double tpp) { return platform::RoundToLong(twips / tpp); }

class Balloon : public ::testing::Test {
protected:
    void SetUp() override {
        sitter.PlacePx(400, 100);
        // A wait that nothing ends fails the test instead of hanging it. Generous: under Wine without a
        // window manager, hiding the active balloon takes about two seconds.
        After(60000, [this] {
            ADD_FAILURE() << "the balloon was still open";
            balloon.Timer1_Timer();
        });
    }
    void TearDown() override {
        for (auto& [id, job] : testing_support::Jobs()) KillTimer(nullptr, id);
        testing_support::Jobs().clear();
    }
    RECT WindowPx() {
        RECT r{};
        GetWindowRect(balloon.hWnd(), &r);
        return r;
    }
    void Type(const std::string& text) { balloon.txtAnswer.SetText(text); }
    void PressOk() { SendMessageA(balloon.Command1.hWnd(), BM_CLICK, 0, 0); }
    void ClickFace(UINT down, UINT up, POINT at = {100, 50}, POINT release = {100, 50}) {
        PostMessageA(balloon.hWnd(), down, 0, MAKELPARAM(at.x, at.y));
        PostMessageA(balloon.hWnd(), up, 0, MAKELPARAM(release.x, release.y));
    }

    FakeSitter sitter;
    CountingBalloon balloon{sitter};
    const double tppX = platform::TwipsPerPixelX();
    const double tppY = platform::TwipsPerPixelY();
};

TEST_F(Balloon, AdjustLoadsItHiddenColourKeyedAndInPlace) {
    EXPECT_FALSE(balloon.IsLoaded());
    balloon.Adjust();
    ASSERT_TRUE(balloon.IsLoaded());
    EXPECT_FALSE(balloon.Visible());
    EXPECT_EQ(balloon.Handle(), balloon.hWnd()) << "one window for the whole run";

    RECT client{};
    GetClientRect(balloon.hWnd(), &client);
    EXPECT_EQ(client.right, Px(3705, tppX));
    EXPECT_EQ(client.bottom, Px(1935, tppY));

    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetWindowLongA(balloon.hWnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(GetLayeredWindowAttributes(balloon.hWnd(), &key, nullptr, &flags));
    EXPECT_EQ(key, RGB(255, 0, 0));
    EXPECT_TRUE(flags & LWA_COLORKEY);

    // Sitter in the upper half: the balloon goes below it, overlapping its bottom by 300 twips.
    EXPECT_EQ(balloon.TailAtTop, 1);
    const RECT r = WindowPx();
    EXPECT_EQ(r.left, Px(400 * tppX - 3705 + 1000, tppX));
    EXPECT_EQ(r.top, Px((100 + 126) * tppY - 300, tppY));
}

TEST_F(Balloon, SayShowsAMessageThatTheTimerCloses) {
    balloon.Say("Don't touch me!");
    EXPECT_TRUE(balloon.Visible());
    EXPECT_FALSE(balloon.txtAnswer.Visible());
    EXPECT_FALSE(balloon.Command1.Visible());
    EXPECT_TRUE(balloon.Timer1.Enabled());
    EXPECT_EQ(balloon.Timer1.Interval(), 10000u);
    EXPECT_EQ(balloon.lblText.Caption, "Don't touch me!");
    EXPECT_EQ(balloon.lblCaption.Caption, "");
    EXPECT_TRUE(GetWindowLongA(balloon.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetActiveWindow(), balloon.hWnd()) << "a message must not take the keyboard";
    EXPECT_EQ(SendMessageA(balloon.hWnd(), WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);

    balloon.Timer1.SetInterval(30);
    const DWORD start = GetTickCount();
    while (balloon.Visible() && GetTickCount() - start < 3000) platform::DoEvents();
    EXPECT_FALSE(balloon.Visible());
    EXPECT_FALSE(balloon.Timer1.Enabled());
    EXPECT_EQ(balloon.lblText.Caption, "Don't touch me!") << "hiding keeps the texts";
}

TEST_F(Balloon, OnlyAWholeClickOnTheFaceClosesAMessage) {
    struct Case {
        const char* name;
        UINT down, up;
        POINT release;
        bool closes;
    };
    const Case cases[] = {
        {"left click", WM_LBUTTONDOWN, WM_LBUTTONUP, {100, 50}, true},
        {"right click", WM_RBUTTONDOWN, WM_RBUTTONUP, {100, 50}, true},
        {"released outside", WM_LBUTTONDOWN, WM_LBUTTONUP, {-5, 50}, false},
        {"different buttons", WM_LBUTTONDOWN, WM_RBUTTONUP, {100, 50}, false},
    };
    for (const Case& c : cases) {
        balloon.Say("text", "caption");
        ClickFace(c.down, c.up, {100, 50}, c.release);
        platform::DoEvents();
        EXPECT_EQ(balloon.Visible(), !c.closes) << c.name;
        EXPECT_EQ(balloon.Timer1.Enabled(), !c.closes) << c.name;
        if (GetCapture() == balloon.hWnd()) ReleaseCapture();
    }
}

TEST_F(Balloon, AskArrangesTheQuestionAndLeavesTheTimerAlone) {
    balloon.Ask("Enter question", "!8BALL", "maybe");
    EXPECT_TRUE(balloon.Visible());
    EXPECT_TRUE(balloon.txtAnswer.Visible());
    EXPECT_TRUE(balloon.Command1.Visible());
    EXPECT_FALSE(balloon.Timer1.Enabled());
    EXPECT_EQ(balloon.txtAnswer.Text(), "maybe");
    EXPECT_EQ(balloon.lblCaption.Caption, "!8BALL");

    RECT client{};
    GetClientRect(balloon.hWnd(), &client);
    const RECT field = balloon.txtAnswer.Bounds();
    const RECT ok = balloon.Command1.Bounds();
    EXPECT_EQ(field.left, 32);
    EXPECT_EQ(field.top, client.bottom - 32 - 19);
    EXPECT_EQ(field.right - field.left, 145);
    EXPECT_EQ(ok.left, 32 + 145 + 8);
    EXPECT_EQ(ok.top, field.top);
    EXPECT_EQ(ok.right - ok.left, 25);
    EXPECT_EQ(GetFocus(), balloon.txtAnswer.hWnd()) << "the answer field takes the keyboard";
    EXPECT_NE(SendMessageA(balloon.hWnd(), WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);

    // A message over the question hides its controls and starts the timer; a new question keeps it running.
    balloon.Say("Mew!");
    EXPECT_FALSE(balloon.txtAnswer.Visible());
    EXPECT_FALSE(balloon.Command1.Visible());
    EXPECT_TRUE(balloon.Timer1.Enabled());
    balloon.Ask("Again?");
    EXPECT_TRUE(balloon.Timer1.Enabled());
    EXPECT_EQ(balloon.txtAnswer.Text(), "");
}

TEST_F(Balloon, AskWaitsForEachWayOfClosing) {
    struct Case {
        const char* name;
        std::string typed;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"OK", "yes", [this] { PressOk(); }},
        {"OK on an empty field", "", [this] { PressOk(); }},
        {"click on the face", "typed", [this] { ClickFace(WM_LBUTTONDOWN, WM_LBUTTONUP); }},
        {"Enter in the field", "entered", [this] { PostMessageA(balloon.txtAnswer.hWnd(), WM_KEYDOWN, VK_RETURN, 0); }},
        {"Escape in the field", "escaped", [this] { PostMessageA(balloon.txtAnswer.hWnd(), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"closing the window", "closed", [this] { PostMessageA(balloon.hWnd(), WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        After(20, [&] {
            Type(c.typed);
            c.close();
        });
        const std::optional<std::string> answer = balloon.AskAndWait("Enter question", "!8BALL", "default");
        ASSERT_TRUE(answer.has_value()) << c.name;
        EXPECT_EQ(*answer, c.typed) << c.name;
        EXPECT_FALSE(balloon.Visible()) << c.name;
        EXPECT_TRUE(IsWindow(balloon.hWnd())) << c.name << ": the window stays for the next use";
    }
}

TEST_F(Balloon, AQuitRequestEndsTheWaitAndStaysForTheMainLoop) {
    After(20, [this] {
        Type("unfinished");
        PostQuitMessage(3);
    });
    EXPECT_EQ(balloon.AskAndWait("Question?"), "unfinished");
    EXPECT_TRUE(balloon.Visible());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Balloon, AMessageDuringTheQuestionEndsItWhenTheMessageCloses) {
    balloon.Timer1.SetInterval(60);
    bool controlsHidden = false;
    After(20, [&] {
        Type("abc");
        balloon.Say("Don't touch me!");
        controlsHidden = !balloon.txtAnswer.Visible() && !balloon.Command1.Visible() && balloon.Timer1.Enabled();
    });
    EXPECT_EQ(balloon.AskAndWait("Question?"), "abc");
    EXPECT_TRUE(controlsHidden);
    EXPECT_EQ(balloon.lblText.Caption, "Don't touch me!");
}

TEST_F(Balloon, ANestedAskReturnsFirstAndAMessageAfterItKeepsTheOuterWaiting) {
    std::vector<std::string> log;
    balloon.Timer1.SetInterval(60);
    After(20, [&] {
        After(20, [&] {
            Type("inner");
            PressOk();
        });
        log.push_back("inner asks");
        log.push_back("inner got " + balloon.AskAndWait("Second?").value_or("nothing"));
        balloon.Say("after");
        log.push_back("said");
    });
    const std::optional<std::string> outer = balloon.AskAndWait("First?");
    log.push_back("outer got " + outer.value_or("nothing"));

    EXPECT_EQ(log, (std::vector<std::string>{"inner asks", "inner got inner", "said", "outer got inner"}));
    // Only the message's timer could have hidden the balloon after the Say.
    EXPECT_FALSE(balloon.Visible());
    EXPECT_FALSE(balloon.Timer1.Enabled());
}

TEST_F(Balloon, FollowsTheSitterAndRepaintsOnlyWhenTheTailFlips) {
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    sitter.PlacePx(400, screenH / 4);
    balloon.Say("Hello");
    platform::DoEvents();
    ASSERT_EQ(balloon.TailAtTop, 1);

    struct Step {
        int topPx;
        int16_t tail;
        int repaints;
    };
    const Step steps[] = {
        {screenH * 3 / 4, 0, 1},       // into the lower half: flip
        {screenH * 3 / 4 + 20, 0, 0},  // within it: only a move
        {screenH / 2 - 60, 0, 0},      // straddling the midline: stays above
        {screenH / 4, 1, 1},           // back up: flip
        {screenH / 4 - 30, 1, 0},
    };
    for (const Step& s : steps) {
        sitter.PlacePx(400, s.topPx);
        const int before = balloon.paints;
        balloon.Adjust();
        EXPECT_EQ(balloon.TailAtTop, s.tail) << s.topPx;
        EXPECT_EQ(balloon.paints - before, s.repaints) << s.topPx;
        const RECT r = WindowPx();
        if (s.tail == 0) EXPECT_EQ(r.bottom, s.topPx) << "above: touching the character's top";
        else EXPECT_EQ(r.top, Px((s.topPx + 126) * tppY - 300, tppY));
        EXPECT_EQ(r.left, Px(400 * tppX - 3705 + 1000, tppX));
    }
}

TEST_F(Balloon, PrintsItsFaceWithTheTailTowardsTheSitter) {
    balloon.Say("Hello", "Caption");  // sitter in the upper half: tail on top
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(247, 129));
    SendMessageA(balloon.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.hDC()), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dib.hDC(), 180, 20), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(GetPixel(dib.hDC(), 160, 24), GetSysColor(COLOR_INFOTEXT));
    EXPECT_EQ(GetPixel(dib.hDC(), 5, 5), RGB(255, 0, 0));
}

}  // namespace
