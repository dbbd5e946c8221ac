#pragma once
// The tagged value that cRegistry reads and writes: empty, a 16- or 32-bit integer, a number, a text or bytes.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using ByteArray = std::vector<uint8_t>;

class Variant {
public:
    enum class Kind { Empty, Int16, Int32, Double, String, Bytes };

    Variant() = default;
    Variant(int16_t v) : value_(v) {}
    Variant(int32_t v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(const char* v) : value_(std::string(v)) {}
    Variant(ByteArray v) : value_(std::move(v)) {}

    Kind kind() const noexcept { return static_cast<Kind>(value_.index()); }
    bool IsEmpty() const noexcept { return kind() == Kind::Empty; }
    bool IsWholeNumber() const noexcept { return kind() == Kind::Int16 || kind() == Kind::Int32; }

    // Conversions as the program applies them: empty is 0 or "", numeric text converts, anything else
    // raises Type mismatch (13); numbers out of range raise Overflow (6).
    int32_t ToInt32() const;
    int16_t ToInt16() const;
    double ToDouble() const;
    std::string ToString() const;

    // Text for messages: like ToString, but byte arrays show as hexadecimal bytes ("01 FF").
    std::string DisplayText() const;

    // `*this = number` as a comparison: empty counts as 0; text must be numeric (else Type mismatch).
    bool EqualsNumber(double number) const;

    const std::string* AsString() const noexcept { return std::get_if<std::string>(&value_); }
    const ByteArray* AsBytes() const noexcept { return std::get_if<ByteArray>(&value_); }

    bool operator==(const Variant&) const = default;

private:
    std::variant<std::monostate, int16_t, int32_t, double, std::string, ByteArray> value_;
};

