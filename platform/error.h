#pragma once
// The one error type of the program: a number, a source and a description, as the user is shown them.
#include <cstdint>
#include <exception>
#include <string>

namespace platform {

class Error : public std::exception {
public:
    Error(int32_t number, std::string source, std::string description)
        : number_(number), source_(std::move(source)), description_(std::move(description)) {}

    int32_t Number() const noexcept { return number_; }
    // No caller of ours reads it: part of the settings store's documented error, for callers to come.
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int32_t number_;
    std::string source_;
    std::string description_;
};

// Error numbers the program raises itself. The user sees the number and its description: fixed for the
// first three, naming the resource, the costume index or what could not be made for the others.
namespace err {
constexpr int32_t Overflow = 6;
constexpr int32_t OutOfMemory = 7;
constexpr int32_t MalformedMetric = 9;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t ResourceNotFound = 326;
constexpr int32_t Internal = 51;
constexpr int32_t NoSuchCostume = 340;
constexpr int32_t CreateFailed = 480;
}  // namespace err

// The executable's file name without its extension ("Pellory" for Pellory.exe).
std::string ExeName();

[[noreturn]] void RaiseOverflow();
// A metric string without the colon its number follows.
[[noreturn]] void RaiseMalformedMetric();
[[noreturn]] void RaiseTypeMismatch();
[[noreturn]] void RaiseResourceNotFound(int id);
// A costume index that names no costume of its layer.
[[noreturn]] void RaiseNoSuchCostume(int index);
[[noreturn]] void RaiseCreateFailed(const std::string& what);

// "Error #13 - Type mismatch": how every message shows an error.
std::string ErrorLine(const Error& error);

}  // namespace platform
