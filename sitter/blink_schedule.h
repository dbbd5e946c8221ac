#pragma once
// The blink and the cat sounds, counted in periods of 25 ms since the character's window was made: a blink
// once every 201 periods (half-closed, closed, half-closed), and while Catgirl is worn a cat sound every
// 500th period. Periods are counted from the time, so a late timer never slows the cycle down.
#include <cstdint>
#include <string>

enum class BlinkPhase { Open, HalfClosed, Closed };

class BlinkSchedule {
public:
    static constexpr unsigned PeriodMs = 25;
    static constexpr int32_t Cycle = 201;
    static constexpr int32_t MewEvery = 500;

    struct Change {
        bool phaseChanged = false;
        bool mewDue = false;
    };

    // Counts the periods that have ended by `elapsedMs`; `mewing` while Catgirl is worn, which alone
    // counts towards a cat sound.
    Change AdvanceTo(uint64_t elapsedMs, bool mewing);
    BlinkPhase Phase() const;
    // Milliseconds from `elapsedMs` to the end of the next period that changes the phase or, `mewing`,
    // brings a cat sound; at least 1.
    unsigned MsToNextChange(uint64_t elapsedMs, bool mewing) const;

private:
    int32_t blinkCount_ = 0;  // 1 to 200 within the cycle, 0 at its end
    int32_t mewCount_ = 0;
    int64_t periodsCounted_ = 0;
};

// The cat sound a draw `r` in [0, 1) picks: floor(r x 5) of "Mew! Mrowrl... *purr* Mewl! Meow! ....mreew?",
// one of the first five and never the last.
std::string CatSound(float r);
