#include "sitter/frame_bounds.h"

namespace {

constexpr DWORD ExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

DwmGetWindowAttributeFn LoadDwmGetWindowAttribute() {
    // Kept loaded for the life of the process: the tick asks a hundred times a second.
    HMODULE dwm = LoadLibraryExA("dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dwm) return nullptr;
    return reinterpret_cast<DwmGetWindowAttributeFn>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")));
}

DwmGetWindowAttributeFn DwmGetWindowAttributePtr() {
    static const DwmGetWindowAttributeFn function = LoadDwmGetWindowAttribute();
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

FrameBoundsQuery SystemFrameBoundsQuery() { return DwmGetWindowAttributePtr() ? &QueryDwm : nullptr; }

RECT VisibleFrame(HWND window, FrameBoundsQuery query) {
    RECT rect{};
    if (window && query && query(window, rect)) return rect;
    rect = {};
    GetWindowRect(window, &rect);  // unchecked: a vanished window leaves the rectangle at zero
    return rect;
}
