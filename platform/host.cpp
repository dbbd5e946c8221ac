#include "platform/host.h"

#include "platform/error.h"
#include "platform/text.h"
#include "platform/units.h"

namespace platform {

Host& CurrentHost() {
    static Host host;
    return host;
}

HostOverride::HostOverride(Host host) : previous_(std::move(CurrentHost())) { CurrentHost() = std::move(host); }

HostOverride::~HostOverride() { CurrentHost() = std::move(previous_); }

int ShowMessage(const std::string& text, UINT flags, HWND owner) {
    const Host& host = CurrentHost();
    if (host.messageBox) return host.messageBox(owner, text, host.title, flags);
    return MessageBoxW(owner, Widen(text).c_str(), Widen(host.title).c_str(), flags | MB_SETFOREGROUND);
}

HMODULE ResourceModule() {
    HMODULE module = CurrentHost().resources;
    return module ? module : GetModuleHandleA(nullptr);
}

std::string LoadStringResource(int id) {
    const Host& host = CurrentHost();
    if (host.loadString) return host.loadString(id);
    return LoadStringResourceFrom(host.resources, id);
}

UniqueBitmap LoadBitmapResource(int id) {
    const Host& host = CurrentHost();
    if (host.loadBitmap) return host.loadBitmap(id);
    return LoadBitmapResourceFrom(host.resources, id);
}

std::string LoadStringResourceFrom(HMODULE module, int id) {
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module ? module : GetModuleHandleA(nullptr), static_cast<UINT>(id),
                                   reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) RaiseResourceNotFound(id);
    return Narrow(std::wstring_view(text, static_cast<size_t>(length)));
}

UniqueIcon LoadIconResource(int id, int metricX, int metricY, int dpi) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                    SystemMetricAt(metricX, dpi), SystemMetricAt(metricY, dpi), 0)));
}

UniqueBitmap LoadBitmapResourceFrom(HMODULE module, int id) {
    // As a DIB section, so 4-bit pictures keep their own palette and pixels stay exact.
    HANDLE image = LoadImageA(module ? module : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
    if (image == nullptr) RaiseResourceNotFound(id);
    return UniqueBitmap(static_cast<HBITMAP>(image));
}

}  // namespace platform
