// Tracking against a desktop of the test's own and events fed as the system delivers them: the poll it asks
// for, the events it heeds, its pauses, a display change and a monitor of another scale.
#include "sitter/tracking.h"

#include <gtest/gtest.h>

#include <vector>

#include "balloon/balloon.h"
#include "platform/window.h"
#include "tests/support/desktop.h"

namespace {

using testing_support::Perch;
using testing_support::TestDesktop;

struct TrackingTest : ::testing::Test, Tracking::Client {
    HWND CharacterWindow() const override { return testing_support::Character; }
    // The character at 96 DPI, or at 192 on a monitor of that scale.
    Tracking::Footing FootingNow() const override {
        return dpi == 96 ? Tracking::Footing{0, 100, {1380, {77, 126}, 15, 15}} : Tracking::Footing{0, 100, {1380, {154, 252}, 7.5, 7.5}};
    }
    void MirroringChanged() override {}
    void PollEvery(unsigned ms) override { polls.push_back(ms); }

    // A window moved to `left` and the system told of it, about the window itself or one of its parts.
    void Moved(LONG left, LONG object = OBJID_WINDOW, HWND window = Perch, DWORD event = EVENT_OBJECT_LOCATIONCHANGE) {
        desktop.frames[window] = RECT{left, 200, left + 500, 600};
        WindowEvents::Deliver(nullptr, event, window, object, CHILDID_SELF, 0, 0);
    }
    bool SeatedAt(LONG left, LONG top = 108) const {
        const RECT seat{left, top, left + 77, top + 126}, at = tracking->Bounds();
        return EqualRect(&at, &seat);
    }

    TestDesktop desktop;  // the perch in front
    int dpi = 96;
    std::vector<unsigned> polls;  // every interval asked for, in order
    platform::Owned<Balloon> balloon;
    std::optional<Tracking> tracking{std::in_place, *this, balloon, false, desktop,
                                     [](DWORD, DWORD, DWORD, DWORD) { return HWINEVENTHOOK{}; }};
};

// Seated on the window in front from the start; the poll goes every tick until events have told of two
// changes, then checks twice a second, and stops while paused.
TEST_F(TrackingTest, AppliesThePollItAsksForAndStopsItWhilePaused) {
    EXPECT_TRUE(SeatedAt(523));
    Moved(150);
    EXPECT_EQ(polls.back(), 10u) << "one event is not enough to trust them";
    Moved(170, OBJID_WINDOW, Perch, EVENT_OBJECT_REORDER);  // raised, too
    EXPECT_TRUE(SeatedAt(593));
    tracking->OnPoll();  // the check finds nothing new
    desktop.frames[Perch] = RECT{100, 200, 600, 600};
    tracking->OnPoll();  // a move no event told of
    EXPECT_TRUE(SeatedAt(523));
    { const Tracking::Pause pause = tracking->Paused(); }
    EXPECT_EQ(polls, (std::vector<unsigned>{10, 500, 10, 0, 10}));
}

TEST_F(TrackingTest, HeedsMovesOfTheWindowSatOnAloneNotOfItsCaretThePointerOrAnotherWindow) {
    const int looks = desktop.foregroundQueries;
    Moved(300, OBJID_WINDOW, testing_support::Other);
    for (const LONG object : {OBJID_CARET, OBJID_CURSOR}) Moved(150, object);
    EXPECT_TRUE(SeatedAt(523));
    EXPECT_EQ(desktop.foregroundQueries, looks);
    Moved(150);
    EXPECT_TRUE(SeatedAt(573));
}

// A menu and a dialog over it: whatever happens meanwhile, one look once both are gone, and none before.
TEST_F(TrackingTest, IgnoresEventsWhilePausedAndCatchesUpOnceAfterTheLastPause) {
    std::optional<Tracking::Pause> dialog{tracking->Paused()}, menu{tracking->Paused()};
    const int looks = desktop.foregroundQueries;
    Moved(150);
    tracking->OnPoll();  // a tick already on its way
    menu.reset();
    EXPECT_TRUE(SeatedAt(523));
    EXPECT_EQ(desktop.foregroundQueries, looks) << "no look while the dialog is open";
    dialog.reset();
    EXPECT_TRUE(SeatedAt(573));
    EXPECT_EQ(desktop.foregroundQueries, looks + 1);
}

// The perch near the top of its monitor; a monitor above moves down over it: after a display change the
// character parks, as the perch is maximised there now.
TEST_F(TrackingTest, ADisplayChangeMeasuresTheMonitorsAnew) {
    desktop.frames[Perch] = RECT{100, 20, 600, 600};
    tracking->OnPoll();
    EXPECT_TRUE(SeatedAt(523, -72));
    desktop.monitors = {{0, 19, 1280, 1043}};
    tracking->OnPoll();
    EXPECT_TRUE(SeatedAt(523, -72)) << "the monitors are measured when the window moves, not at every look";
    tracking->Remeasure();
    tracking->OnPoll();
    EXPECT_EQ(tracking->Bounds().left, -66667) << "parked";
}

// The window sat on moved to a monitor of twice the scale, and the character's window with it: drawn twice
// as large, it sits on the same edge again, 184 pixels above it.
TEST_F(TrackingTest, SitsAnewAtTheSizeOfAMonitorOfAnotherScale) {
    dpi = 192;
    tracking->Resize();
    const RECT at = tracking->Bounds();
    EXPECT_EQ(std::tuple(at.left, at.top, at.right, at.bottom), std::tuple(446L, 16L, 600L, 268L));
}

}  // namespace
