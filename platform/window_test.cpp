// The window base, its timers and loops, and the seam the tests inject through.
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

TEST(Window, AQuitRequestEndsTheModalLoopAndIsLeftForTheProgram) {
    PostQuitMessage(7);
    int passes = 0;
    EXPECT_FALSE(RunModalLoop([] { return false; }, nullptr, [&] { ++passes; }));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7);
    EXPECT_EQ(passes, 1);
}

TEST(Host, MessagesEndsAndMissingResourcesGoThroughTheSeam) {
    int ended = -1;
    Host host;
    host.endProgram = [&](int code) { ended = code; };
    HostOverride injected(std::move(host));
    EXPECT_THROW(EndProgram(3), ProgramEnded);
    EXPECT_EQ(ended, 3);
    // This test program carries no string table.
    try {
        LoadStringResource(101);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(ErrorLine(e), "Error #326 - Resource with identifier '101' not found");
    }
    EXPECT_THROW(LoadBitmapResource(109), Error);
}

}  // namespace
