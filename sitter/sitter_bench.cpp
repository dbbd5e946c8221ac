// Figures for the character's two timers: microseconds per redraw and per tick, each next to the
// cheapest call it cannot avoid, and the CPU time a running character uses per minute on a still window.
// Usage: sitter_bench [seconds to run the idle measurement, default 60]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "balloon/balloon.h"
#include "platform/window.h"
#include "platform/handles.h"
#include "sitter/frame_bounds.h"
#include "sitter/sitter_window.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double MicrosecondsPer(int n, F&& f) {
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) f();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / n;
}

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

}  // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 60;

    HWND perch = CreateWindowExA(0, "STATIC", "Pellory Perch", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 300, 500,
                                 300, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(perch);
    static SitterWindow sitter;
    sitter.Show(SW_SHOWNA);
    sitter.SetTrackedWindow(perch);
    sitter.TrackingTimer().SetEnabled(false);  // timed by hand below
    platform::ProcessPendingEvents();

    constexpr int n = 20000;
    platform::WindowDC dc(sitter.hwnd());
    const int w = sitter.Frame().Width(), h = sitter.Frame().Height();
    const double copy = MicrosecondsPer(n, [&] { BitBlt(dc.get(), 0, 0, w, h, sitter.Frame().hDC(), 0, 0, SRCCOPY); });
    const double redraw = MicrosecondsPer(n, [&] { sitter.Redraw(dc.get()); });
    sitter.SetMirrored(true);
    const double mirrored = MicrosecondsPer(n, [&] { sitter.Redraw(dc.get()); });
    sitter.SetMirrored(false);

    RECT r;
    const double query = MicrosecondsPer(n, [&] {
        GetForegroundWindow();
        GetWindowRect(perch, &r);
    });
    const double tick = MicrosecondsPer(n, [&] { sitter.TrackingTimer().Tick(); });
    // Where a tick's time goes.
    const double topmost = MicrosecondsPer(n, [&] {
        SetWindowPos(sitter.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    });
    const double frame = MicrosecondsPer(n, [&] { VisibleFrame(perch); });
    const RECT at = sitter.Bounds();
    const double move = MicrosecondsPer(n, [&] { sitter.MoveTo(at.left, at.top); });
    const double adjust = MicrosecondsPer(n, [&] { sitter.balloon().FollowCharacter(at); });

    std::printf("redraw           %8.2f us  (one frame copy alone: %.2f us, ratio %.1f)\n", redraw, copy, redraw / copy);
    std::printf("redraw mirrored  %8.2f us\n", mirrored);
    std::printf("tick             %8.2f us  (foreground + rectangle query alone: %.2f us, ratio %.1f)\n", tick, query,
                tick / query);
    std::printf("  of which: topmost %.2f us, visible frame %.2f us, move %.2f us, balloon adjust %.2f us\n", topmost,
                frame, move, adjust);
    std::printf("per second at 100 ticks and 40 redraws: %.2f ms of work\n", (100 * tick + 40 * redraw) / 1000);
    std::fflush(stdout);

    // The running character on a window that does not move: both timers as the program runs them.
    sitter.TrackingTimer().SetEnabled(true);
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = Clock::now();
    const auto until = start + std::chrono::seconds(idleSeconds);
    while (Clock::now() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        platform::ProcessPendingEvents();
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    std::printf("idle on a still window: %.2f s of CPU per minute (%.1f%% of one core), measured over %.0f s\n",
                cpu * 60 / wall, 100 * cpu / wall, wall);
    DestroyWindow(perch);
    return 0;
}
