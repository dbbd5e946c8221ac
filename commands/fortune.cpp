#include "commands/fortune.h"

#include <windows.h>

#include "platform/host.h"
#include "platform/number.h"
#include "platform/random.h"
#include "resource_ids.h"
#include "sitter/frmSitter.h"

size_t FortuneIndex(float r, size_t highest) {
    // The product in single precision, as the draw itself is.
    const float product = r * static_cast<float>(highest);
    const int32_t index = platform::RoundToLong(product);
    return index < 0 ? 0 : std::min(static_cast<size_t>(index), highest);
}

double SecondsSinceMidnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void frmSitter::mnu8Ball_Click() {
    Ask("Enter question", "!8BALL", "");  // the question itself does not matter
    const std::vector<std::string> answers = Split(platform::LoadResString(IDS_FORTUNES), "|");
    if (answers.empty()) return;
    platform::Randomize(SecondsSinceMidnight());
    const float r = platform::Rnd();
    Say(answers[FortuneIndex(r, answers.size() - 1)], "!8BALL");
}
