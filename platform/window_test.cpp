// The window base: its timers, its modal loop and what becomes of a handler's error.
#include "platform/window.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/host.h"

using namespace platform;

namespace {

struct TickingWindow : Window {
    TickingWindow() : Window(WindowClass{"PelloryTests.Ticking", "t"}) {}
    void OnMouseUp(MouseButton, POINT) override { RaiseOverflow(); }
    int ticks = 0;
    Timer timer{*this, 1, true, [this] { ++ticks; }};
    Timer idle{*this, 1, false, [] { ADD_FAILURE() << "a disabled timer ticked"; }};
};

TEST(Window, TimersTickInTheLoopsAndAHandlerErrorIsReported) {
    std::vector<std::string> shown;
    Host host;
    host.messageBox = [&](HWND, const std::string& text, const std::string& title, UINT) {
        shown.push_back(title + ": " + text);
        return IDOK;
    };
    HostOverride injected(std::move(host));
    TickingWindow window;
    window.Create();
    // The loop ends when told to, with ticks handled on the way.
    EXPECT_TRUE(RunModalLoop([&] { return window.ticks >= 3; }));
    window.timer.SetEnabled(false);
    const int stopped = window.ticks;
    Sleep(30), ProcessPendingEvents();
    EXPECT_EQ(window.ticks, stopped);
    // A handler's error is shown, not unwound through the window system.
    SendMessageA(window.hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(shown, std::vector<std::string>{"Pellory: Error #6 - Overflow"});
}

}  // namespace
