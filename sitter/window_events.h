#pragma once
// Window events, where the system delivers them out of context: the foreground changed (from the whole
// desktop), the window followed moved or its place in the z-order changed (from its own process and thread
// alone, so that pointer and caret moves and windows moving elsewhere never wake the character). One listener
// per process.
#include <windows.h>

#include <array>
#include <functional>

#include "platform/handles.h"

class WindowEvents {
public:
    enum class Kind { ForegroundChanged, Moved, Reordered };
    using Handler = std::function<void(Kind kind, HWND window)>;
    // Hooks the events from `event` to `lastEvent` of `process` and `thread` (0 for all).
    using Hooker = std::function<HWINEVENTHOOK(DWORD event, DWORD lastEvent, DWORD process, DWORD thread)>;

    // SetWinEventHook, out of context.
    static HWINEVENTHOOK SystemHook(DWORD event, DWORD lastEvent, DWORD process, DWORD thread);

    explicit WindowEvents(Handler handler, Hooker hook = SystemHook);
    ~WindowEvents();
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    // The window followed from now on: its moves are hooked in its process and thread, hooked anew when
    // another thread's window is followed.
    void Follow(HWND window);

    // Where the system delivers an event; tests feed events through it too.
    static void CALLBACK Deliver(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                 DWORD time);

private:
    Handler handler_;
    Hooker hook_;
    platform::UniqueWinEventHook foreground_;
    std::array<platform::UniqueWinEventHook, 2> followed_;  // location and z-order changes of the window followed
    HWND window_ = nullptr;
    DWORD thread_ = 0;
};
