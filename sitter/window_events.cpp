#include "sitter/window_events.h"

namespace {

WindowEvents* listener = nullptr;

}  // namespace

WindowEvents::WindowEvents(Handler handler) : handler_(std::move(handler)) {
    listener = this;
    const DWORD events[] = {EVENT_SYSTEM_FOREGROUND, EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_REORDER};
    for (size_t i = 0; i < hooks_.size(); ++i)
        hooks_[i].reset(SetWinEventHook(events[i], events[i], nullptr, &WindowEvents::Deliver, 0, 0, WINEVENT_OUTOFCONTEXT));
}

WindowEvents::~WindowEvents() {
    for (auto& hook : hooks_) hook.reset();
    if (listener == this) listener = nullptr;
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
