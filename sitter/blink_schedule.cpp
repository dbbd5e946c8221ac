#include "sitter/blink_schedule.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace {

BlinkPhase PhaseAt(int32_t count) {
    if (count == 101 || count == 102 || count == 115 || count == 116) return BlinkPhase::HalfClosed;
    return count >= 103 && count <= 114 ? BlinkPhase::Closed : BlinkPhase::Open;
}

}  // namespace

BlinkPhase BlinkSchedule::Phase() const { return PhaseAt(blinkCount_); }

BlinkSchedule::Change BlinkSchedule::AdvanceTo(uint64_t elapsedMs, bool mewing) {
    const auto due = static_cast<int64_t>(elapsedMs / PeriodMs);
    Change change;
    if (due <= periodsCounted_) return change;
    const BlinkPhase before = Phase();
    // Only the place in the cycle matters: a long sleep (a suspended machine) costs no long loop.
    const int64_t periods = due - periodsCounted_;
    periodsCounted_ = due;
    blinkCount_ = static_cast<int32_t>((blinkCount_ + periods) % Cycle);
    if (mewing) {
        change.mewDue = mewCount_ + periods >= MewEvery;
        mewCount_ = static_cast<int32_t>((mewCount_ + periods) % MewEvery);
    }
    change.phaseChanged = Phase() != before;
    return change;
}

unsigned BlinkSchedule::MsToNextChange(uint64_t elapsedMs, bool mewing) const {
    const BlinkPhase shown = Phase();
    int32_t ahead = 1;
    while (ahead < Cycle && PhaseAt((blinkCount_ + ahead) % Cycle) == shown) ++ahead;
    if (mewing) ahead = std::min(ahead, MewEvery - mewCount_);
    const uint64_t due = static_cast<uint64_t>(periodsCounted_ + ahead) * PeriodMs;
    return due > elapsedMs ? static_cast<unsigned>(due - elapsedMs) : 1;
}

std::string CatSound(float r) {
    static const std::vector<std::string> sounds = platform::Split("Mew! Mrowrl... *purr* Mewl! Meow! ....mreew?", " ");
    const auto pick = static_cast<size_t>(r * static_cast<float>(sounds.size() - 1));
    return sounds[std::min(pick, sounds.size() - 2)];
}
