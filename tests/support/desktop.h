#pragma once
// A desktop of the test's own for following the foreground window: windows stand for themselves by number.
#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "sitter/follower.h"

namespace testing_support {

inline HWND Handle(int n) { return reinterpret_cast<HWND>(static_cast<intptr_t>(n)); }
inline const HWND Character = Handle(1), Balloon = Handle(2), Perch = Handle(3), Other = Handle(4);

struct TestDesktop final : Desktop {
    HWND Foreground() const override { return ++foregroundQueries, foreground; }
    RECT FrameOf(HWND window) const override { return frames.contains(window) ? frames.at(window) : RECT{}; }
    // The monitor that holds the window's top-left corner, else the first.
    RECT MonitorOf(HWND window) const override {
        const RECT frame = FrameOf(window);
        for (const RECT& m : monitors)
            if (PtInRect(&m, POINT{frame.left, frame.top})) return m;
        return monitors.front();
    }
    bool IsCovered(HWND, const RECT&) const override { return covered; }

    HWND foreground = Perch;
    std::map<HWND, RECT> frames{{Perch, {100, 200, 600, 600}}, {Other, {300, 400, 700, 600}}};
    std::vector<RECT> monitors{{0, 0, 1280, 1024}};
    bool covered = false;
    mutable int foregroundQueries = 0;  // one for every look
};

}  // namespace testing_support
