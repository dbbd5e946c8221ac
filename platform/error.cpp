#include "platform/error.h"

#include <windows.h>

#include "platform/text.h"

namespace platform {
namespace {

[[noreturn]] void Raise(int32_t number, std::string description) {
    throw Error(number, ExeName(), std::move(description));
}

}  // namespace

std::string ExeName() {
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::string name = Narrow(std::wstring_view(path, n));
    if (const size_t slash = name.find_last_of("\\/"); slash != std::string::npos) name.erase(0, slash + 1);
    if (const size_t dot = name.find_last_of('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

void RaiseOverflow() { Raise(err::Overflow, "Overflow"); }
void RaiseMalformedMetric() { Raise(err::MalformedMetric, "Subscript out of range"); }
void RaiseTypeMismatch() { Raise(err::TypeMismatch, "Type mismatch"); }

void RaiseResourceNotFound(int id) {
    Raise(err::ResourceNotFound, "Resource with identifier '" + std::to_string(id) + "' not found");
}

void RaiseNoSuchCostume(int index) {
    Raise(err::NoSuchCostume, "Control array element '" + std::to_string(index) + "' doesn't exist");
}

void RaiseCreateFailed(const std::string& what) {
    Raise(err::CreateFailed, "Cannot create " + what + " (error " + std::to_string(GetLastError()) + ")");
}

std::string ErrorLine(const Error& error) {
    return "Error #" + std::to_string(error.Number()) + " - " + error.Description();
}

}  // namespace platform
