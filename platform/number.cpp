#include "platform/number.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/error.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Length of the longest prefix of `s` that forms a decimal number, 0 when none does.
size_t NumberPrefix(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        size_t fraction = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++fraction;
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t exponent = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++exponent;
        if (exponent > 0) i = j;
    }
    return i;
}

double ToDouble(std::string_view s) {
    std::string text(s);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves value alone on range errors: keep the sign of infinity or zero.
        value = std::strtod(text.c_str(), nullptr);
    }
    (void)ptr;
    return value;
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (!IsBlank(c)) compact += c;
    size_t n = NumberPrefix(compact);
    if (n == 0) return 0.0;
    return ToDouble(std::string_view(compact).substr(0, n));
}

std::optional<double> MetricValue(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return ReadNumber(text.substr(colon + 1));
}

std::optional<double> ParseNumericText(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    size_t n = NumberPrefix(text);
    if (n == 0 || n != text.size()) return std::nullopt;
    return ToDouble(text);
}

static double RoundHalfEven(double value) { return std::nearbyint(value); }  // default FE_TONEAREST

int32_t RoundHalfEvenToInt32(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
          r <= static_cast<double>(std::numeric_limits<int32_t>::max())))
        RaiseOverflow();
    return static_cast<int32_t>(r);
}

int16_t RoundHalfEvenToInt16(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) RaiseOverflow();
    return static_cast<int16_t>(r);
}

int32_t RoundHalfEvenClampedToInt32(double value) {
    if (std::isnan(value)) return 0;
    double r = RoundHalfEven(value);
    if (r <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

}  // namespace platform
