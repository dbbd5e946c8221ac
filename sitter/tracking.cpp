// Following the foreground window: every tick takes it as the tracked window and seats the character on it.
#include "balloon/balloon.h"
#include "platform/desktop.h"
#include "platform/units.h"
#include "sitter/frame_bounds.h"
#include "sitter/seat.h"
#include "sitter/sitter_window.h"

void SitterWindow::OnTrackTick() {
    HWND foreground = platform::ForegroundWindow();
    // The character and its balloon are never sat on: clicking them keeps the window sat on before. Nor is
    // the moment of a switch without any foreground window.
    if (!foreground || foreground == hwnd() || foreground == balloon().hwnd()) foreground = tracked_;
    tracked_ = foreground;
    Resit();
}

void SitterWindow::Resit() {
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    const Seat seat = SeatOn(VisibleFrame(tracked_), platform::MonitorOfWindow(tracked_).top, distance_, Metrics());
    mirrored_ = seat.mirrored;
    MoveCharacter(seat.bounds.left, seat.bounds.top);
    balloon().FollowCharacter(bounds_);
}

SeatMetrics SitterWindow::Metrics() const {
    const platform::Dpi dpi = platform::SystemDpi();
    return SeatMetrics{buttHeightTwips_, SIZE{pictures_.base.Width(), pictures_.base.Height()},
                       platform::TwipsPerPixelAt(dpi.x), platform::TwipsPerPixelAt(dpi.y)};
}
