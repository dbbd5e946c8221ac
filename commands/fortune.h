#pragma once
// The yes/no oracle's choice of answer.
#include <cstddef>

// r × highest rounded to the nearest index, halves to even: the first and the last answer come half as
// often as the others.
size_t FortuneIndex(float r, size_t highest);

// Seconds since midnight of the local clock, with their fraction: the oracle's seed.
double SecondsSinceMidnight();
