#include "platform/desktop.h"

namespace platform {
namespace {

RECT MonitorRect(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return info.rcMonitor;
}

constexpr DWORD ExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

DwmGetWindowAttributeFn DwmGetWindowAttributePtr() {
    // Kept loaded for the life of the process: the character asks at every step.
    static const DwmGetWindowAttributeFn function = [] {
        HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return dwm ? reinterpret_cast<DwmGetWindowAttributeFn>(
                         reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    return function;
}

bool QueryDwm(HWND window, RECT& bounds) {
    RECT r{};
    if (FAILED(DwmGetWindowAttributePtr()(window, ExtendedFrameBounds, &r, sizeof r))) return false;
    if (r.right <= r.left || r.bottom <= r.top) return false;  // not a frame worth trusting
    bounds = r;
    return true;
}

}  // namespace

RECT MonitorOfWindow(HWND window) { return MonitorRect(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)); }

RECT MonitorOfRect(const RECT& rect) { return MonitorRect(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST)); }

RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

FrameBoundsQuery SystemFrameBoundsQuery() { return DwmGetWindowAttributePtr() ? &QueryDwm : nullptr; }

RECT VisibleFrame(HWND window, FrameBoundsQuery query) {
    RECT rect{};
    if (window && query && query(window, rect)) return rect;
    rect = {};
    GetWindowRect(window, &rect);  // unchecked: a vanished window leaves the rectangle at zero
    return rect;
}

bool IsOverlappedFromAbove(HWND window, const RECT& area) {
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT r{}, overlap{};
        if (IsWindowVisible(above) && GetWindowRect(above, &r) && IntersectRect(&overlap, &r, &area)) return true;
    }
    return false;
}

}  // namespace platform
