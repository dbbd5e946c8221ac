#pragma once
// The character's icon in the notification area: where a user whose windows are all maximised still finds
// its menu. Clicks on it arrive at the owner window as CallbackMessage.
#include <windows.h>

#include <shellapi.h>

#include "platform/handles.h"

class TrayIcon {
public:
    static constexpr UINT CallbackMessage = WM_APP + 1;

    // The icon's image is the notification area's size, whatever monitor the owner is on.
    explicit TrayIcon(HWND owner);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows the icon; again after the taskbar was re-created. True when the shell took it.
    bool Add();
    void Remove();
    // The message the shell broadcasts when the taskbar is re-created.
    static UINT TaskbarCreatedMessage();

private:
    NOTIFYICONDATAW Data() const;

    HWND owner_;
    platform::UniqueIcon icon_;
    bool shown_ = false;
};
