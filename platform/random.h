#pragma once
// The program's one random generator, and the clock it is reseeded from.
namespace platform {

// Uniform in [0, 1), single precision.
float NextRandom();
// Starts the sequence anew from a seed. Until the first reseed every run draws the same sequence.
void ReseedRandom(double seed);

// Seconds since midnight of the local clock, with their fraction.
double SecondsSinceMidnight();

}  // namespace platform
