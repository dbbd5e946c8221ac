#pragma once
// Number rules shared by the whole program.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Blanks are ignored anywhere; the longest leading decimal number (sign, digits, point, exponent) is read;
// a text that does not begin with one reads as 0.
double ReadNumber(std::string_view text);

// The number of a metric string ("Butt height: 92"): read from just after the first colon, or nothing when
// there is no colon. A number ends at any further colon, so the label is free and what follows is ignored.
std::optional<double> MetricValue(std::string_view text);

// The whole text (blanks around it allowed) as a decimal number, or nothing: what a conversion of
// numeric text accepts.
std::optional<double> ParseNumericText(std::string_view text);

// Round to nearest, halves to even; raises Overflow (6) outside the target's range.
int32_t RoundHalfEvenToInt32(double value);
int16_t RoundHalfEvenToInt16(double value);

// Round to nearest, halves to even, clamped to the 32-bit range instead of raising.
int32_t RoundHalfEvenClampedToInt32(double value);

}  // namespace platform
