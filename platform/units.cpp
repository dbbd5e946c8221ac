#include "platform/units.h"

namespace platform {
namespace {

// The per-monitor calls came with later systems: looked up at run time so the program still starts
// where they are missing, and falls back to the system DPI there.
template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        int d = 0;
        if (HDC screen = GetDC(nullptr)) {
            d = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
        }
        return d > 0 ? d : DefaultDpi;
    }();
    return dpi;
}

int WindowDpi(HWND window) {
    static const auto dpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = dpiForWindow && window ? dpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int SystemMetricAt(int index, int dpi) {
    static const auto metricForDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (metricForDpi) return metricForDpi(index, static_cast<UINT>(dpi));
    return ScaledForDpi(GetSystemMetrics(index) * static_cast<double>(DefaultDpi) / SystemDpi(), dpi);
}

RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi =
        User32Function<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT r{0, 0, client.cx, client.cy};
    if (adjustForDpi) adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return r;
}

}  // namespace platform
