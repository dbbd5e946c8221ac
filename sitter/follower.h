#pragma once
// Following the foreground window: which window the character sits on, where its window goes, and when it
// must be stacked on top again. Window events tell of changes at once where the system delivers them; until
// they have proved that they do, the character polls every tick.
#include <windows.h>

#include <optional>

#include "sitter/seat.h"
#include "sitter/window_events.h"

// What the follower asks of the desktop. The program asks the system; tests answer for it.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual HWND Foreground() const = 0;
    // The window's visible frame on the screen, all zeros for a window that is gone.
    virtual RECT FrameOf(HWND window) const = 0;
    // The monitor that holds the window.
    virtual RECT MonitorOf(HWND window) const = 0;
    // Whether a visible window above `window` covers part of `area`.
    virtual bool IsCovered(HWND window, const RECT& area) const = 0;
};

class SystemDesktop final : public Desktop {
public:
    static const SystemDesktop& Instance();
    HWND Foreground() const override;
    RECT FrameOf(HWND window) const override;
    RECT MonitorOf(HWND window) const override;
    bool IsCovered(HWND window, const RECT& area) const override;
};

class Follower {
public:
    static constexpr unsigned PollMs = 10;
    // Once events are trusted, the poll only checks that none went missing: twice a second.
    static constexpr unsigned CheckMs = 500;

    // Where the character is and what it knows of itself.
    struct Character {
        HWND window;
        HWND balloon;  // 0 while there is none
        RECT bounds;   // where its window is now
        int32_t distance;
        SeatMetrics metrics;
    };
    enum class Restack {
        None,
        OnTop,
        // Some window systems draw a newly activated window over a topmost one, and ignore a topmost window
        // stacked again where it already is: so the character goes below that window first, then on top.
        BelowSatOnThenOnTop,
    };
    // Some window systems (Wine's) raise a window they activated, moved or restored once more a moment later,
    // over the character: so once the window sat on has been still this long, the character re-stacks again.
    static constexpr uint64_t SettleMs = 200;
    struct Step {
        bool changed = false;  // another window sat on, or the character moved
        HWND satOn = nullptr;
        Seat seat{};
        Restack restack = Restack::None;
    };

    explicit Follower(const Desktop& desktop) : desktop_(desktop) {}

    // `nowMs` is the time of the look, on any clock that counts milliseconds.
    Step OnPoll(const Character& character, uint64_t nowMs);
    // An event of the window system; nothing when it concerns no window that matters.
    std::optional<Step> OnEvent(WindowEvents::Kind kind, HWND window, const Character& character, uint64_t nowMs);
    unsigned PollIntervalMs() const { return eventsSeen_ >= EventsToTrust ? CheckMs : PollMs; }
    HWND SatOn() const { return satOn_; }
    // The monitors may have changed: the frame is measured anew at the next look.
    void Remeasure() { frame_ = RECT{}; }

private:
    static constexpr int EventsToTrust = 2;

    Step Look(const Character& character, uint64_t nowMs);

    const Desktop& desktop_;
    HWND satOn_ = nullptr;
    HWND lastForeground_ = nullptr;  // as the system said, before the character's own windows are left out
    RECT frame_{};                   // the visible frame of the window sat on, as last seen
    int32_t monitorTop_ = 0;         // the top of its monitor
    int eventsSeen_ = 0;             // changes that events told of before the poll saw them
    std::optional<uint64_t> settleAt_;  // when to re-stack once more, the window sat on still until then
};
