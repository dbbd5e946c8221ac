#include "registry/variant.h"

#include <charconv>
#include <cstdio>

#include "platform/error.h"
#include "platform/number.h"

using namespace platform;

namespace {

// Shortest decimal text that reads back as the same double ("1.5", "3", "-0.25").
std::string NumberText(double value) {
    if (value == 0) return "0";
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;
    return std::string(buffer, end);
}

}  // namespace

double Variant::ToDouble() const {
    switch (kind()) {
        case Kind::Empty: return 0.0;
        case Kind::Int16: return std::get<int16_t>(value_);
        case Kind::Int32: return std::get<int32_t>(value_);
        case Kind::Double: return std::get<double>(value_);
        case Kind::String:
            if (auto n = ParseNumericText(std::get<std::string>(value_))) return *n;
            RaiseTypeMismatch();
        case Kind::Bytes: break;
    }
    RaiseTypeMismatch();
}

int32_t Variant::ToInt32() const { return RoundHalfEvenToInt32(ToDouble()); }

int16_t Variant::ToInt16() const { return RoundHalfEvenToInt16(ToDouble()); }

std::string Variant::ToString() const {
    switch (kind()) {
        case Kind::Empty: return {};
        case Kind::Int16: return std::to_string(std::get<int16_t>(value_));
        case Kind::Int32: return std::to_string(std::get<int32_t>(value_));
        case Kind::Double: return NumberText(std::get<double>(value_));
        case Kind::String: return std::get<std::string>(value_);
        case Kind::Bytes: break;
    }
    RaiseTypeMismatch();
}

std::string Variant::DisplayText() const {
    if (const ByteArray* bytes = AsBytes()) {
        std::string text;
        char hex[4];
        for (uint8_t b : *bytes) {
            std::snprintf(hex, sizeof hex, "%02X", b);
            if (!text.empty()) text += ' ';
            text += hex;
        }
        return text;
    }
    return ToString();
}

bool Variant::EqualsNumber(double number) const { return ToDouble() == number; }

