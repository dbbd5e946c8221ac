#include "sitter/follower.h"

#include "platform/desktop.h"

const SystemDesktop& SystemDesktop::Instance() {
    static const SystemDesktop desktop;
    return desktop;
}

HWND SystemDesktop::Foreground() const { return GetForegroundWindow(); }
RECT SystemDesktop::FrameOf(HWND window) const { return platform::VisibleFrame(window); }
RECT SystemDesktop::MonitorOf(HWND window) const { return platform::MonitorOfWindow(window); }
bool SystemDesktop::IsCovered(HWND window, const RECT& area) const { return platform::IsOverlappedFromAbove(window, area); }

Follower::Step Follower::Look(const Character& character, uint64_t nowMs) {
    HWND foreground = desktop_.Foreground();
    const bool newForeground = foreground != lastForeground_;
    lastForeground_ = foreground;
    // The character and its balloon are never sat on: clicking them keeps the window sat on before. Nor is
    // the moment of a switch without any foreground window.
    const bool ours = !foreground || foreground == character.window || (character.balloon && foreground == character.balloon);
    if (ours) foreground = satOn_;
    const bool switched = foreground != satOn_;
    satOn_ = foreground;
    const RECT frame = desktop_.FrameOf(satOn_);
    const bool frameChanged = !EqualRect(&frame, &frame_);
    if (switched || frameChanged) {
        frame_ = frame;
        monitorTop_ = desktop_.MonitorOf(satOn_).top;
    }
    const bool cameForward = newForeground && !ours;
    if (cameForward || switched || frameChanged) settleAt_ = nowMs + SettleMs;

    Step step;
    step.satOn = satOn_;
    step.seat = SeatOn(frame_, monitorTop_, character.distance, character.metrics);
    step.changed = switched || !EqualRect(&step.seat.bounds, &character.bounds);
    // The window sat on counts too when it comes back to the foreground after the character.
    if (cameForward) {
        step.restack = Restack::BelowSatOnThenOnTop;
    } else if (settleAt_ && nowMs >= *settleAt_) {
        settleAt_.reset();
        if (satOn_) step.restack = Restack::BelowSatOnThenOnTop;
    } else if (desktop_.IsCovered(character.window, step.seat.bounds)) {
        step.restack = Restack::OnTop;
    }
    return step;
}

Follower::Step Follower::OnPoll(const Character& character, uint64_t nowMs) {
    const Step step = Look(character, nowMs);
    // A change the poll finds first is one the events missed: the poll goes back to every tick.
    if (step.changed) eventsSeen_ = 0;
    return step;
}

std::optional<Follower::Step> Follower::OnEvent(WindowEvents::Kind kind, HWND window, const Character& character,
                                                uint64_t nowMs) {
    if (kind == WindowEvents::Kind::Moved && window != satOn_) return std::nullopt;
    const Step step = Look(character, nowMs);
    if (step.changed && eventsSeen_ < EventsToTrust) ++eventsSeen_;
    return step;
}
