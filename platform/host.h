#pragma once
// What the program takes from its surroundings: its resources and message boxes. Tests install a
// HostOverride to see the messages instead of a modal box, and to take resources away.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/handles.h"

namespace platform {

struct Host {
    HMODULE resources = nullptr;    // module holding the string table and bitmaps; 0 = the executable
    std::string title = "Pellory";  // title of message boxes
    std::function<int(HWND owner, const std::string& text, const std::string& title, UINT flags)> messageBox;
    // Stand-ins for the resource loaders; they return the resource or raise as the real ones do.
    std::function<std::string(int id)> loadString;
    std::function<UniqueBitmap(int id)> loadBitmap;
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

// A message box with the program's title; returns the button pressed.
int ShowMessage(const std::string& text, UINT flags = MB_OK | MB_ICONINFORMATION, HWND owner = nullptr);

// String and bitmap resources by number; raise error 326 when there is no such resource.
std::string LoadStringResource(int id);
UniqueBitmap LoadBitmapResource(int id);
// The same straight from a module (0 = the executable), whatever the host says.
std::string LoadStringResourceFrom(HMODULE module, int id);
UniqueBitmap LoadBitmapResourceFrom(HMODULE module, int id);
// The module the resources come from.
HMODULE ResourceModule();
// An icon resource of the resource module in the size of the system metrics `metricX` and `metricY`
// (SM_CXSMICON, SM_CYSMICON ...) at `dpi`; null when there is none.
UniqueIcon LoadIconResource(int id, int metricX, int metricY, int dpi);

}  // namespace platform
