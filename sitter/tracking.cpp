// Following the foreground window: the character sits on it, and moves, re-stacks and takes the balloon
// along only when something changed. Window events tell of changes at once where the system delivers
// them; until they have proved that they do, a poll every tick looks for changes itself.
#include "balloon/balloon.h"
#include "platform/desktop.h"
#include "platform/units.h"
#include "sitter/frame_bounds.h"
#include "sitter/seat.h"
#include "sitter/sitter_window.h"

namespace {

constexpr UINT Restack = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

}  // namespace

bool SitterWindow::Track() {
    HWND foreground = platform::ForegroundWindow();
    const bool newForeground = foreground != lastForeground_;
    lastForeground_ = foreground;
    // The character and its balloon are never sat on: clicking them keeps the window sat on before. Nor is
    // the moment of a switch without any foreground window.
    const bool ours = !foreground || foreground == hwnd() || (balloon_ && foreground == balloon_->hwnd());
    if (ours) foreground = tracked_;
    const bool switched = foreground != tracked_;
    tracked_ = foreground;
    const RECT frame = VisibleFrame(tracked_);
    if (switched || !EqualRect(&frame, &trackedFrame_)) {
        trackedFrame_ = frame;
        monitorTop_ = platform::MonitorOfWindow(tracked_).top;
    }

    if (newForeground && !ours) {
        // Some window systems draw a newly activated window over a topmost one, and ignore a topmost window
        // stacked again where it already is: so it goes below the new window first, then on top. That holds
        // for the window sat on too, when it comes back to the foreground after the character.
        SetWindowPos(hwnd(), tracked_, 0, 0, 0, 0, Restack);
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, Restack);
    } else if (IsCovered()) {
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, Restack);
    }

    const Seat seat = SeatOn(trackedFrame_, monitorTop_, distance_, Metrics());
    if (seat.mirrored != mirrored_) {
        mirrored_ = seat.mirrored;
        ShowFrameInWindow();
    }
    const bool moved = !EqualRect(&seat.bounds, &bounds_);
    if (moved) {
        MoveCharacter(seat.bounds.left, seat.bounds.top);
        if (balloon_) balloon_->FollowCharacter(bounds_);
    }
    return switched || moved;
}

// Another window over the character: one of its own topmost kind, or anything the system put there.
bool SitterWindow::IsCovered() const {
    for (HWND above = GetWindow(hwnd(), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT r{}, overlap{};
        if (IsWindowVisible(above) && GetWindowRect(above, &r) && IntersectRect(&overlap, &r, &bounds_)) return true;
    }
    return false;
}

void SitterWindow::OnTrackTick() {
    // A change the poll finds first is one the events missed: the poll goes back to every tick.
    if (Track() && eventsSeen_ > 0) {
        eventsSeen_ = 0;
        trackingTimer_.SetInterval(TrackIntervalMs);
    }
}

void SitterWindow::OnWindowEvent(WindowEvents::Kind kind, HWND window) {
    if (!trackingTimer_.IsEnabled()) return;  // paused while the menu or the distance dialog is open
    if (kind == WindowEvents::Kind::Moved && window != tracked_) return;
    if (Track() && eventsSeen_ < EventsToTrust && ++eventsSeen_ == EventsToTrust)
        trackingTimer_.SetInterval(EventCheckIntervalMs);
}

SeatMetrics SitterWindow::Metrics() const {
    const platform::Dpi dpi = platform::SystemDpi();
    return SeatMetrics{buttHeightTwips_, SIZE{pictures_.base.Width(), pictures_.base.Height()},
                       platform::TwipsPerPixelAt(dpi.x), platform::TwipsPerPixelAt(dpi.y)};
}
