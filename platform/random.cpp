#include "platform/random.h"

#include <windows.h>

#include <cstring>
#include <random>

namespace platform {
namespace {

std::mt19937& Generator() {
    static std::mt19937 generator;
    return generator;
}

}  // namespace

float NextRandom() {
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    const float r = uniform(Generator());
    // Some standard libraries can round up to exactly 1.0f.
    return r < 1.0f ? r : 0.0f;
}

void ReseedRandom(double seed) {
    // Every bit of the seed counts, its fraction included.
    unsigned long long bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    std::seed_seq sequence{static_cast<unsigned>(bits), static_cast<unsigned>(bits >> 32)};
    Generator().seed(sequence);
}

double SecondsSinceMidnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

}  // namespace platform
