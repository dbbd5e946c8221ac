// The window base: its timers, its modal loop, what becomes of a handler's error, and its end.
#include "platform/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/error.h"
#include "platform/host.h"

using namespace platform;

namespace {

struct TickingWindow : Window {
    explicit TickingWindow(std::vector<std::string>& log) : Window(WindowClass{"PelloryTests.Ticking", "t"}), log_(log) {}
    void OnMouseUp(MouseButton, POINT) override { RaiseOverflow(); }
    // The derived part must still stand when its window goes.
    void OnDestroy() override { log_.push_back("destroyed with " + std::to_string(ticks) + " ticks"); }
    std::vector<std::string>& log_;
    int ticks = 0;
    Timer timer{*this, 1, true, [this] { ++ticks; }};
    Timer idle{*this, 1, false, [] { ADD_FAILURE() << "a disabled timer ticked"; }};
};

// The loop ends when told to, with ticks handled on the way; a stopped timer stays still; a handler's error is
// shown, not unwound through the window system; the window goes while the derived part still stands.
TEST(Window, TimersTickAHandlerErrorIsReportedAndTheWindowGoesWhileTheWholeObjectStands) {
    std::vector<std::string> log;
    Host host;
    host.messageBox = [&](HWND, const std::string& text, const std::string& title, UINT) { return log.push_back(title + ": " + text), IDOK; };
    HostOverride injected(std::move(host));
    HWND hwnd = nullptr;
    {
        Owned<TickingWindow> window(log);
        window.Create();
        hwnd = window.hwnd();
        EXPECT_TRUE(RunModalLoop([&] { return window.ticks >= 3; }));
        window.timer.SetEnabled(false);
        window.ticks = 7;
        Sleep(30), ProcessPendingEvents();
        SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"Pellory: Error #6 - Overflow", "destroyed with 7 ticks"}));
    EXPECT_FALSE(IsWindow(hwnd));
}

// What no handler expects is told, and the program ends through its loop with code 1, whatever was thrown.
struct ThrowingWindow : Window {
    explicit ThrowingWindow(std::function<void()> fail) : Window(WindowClass{"PelloryTests.Throwing", "t"}), fail_(std::move(fail)) {}
    void OnMouseUp(MouseButton, POINT) override { fail_(); }
    std::function<void()> fail_;
};

TEST(Window, AnythingElseAHandlerThrowsIsReportedAndEndsTheProgramThroughItsLoop) {
    const std::pair<std::function<void()>, std::string> throws[] = {
        {[] { throw std::bad_alloc(); }, "Error #7 - Out of memory"},
        {[] { throw std::runtime_error("no seat"); }, "Error #51 - Internal error: no seat"},
        {[] { throw 3; }, "Error #51 - Internal error"}};
    for (const auto& [fail, line] : throws) {
        std::vector<std::string> shown;
        Host host;
        host.messageBox = [&](HWND, const std::string& text, const std::string&, UINT flags) {
            return shown.push_back(text + ((flags & MB_ICONERROR) == MB_ICONERROR ? " (error icon)" : "")), IDOK;
        };
        HostOverride injected(std::move(host));
        Owned<ThrowingWindow> window(fail);
        window.Create();
        SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, 0);
        const bool ends = !ProcessPendingEvents();  // never waits, so a program that goes on fails here
        EXPECT_EQ(std::tuple(shown, ends, ends ? RunMessageLoop() : 0), std::tuple(std::vector<std::string>{line + " (error icon)"}, true, 1));
    }
}

}  // namespace
