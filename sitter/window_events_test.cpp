// Which window events the character asks the system for: the foreground from everywhere, moves only from the
// thread of the window it follows.
#include "sitter/window_events.h"

#include <gtest/gtest.h>

#include <thread>
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
    const HWND here = window(), alsoHere = window();
    // A window of another thread, which lives until the test is done with it.
    HWND there = nullptr;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        there = window();
        while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        DestroyWindow(there);
    });
    while (!there) Sleep(1);
    const DWORD process = GetCurrentProcessId(), thread = GetCurrentThreadId(), otherThread = GetWindowThreadProcessId(there, nullptr);
    const Hooked foreground{{EVENT_SYSTEM_FOREGROUND, 0, 0}};
    auto moves = [&](DWORD t) { return Hooked{{EVENT_OBJECT_LOCATIONCHANGE, process, t}, {EVENT_OBJECT_REORDER, process, t}}; };
    // The window followed, then the hooks asked for since the step before.
    const std::pair<HWND, Hooked> steps[] = {
        {nullptr, foreground}, {here, moves(thread)}, {alsoHere, {}}, {there, moves(otherThread)}, {nullptr, {}}, {here, moves(thread)}};
    for (const auto& [followed, expected] : steps) {
        events.Follow(followed);
        EXPECT_EQ(hooked, expected) << followed;
        hooked.clear();
    }
    SetEvent(done);
    other.join();
    CloseHandle(done);
    DestroyWindow(here), DestroyWindow(alsoHere);
}

}  // namespace
