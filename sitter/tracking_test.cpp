// Following the foreground window: which window is sat on when the foreground changes, vanishes or is the
// character itself.
#include <gtest/gtest.h>

#include "balloon/balloon.h"
#include "platform/host.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"

namespace {

TEST(Tracking, KeepsItsWindowThroughTheCharacterItselfAndAMomentWithoutForeground) {
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    HWND foreground = nullptr;
    platform::Host host;
    host.foregroundWindow = [&] { return foreground; };
    platform::HostOverride injected(std::move(host));
    SitterWindow sitter;
    sitter.Create();
    HWND perch = CreateWindowExA(0, "STATIC", "perch", WS_POPUP | WS_VISIBLE, 100, 200, 500, 400, nullptr, nullptr, nullptr, nullptr);
    const RECT seated{523, 108, 600, 234};
    // What is in the foreground at the tick, and the window the character sits on after it.
    const std::pair<HWND, HWND> ticks[] = {{perch, perch}, {nullptr, perch}, {sitter.hwnd(), perch},
                                           {sitter.balloon().hwnd(), perch}, {nullptr, perch}};
    for (const auto& [front, tracked] : ticks) {
        foreground = front;
        sitter.OnTrackTick();
        const RECT at = sitter.Bounds();
        EXPECT_EQ(sitter.TrackedWindow(), tracked);
        EXPECT_TRUE(EqualRect(&at, &seated)) << at.left << "," << at.top;
    }
    // A closed window reads as an empty rectangle: parked far to the left.
    DestroyWindow(perch);
    sitter.OnTrackTick();
    EXPECT_LT(sitter.Bounds().right, -30000);
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
}

}  // namespace
