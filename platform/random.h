#pragma once
// The program's one random generator: uniform single-precision values in [0, 1).
namespace platform {

float Rnd();
// Starts the sequence anew from a seed (the fortune command uses the seconds since midnight).
void Randomize(double seed);

}  // namespace platform
