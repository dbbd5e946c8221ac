#include "sitter/window_events.h"

namespace {

WindowEvents* listener = nullptr;

}  // namespace

HWINEVENTHOOK WindowEvents::SystemHook(DWORD event, DWORD lastEvent, DWORD process, DWORD thread) {
    return SetWinEventHook(event, lastEvent, nullptr, &WindowEvents::Deliver, process, thread, WINEVENT_OUTOFCONTEXT);
}

WindowEvents::WindowEvents(Handler handler, Hooker hook) : handler_(std::move(handler)), hook_(std::move(hook)) {
    listener = this;
    foreground_.reset(hook_(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, 0, 0));
}

WindowEvents::~WindowEvents() {
    if (listener == this) listener = nullptr;
}

void WindowEvents::Follow(HWND window) {
    if (window == window_) return;
    window_ = window;
    DWORD process = 0;
    const DWORD thread = window ? GetWindowThreadProcessId(window, &process) : 0;
    if (thread == thread_) return;
    thread_ = thread;
    const DWORD events[] = {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_REORDER};
    for (size_t i = 0; i < followed_.size(); ++i) {
        followed_[i].reset();  // a window that is gone has nothing to tell
        if (thread) followed_[i].reset(hook_(events[i], events[i], process, thread));
    }
}

void CALLBACK WindowEvents::Deliver(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (!listener || object != OBJID_WINDOW) return;  // the caret and the pointer move too
    switch (event) {
        case EVENT_SYSTEM_FOREGROUND: return listener->handler_(Kind::ForegroundChanged, window);
        case EVENT_OBJECT_LOCATIONCHANGE: return listener->handler_(Kind::Moved, window);
        case EVENT_OBJECT_REORDER: return listener->handler_(Kind::Reordered, window);
        default: return;
    }
}
