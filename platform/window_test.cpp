// The window base: its timers, its modal loop, what becomes of a handler's error, and its end.
#include "platform/window.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/host.h"

using namespace platform;

namespace {

struct TickingWindow : Window {
    explicit TickingWindow(std::vector<std::string>* log = nullptr) : Window(WindowClass{"PelloryTests.Ticking", "t"}), log_(log) {}
    void OnMouseUp(MouseButton, POINT) override { RaiseOverflow(); }
    // The derived part must still stand when its window goes.
    void OnDestroy() override {
        if (log_) log_->push_back("destroyed with " + std::to_string(ticks) + " ticks");
    }
    std::vector<std::string>* log_;
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
    Owned<TickingWindow> window;
    window.Create();
    // The loop ends when told to, with ticks handled on the way.
    EXPECT_TRUE(RunModalLoop([&] { return window.ticks >= 3; }));
    window.timer.SetEnabled(false);
    const int stopped = window.ticks;
    Sleep(30), ProcessPendingEvents();
    EXPECT_EQ(window.ticks, stopped);
    // A handler's error is shown, not unwound through the window system.
    SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(shown, std::vector<std::string>{"Pellory: Error #6 - Overflow"});
}

TEST(Window, GoesWhileTheWholeObjectStands) {
    std::vector<std::string> log;
    HWND hwnd = nullptr;
    {
        Owned<TickingWindow> window(&log);
        window.Create();
        hwnd = window.hwnd();
        window.ticks = 7;
    }
    EXPECT_EQ(log, std::vector<std::string>{"destroyed with 7 ticks"});
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
