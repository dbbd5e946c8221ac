#pragma once
// What the program gets from its surroundings: resources, message boxes and the end of the program.
// Tests replace these with HostOverride to observe them instead of a modal box or an exit.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/handles.h"

namespace platform {

struct Host {
    HMODULE resources = nullptr;  // module holding the string table and bitmaps; 0 = the executable
    std::string title = "Pellory";  // title of message boxes
    std::function<int(HWND owner, const std::string& text, const std::string& title, UINT flags)> messageBox;
    std::function<void(int exitCode)> endProgram;
    // Replacements for resource loading; they return the resource or raise like the real loaders.
    std::function<std::string(int id)> loadString;
    std::function<UniqueBitmap(int id)> loadPicture;
};

Host& CurrentHost();

// Installs a host for its lifetime and puts the previous one back afterwards.
class HostOverride {
public:
    explicit HostOverride(Host host);
    ~HostOverride();
    HostOverride(const HostOverride&) = delete;
    HostOverride& operator=(const HostOverride&) = delete;

private:
    Host previous_;
};

// Thrown when an injected end-of-program action returns, so that nothing after End runs.
struct ProgramEnded {
    int exitCode;
};

// Shows a message box with the program's title; returns the button pressed.
int MsgBox(const std::string& text, UINT flags = MB_OK | MB_ICONINFORMATION, HWND owner = nullptr);

// Ends the program at once.
[[noreturn]] void End(int exitCode = 0);

// String and bitmap resources by number; raise Error 326 when there is no such resource.
std::string LoadResString(int id);
UniqueBitmap LoadResPicture(int id);
// The same, straight from a module (0 = the executable), whatever the host says.
std::string LoadResStringFrom(HMODULE module, int id);
UniqueBitmap LoadResPictureFrom(HMODULE module, int id);

}  // namespace platform
