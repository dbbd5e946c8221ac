#include "sitter/modLayeredWins.h"

bool LayeringSupported() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The version the system chooses to report is the point here: it is what says whether
    // layered windows can be asked for.
    if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

bool MakeColourKeyed(HWND lHWnd, int32_t lKeyColour) {
    if (!LayeringSupported()) return false;
    LONG exStyle = GetWindowLongA(lHWnd, GWL_EXSTYLE);
    SetWindowLongA(lHWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(lHWnd, static_cast<COLORREF>(lKeyColour), 0, LWA_COLORKEY);
    return true;
}
