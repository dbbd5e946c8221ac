#include "platform/layered.h"

namespace platform {

bool LayeringSupported() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The version the system chooses to report is the point: it says whether layering can be asked for.
    if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

bool MakeColourKeyed(HWND window, COLORREF key) {
    if (!LayeringSupported()) return false;
    // Results unchecked: a window that cannot be layered keeps its background, which is all that fails.
    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, key, 0, LWA_COLORKEY);
    return true;
}

}  // namespace platform
