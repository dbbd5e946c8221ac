#pragma once
// Window events from the whole desktop, where the system delivers them out of context: the foreground
// changed, a window moved, the z-order changed. One listener per process.
#include <windows.h>

#include <array>
#include <functional>

#include "platform/handles.h"

class WindowEvents {
public:
    enum class Kind { ForegroundChanged, Moved, Reordered };
    using Handler = std::function<void(Kind kind, HWND window)>;

    explicit WindowEvents(Handler handler);
    ~WindowEvents();
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    // Where the system delivers an event; tests feed events through it too.
    static void CALLBACK Deliver(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                 DWORD time);

private:
    Handler handler_;
    std::array<platform::UniqueWinEventHook, 3> hooks_;
};
