#include "platform/error.h"

#include <windows.h>

namespace platform {

std::string ExeName() {
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, n);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void RaiseTypeMismatch() { throw Error(err::TypeMismatch, ExeName(), "Type mismatch"); }

void RaiseOverflow() { throw Error(err::Overflow, ExeName(), "Overflow"); }

}  // namespace platform
