#include "sitter/tray_icon.h"

#include <commctrl.h>

#include "platform/host.h"
#include "resource_ids.h"

namespace {

constexpr UINT IconId = 1;

// The taskbar's small icon size, which follows the taskbar's monitor, not the character's.
platform::UniqueIcon NotificationAreaIcon() {
    HICON icon = nullptr;
    LoadIconMetric(platform::ResourceModule(), MAKEINTRESOURCEW(IDI_DISTANCE), LIM_SMALL, &icon);
    return platform::UniqueIcon(icon);
}

}  // namespace

TrayIcon::TrayIcon(HWND owner) : owner_(owner), icon_(NotificationAreaIcon()) {}

TrayIcon::~TrayIcon() { Remove(); }

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = IconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CallbackMessage;
    data.hIcon = icon_.get();
    lstrcpynW(data.szTip, L"Pellory", ARRAYSIZE(data.szTip));
    return data;
}

bool TrayIcon::Add() {
    NOTIFYICONDATAW data = Data();
    // After the taskbar was re-created the shell has forgotten the icon, so it is added anew.
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return shown_;
}

void TrayIcon::Remove() {
    if (!shown_) return;
    NOTIFYICONDATAW data = Data();
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
}
