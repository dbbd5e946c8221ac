#include "sitter/tracking.h"

#include "balloon/balloon.h"
#include "platform/desktop.h"

namespace {

// Never with the foreground: the user's window keeps it whatever the character does.
constexpr UINT Quietly = SWP_NOACTIVATE | SWP_NOOWNERZORDER;

}  // namespace

Tracking::Pause::~Pause() {
    if (tracking_ && --tracking_->pauses_ == 0) tracking_->Look();  // catches up with what it missed
}

Tracking::Tracking(Client& client, Balloon& balloon, bool mirrored, const Desktop& desktop, WindowEvents::Hooker hook)
    : client_(client), balloon_(balloon), follower_(desktop), mirrored_(mirrored),
      events_([this](WindowEvents::Kind kind, HWND window) { OnEvent(kind, window); }, std::move(hook)) {
    const SeatMetrics metrics = client_.FootingNow().metrics;
    const POINT parked = ParkedOutside(platform::VirtualScreen(), metrics);
    MoveTo(RECT{parked.x, parked.y, parked.x + metrics.framePx.cx, parked.y + metrics.framePx.cy});
    Look();
}

CharacterPlace Tracking::Place() const {
    return CharacterPlace{bounds_, client_.FootingNow().sizePercent, client_.CharacterWindow()};
}

Follower::Character Tracking::AsFollowed(const Footing& footing) const {
    return Follower::Character{client_.CharacterWindow(), balloon_.hwnd(), bounds_, footing.distance, footing.metrics};
}

void Tracking::OnPoll() {
    if (!IsPaused()) Look();
}

void Tracking::OnEvent(WindowEvents::Kind kind, HWND window) {
    if (IsPaused()) return;  // the look after the last pause catches up
    if (const std::optional<Follower::Step> step = follower_.OnEvent(kind, window, AsFollowed(client_.FootingNow()), GetTickCount64()))
        Take(*step);
}

void Tracking::Look() { Take(follower_.OnPoll(AsFollowed(client_.FootingNow()), GetTickCount64())); }

void Tracking::Take(const Follower::Step& step) {
    events_.Follow(step.satOn);
    HWND window = client_.CharacterWindow();
    switch (step.restack) {
        case Follower::Restack::BelowSatOnThenOnTop:
            SetWindowPos(window, step.satOn, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | Quietly);
            [[fallthrough]];
        case Follower::Restack::OnTop: SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | Quietly); break;
        case Follower::Restack::None: break;
    }
    if (step.seat.mirrored != mirrored_) {
        mirrored_ = step.seat.mirrored;
        client_.MirroringChanged();
    }
    if (!EqualRect(&step.seat.bounds, &bounds_)) MoveTo(step.seat.bounds);
    AskForPoll(follower_.PollIntervalMs());
}

void Tracking::MoveTo(const RECT& bounds) {
    bounds_ = bounds;
    SetWindowPos(client_.CharacterWindow(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | Quietly);
    if (balloon_.IsCreated()) balloon_.FollowCharacter(Place());
}

void Tracking::AskForPoll(unsigned ms) {
    if (ms == pollMs_) return;
    pollMs_ = ms;
    client_.PollEvery(ms);
}

Tracking::Pause Tracking::Paused() {
    if (pauses_++ == 0) AskForPoll(0);
    return Pause(*this);
}

void Tracking::ParkOutOfSight() {
    const SeatMetrics metrics = client_.FootingNow().metrics;
    const LONG left = ParkedOutside(platform::VirtualScreen(), metrics).x;
    bounds_ = RECT{left, bounds_.top, left + metrics.framePx.cx, bounds_.top + metrics.framePx.cy};
    SetWindowPos(client_.CharacterWindow(), nullptr, bounds_.left, bounds_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | Quietly);
}

void Tracking::Resize() {
    const SIZE frame = client_.FootingNow().metrics.framePx;
    MoveTo(RECT{bounds_.left, bounds_.top, bounds_.left + frame.cx, bounds_.top + frame.cy});
    if (!IsPaused()) Look();
}
