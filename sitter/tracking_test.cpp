// Following the foreground window: which window is sat on, when the character moves or re-stacks, and how
// window events take over from the poll.
#include <gtest/gtest.h>

#include "balloon/balloon.h"
#include "platform/host.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"

namespace {

// Counts the moves and re-stacks that reach the character's window.
int positionChanges = 0;
HWND watched = nullptr;
LRESULT CALLBACK CountPositionChanges(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == watched && message->message == WM_WINDOWPOSCHANGING) ++positionChanges;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Tracking : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
        platform::Host host;
        host.foregroundWindow = [this] { return foreground; };
        injected.emplace(std::move(host));
        sitter.Create();
        watched = sitter.hwnd();
        hook = SetWindowsHookExA(WH_CALLWNDPROC, &CountPositionChanges, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        DestroyWindow(perch);
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    }
    bool SeatedAt(RECT expected) {
        const RECT at = sitter.Bounds();
        return EqualRect(&at, &expected);
    }
    static void Feed(DWORD event, HWND window) { WindowEvents::Deliver(nullptr, event, window, OBJID_WINDOW, CHILDID_SELF, 0, 0); }

    HWND foreground = nullptr;
    std::optional<platform::HostOverride> injected;
    SitterWindow sitter;
    HWND perch = CreateWindowExA(0, "STATIC", "perch", WS_POPUP | WS_VISIBLE, 100, 200, 500, 400, nullptr, nullptr, nullptr, nullptr);
    HHOOK hook = nullptr;
};

TEST_F(Tracking, KeepsItsWindowThroughTheCharacterItselfAndAMomentWithoutForeground) {
    // What is in the foreground at the tick; the character stays on the perch throughout.
    for (HWND front : {perch, HWND{}, sitter.hwnd(), sitter.balloon().hwnd(), HWND{}}) {
        foreground = front;
        sitter.OnTrackTick();
        EXPECT_EQ(sitter.TrackedWindow(), perch);
        EXPECT_TRUE(SeatedAt({523, 108, 600, 234}));
    }
}

TEST_F(Tracking, MovesAndRestacksOnlyWhenSomethingChanged) {
    foreground = perch;
    sitter.OnTrackTick();
    positionChanges = 0;
    for (int i = 0; i < 20; ++i) sitter.OnTrackTick();
    EXPECT_EQ(positionChanges, 0) << "a still desktop costs no moves";
    // The window sat on comes back to the foreground after the character: stacked anew, not moved.
    for (HWND front : {sitter.hwnd(), perch}) foreground = front, sitter.OnTrackTick();
    EXPECT_GT(positionChanges, 0);
    EXPECT_TRUE(SeatedAt({523, 108, 600, 234}));
    SetWindowPos(perch, nullptr, 150, 350, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    sitter.OnTrackTick();
    EXPECT_TRUE(SeatedAt({573, 258, 650, 384})) << "followed within the tick";
    // A topmost window of someone else's over the character: back on top within the tick.
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE, 560, 250, 60, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(GetWindow(sitter.hwnd(), GW_HWNDPREV), cover);
    sitter.OnTrackTick();
    HWND above = GetWindow(sitter.hwnd(), GW_HWNDPREV);
    EXPECT_TRUE(above == nullptr || !IsWindowVisible(above)) << "nothing shown above the character";
    DestroyWindow(cover);
}

TEST_F(Tracking, EventsTakeOverFromThePollOnceTheyProveThemselvesAndHandBackWhenTheyMissOne) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 300, 400, 400, 200, nullptr, nullptr, nullptr, nullptr);
    foreground = perch;
    Feed(EVENT_SYSTEM_FOREGROUND, perch);
    EXPECT_TRUE(SeatedAt({523, 108, 600, 234})) << "seated at the event, no tick needed";
    SetWindowPos(other, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    Feed(EVENT_OBJECT_LOCATIONCHANGE, other);  // some other window moved: nothing to do
    EXPECT_FALSE(sitter.FollowsEvents());
    SetWindowPos(perch, nullptr, 150, 350, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Feed(EVENT_OBJECT_LOCATIONCHANGE, perch);
    EXPECT_TRUE(SeatedAt({573, 258, 650, 384}));
    EXPECT_TRUE(sitter.FollowsEvents());
    EXPECT_EQ(sitter.TrackingTimer().Interval(), SitterWindow::EventCheckIntervalMs) << "the poll only checks now";
    // A move no event told of: the poll finds it and polls every tick again.
    SetWindowPos(perch, nullptr, 100, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    sitter.OnTrackTick();
    EXPECT_TRUE(SeatedAt({523, 108, 600, 234}));
    EXPECT_FALSE(sitter.FollowsEvents());
    EXPECT_EQ(sitter.TrackingTimer().Interval(), SitterWindow::TrackIntervalMs);
    DestroyWindow(other);
}

}  // namespace
