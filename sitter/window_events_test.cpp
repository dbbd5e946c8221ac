// Which window events the character asks the system for: the foreground from everywhere, moves only from the
// thread of the window it follows.
#include "sitter/window_events.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Hooked = std::vector<std::tuple<DWORD, DWORD, DWORD>>;  // event, process, thread

TEST(WindowEvents, HookTheForegroundEverywhereAndMovesInTheThreadOfTheWindowFollowedAlone) {
    Hooked hooked;
    WindowEvents events([](WindowEvents::Kind, HWND) {}, [&](DWORD event, DWORD lastEvent, DWORD process, DWORD thread) {
        hooked.emplace_back(event, process, thread);
        return SetWinEventHook(event, lastEvent, nullptr, &WindowEvents::Deliver, process, thread, WINEVENT_OUTOFCONTEXT);
    });
    auto window = [] { return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr); };
    const HWND here = window(), alsoHere = window(), there = GetDesktopWindow();  // the desktop's is another process's
    DWORD otherProcess = 0;
    const DWORD process = GetCurrentProcessId(), thread = GetCurrentThreadId(), otherThread = GetWindowThreadProcessId(there, &otherProcess);
    const Hooked foreground{{EVENT_SYSTEM_FOREGROUND, 0, 0}};
    auto moves = [](DWORD p, DWORD t) { return Hooked{{EVENT_OBJECT_LOCATIONCHANGE, p, t}, {EVENT_OBJECT_REORDER, p, t}}; };
    // The window followed, then the hooks asked for since the step before.
    const std::pair<HWND, Hooked> steps[] = {{nullptr, foreground},           {here, moves(process, thread)},
                                             {alsoHere, {}},                  {there, moves(otherProcess, otherThread)},
                                             {nullptr, {}},                   {here, moves(process, thread)}};
    for (const auto& [followed, expected] : steps) {
        events.Follow(followed);
        EXPECT_EQ(hooked, expected) << followed;
        hooked.clear();
    }
    DestroyWindow(here), DestroyWindow(alsoHere);
}

}  // namespace
