#pragma once
// The yes/no oracle: one answer of a list, drawn at random.
#include <cstddef>
#include <optional>
#include <string>

// r × highest rounded to the nearest index, halves to even: the first and the last answer come half as
// often as the others.
size_t FortuneIndex(float r, size_t highest);

// The answer of `answerList` ("a|b|c") that a draw `r` in [0, 1) picks; nothing when the list is empty.
std::optional<std::string> PickFortune(const std::string& answerList, float r);

// One of the answers, drawn after reseeding the program's random generator from the clock.
std::optional<std::string> TellFortune(const std::string& answerList);
