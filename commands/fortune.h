#pragma once
// The yes/no oracle: one answer of a list, drawn at random.
#include <cstddef>
#include <optional>
#include <string>

// r × highest rounded to the nearest index, halves to even: the first and the last answer come half as
// often as the others.
size_t FortuneIndex(float r, size_t highest);

// One of the answers of `answerList` ("a|b|c"), after reseeding the program's random generator from the
// clock; nothing when the list is empty.
std::optional<std::string> TellFortune(const std::string& answerList);
