#include "platform/random.h"

#include <cstring>
#include <random>

namespace platform {
namespace {

std::mt19937& Generator() {
    // Unseeded until the first Randomize: a run's first draws are the same in every run.
    static std::mt19937 generator;
    return generator;
}

}  // namespace

float Rnd() {
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    float r = uniform(Generator());
    // Some standard libraries can round up to exactly 1.0f.
    return r < 1.0f ? r : 0.0f;
}

void Randomize(double seed) {
    // Every bit of the seed counts, its fraction included.
    unsigned long long bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    std::seed_seq sequence{static_cast<unsigned>(bits), static_cast<unsigned>(bits >> 32)};
    Generator().seed(sequence);
}

}  // namespace platform
