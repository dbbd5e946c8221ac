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
