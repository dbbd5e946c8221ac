#include "platform/desktop.h"

#include "platform/host.h"

namespace platform {
namespace {

RECT MonitorRect(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info))
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return info.rcMonitor;
}

}  // namespace

HWND ForegroundWindow() {
    if (const auto& query = CurrentHost().foregroundWindow) return query();
    return GetForegroundWindow();
}

RECT MonitorOfWindow(HWND window) {
    if (const auto& query = CurrentHost().monitorOfWindow) return query(window);
    return MonitorRect(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

RECT MonitorOfRect(const RECT& rect) {
    if (const auto& query = CurrentHost().monitorOfRect) return query(rect);
    return MonitorRect(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

RECT VirtualScreen() {
    if (const auto& query = CurrentHost().virtualScreen) return query();
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace platform
