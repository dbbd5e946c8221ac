#include "commands/fortune.h"

#include <algorithm>

#include "platform/number.h"
#include "platform/random.h"
#include "platform/text.h"

size_t FortuneIndex(float r, size_t highest) {
    // The product in single precision, as the draw itself is.
    const int32_t index = platform::RoundHalfEvenToInt32(r * static_cast<float>(highest));
    return index < 0 ? 0 : std::min(static_cast<size_t>(index), highest);
}

std::optional<std::string> PickFortune(const std::string& answerList, float r) {
    const std::vector<std::string> answers = platform::Split(answerList, "|");
    if (answers.empty()) return std::nullopt;
    return answers[FortuneIndex(r, answers.size() - 1)];
}

std::optional<std::string> TellFortune(const std::string& answerList) {
    platform::ReseedRandom(platform::SecondsSinceMidnight());
    return PickFortune(answerList, platform::NextRandom());
}
