#pragma once
// Work for a test to do from inside a loop that handles events (a waiting question, a modal dialog):
// thread timers run whenever that loop dispatches.
#include <windows.h>

#include <functional>
#include <map>

namespace testing_support {

inline std::map<UINT_PTR, std::function<void()>>& Jobs() {
    static std::map<UINT_PTR, std::function<void()>> jobs;
    return jobs;
}

inline void CALLBACK RunJob(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto node = Jobs().extract(id);
    if (!node.empty()) node.mapped()();
}

// Runs `job` once, `ms` milliseconds from now, from whatever loop handles events then.
inline void After(UINT ms, std::function<void()> job) {
    Jobs()[SetTimer(nullptr, 0, ms, &RunJob)] = std::move(job);
}

}  // namespace testing_support

namespace testing_support {

// A window of the program that goes posts the quit request of its program's end; a test that made one
// takes the request away again, or the next loop of the test program would end at once.
inline void ForgetQuitRequest() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace testing_support
