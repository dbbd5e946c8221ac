#pragma once
// Keeps the character on the foreground window: where its window is and whether it is drawn mirrored, the
// window events it listens to and how often it polls for what they miss, and the pauses that commands hold
// while their menus and dialogs are open. The character's window asks it where to be; the balloon is placed
// beside it from here.
#include <windows.h>

#include <cstdint>
#include <utility>

#include "balloon/placement.h"
#include "sitter/follower.h"
#include "sitter/seat.h"
#include "sitter/window_events.h"

class Balloon;

class Tracking {
public:
    // What tracking asks of the character every time it looks: how far along the edge it sits, its Size and
    // the seat's measures at its scale.
    struct Footing {
        int32_t distance;
        int sizePercent;
        SeatMetrics metrics;
    };
    // The character's side: the program's window, or a test's stand-in.
    class Client {
    public:
        virtual HWND CharacterWindow() const = 0;
        virtual Footing FootingNow() const = 0;
        // Now drawn the other way round.
        virtual void MirroringChanged() = 0;
        // Look again `ms` from now, and every `ms` after; 0: not until told otherwise.
        virtual void PollEvery(unsigned ms) = 0;

    protected:
        ~Client() = default;
    };

    // Held while a menu, a dialog or a question is open: no following until the last one is gone.
    class [[nodiscard]] Pause {
    public:
        Pause(Pause&& other) noexcept : tracking_(std::exchange(other.tracking_, nullptr)) {}
        Pause& operator=(Pause&&) = delete;
        ~Pause();

    private:
        friend class Tracking;
        explicit Pause(Tracking& tracking) : tracking_(&tracking) {}
        Tracking* tracking_;
    };

    // Listens for window events through `hook`, seats the character on the window in front now, and asks for
    // the first poll. `mirrored` is how the character was drawn until now. `client` and `balloon` outlive this.
    Tracking(Client& client, Balloon& balloon, bool mirrored, const Desktop& desktop = SystemDesktop::Instance(),
             WindowEvents::Hooker hook = WindowEvents::SystemHook);
    Tracking(const Tracking&) = delete;
    Tracking& operator=(const Tracking&) = delete;

    // The poll the client was asked for is due.
    void OnPoll();
    Pause Paused();
    bool IsPaused() const { return pauses_ > 0; }
    // Out of sight while a dialog shows the character elsewhere; it comes back at the next look.
    void ParkOutOfSight();
    // The character's size changed: seated anew at once, or, while paused, grown from where it stands.
    void Resize();
    // The monitors may have changed: measured anew at the next look.
    void Remeasure() { follower_.Remeasure(); }

    RECT Bounds() const { return bounds_; }
    bool Mirrored() const { return mirrored_; }
    // Where the balloon finds the character.
    CharacterPlace Place() const;

private:
    void OnEvent(WindowEvents::Kind kind, HWND window);
    void Look();
    void Take(const Follower::Step& step);
    void MoveTo(const RECT& bounds);
    Follower::Character AsFollowed(const Footing& footing) const;
    void AskForPoll(unsigned ms);

    Client& client_;
    Balloon& balloon_;
    Follower follower_;
    RECT bounds_{};
    bool mirrored_ = false;
    int pauses_ = 0;
    unsigned pollMs_ = 0;  // what the client was last asked for
    WindowEvents events_;  // last: its handler may run once it is made
};
