// Following the foreground window against a desktop of the test's own: which window is sat on, when the
// character moves and re-stacks. How events earn the poll's trust shows in what tracking asks for; which
// monitor's top counts, on two monitors end to end.
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
}

}  // namespace
