// Following the foreground window against a desktop of the test's own: which window is sat on, when the
// character moves and re-stacks, and which monitor's top counts. How events earn the poll's trust shows in
// what tracking asks for.
#include "sitter/follower.h"

#include <gtest/gtest.h>

#include "tests/support/desktop.h"

namespace {

using testing_support::Balloon;
using testing_support::Character;
using testing_support::Other;
using testing_support::Perch;
using testing_support::TestDesktop;

struct FollowerTest : ::testing::Test {
    // One step as the character takes it: it then stands where the step put it.
    Follower::Step Poll() { return Took(follower.OnPoll(Me(), now)); }
    std::optional<Follower::Step> Event(WindowEvents::Kind kind, HWND window) {
        auto step = follower.OnEvent(kind, window, Me(), now);
        if (step) Took(*step);
        return step;
    }
    Follower::Character Me() const { return {Character, Balloon, bounds, 0, {1380, {77, 126}, 15, 15}}; }
    Follower::Step Took(const Follower::Step& step) { return bounds = step.seat.bounds, step; }
    bool SeatedAt(LONG left, LONG top) const { const RECT seat{left, top, left + 77, top + 126}; return EqualRect(&bounds, &seat); }

    TestDesktop desktop;
    Follower follower{desktop};
    RECT bounds{-667, -667, -590, -541};
    uint64_t now = 0;  // milliseconds
};

using Restack = Follower::Restack;

TEST_F(FollowerTest, SitsOnTheForegroundKeepsItThroughItsOwnWindowsAndRestacksWhenNeeded) {
    // At a time, the window in the foreground, whether another window covers the character, where the window
    // sat on is (left, top) if it moved; then which window is sat on, whether that changed, and the re-stack.
    const struct { uint64_t at; HWND front; bool covered; POINT moved; HWND satOn; bool changed; Restack restack; const char* why; } steps[] = {
        {0, Perch, false, {}, Perch, true, Restack::BelowSatOnThenOnTop, "a new window in the foreground"},
        {10, Perch, false, {}, Perch, false, Restack::None, "a still desktop"},
        {190, nullptr, false, {}, Perch, false, Restack::None, "a moment without foreground"},
        {200, Perch, false, {}, Perch, false, Restack::BelowSatOnThenOnTop, "again once the window has been still a while"},
        {210, Character, false, {}, Perch, false, Restack::None, "the character clicked"},
        {220, Balloon, false, {}, Perch, false, Restack::None, "the balloon clicked"},
        {230, Perch, false, {}, Perch, false, Restack::BelowSatOnThenOnTop, "the window sat on back after the balloon"},
        {240, Perch, true, {}, Perch, false, Restack::OnTop, "someone else's window over the character"},
        {300, Perch, false, {150, 200}, Perch, true, Restack::None, "dragged"},
        {400, Perch, false, {120, 200}, Perch, true, Restack::None, "dragged on"},
        {599, Perch, false, {}, Perch, false, Restack::None, "held still, not long enough"},
        {600, Perch, false, {}, Perch, false, Restack::BelowSatOnThenOnTop, "at rest"},
        {700, Other, false, {}, Other, true, Restack::BelowSatOnThenOnTop, "another window"},
    };
    for (const auto& s : steps) {
        now = s.at, desktop.foreground = s.front, desktop.covered = s.covered;
        if (s.moved.x) desktop.frames[Perch] = RECT{s.moved.x, s.moved.y, s.moved.x + 500, s.moved.y + 400};
        const Follower::Step step = Poll();
        EXPECT_EQ(std::tuple(step.satOn, step.changed, step.restack), std::tuple(s.satOn, s.changed, s.restack)) << s.why;
    }
    EXPECT_TRUE(SeatedAt(623, 308));
    desktop.frames[Other] = RECT{};  // gone: nothing to sit on
    EXPECT_EQ(Poll().seat.bounds.left, -66667);
}

// Monitors above, left of and below the primary one: the top edge counts from the top of the window's own
// monitor, and a window that moves to another monitor has it asked for again.
TEST_F(FollowerTest, MeasuresTheTopEdgeFromTheWindowsOwnMonitor) {
    desktop.monitors = {{0, 0, 1280, 1024}, {0, -900, 1600, 0}, {-1920, 0, 0, 1080}, {-300, 1024, 1620, 2224}};
    desktop.foreground = Perch;
    // A window's top left corner, and whether the character is parked: the window's top edge less than 16
    // twips below its monitor's (maximised there, with its borders beyond it), or minimised far away.
    const struct { LONG left, top; bool parked; } cases[] = {
        {100, 1, true}, {100, 2, false}, {100, -900, true}, {100, -898, false}, {-1800, 1, true}, {-1800, 40, false},
        {0, 1025, true}, {0, 1026, false}, {-8, -8, true}, {-32000, -32000, true}};
    for (const auto& c : cases) {
        desktop.frames[Perch] = RECT{c.left, c.top, c.left + 500, c.top + 300};
        const int queries = desktop.monitorQueries;
        const RECT seat = Poll().seat.bounds;
        EXPECT_EQ(desktop.monitorQueries, queries + 1) << "asked again for the moved window";
        EXPECT_EQ(seat.left, c.parked ? -66667 : c.left + 500 - 77) << c.left << "," << c.top;
        EXPECT_EQ(seat.top, c.top - 92);
    }
}

}  // namespace
