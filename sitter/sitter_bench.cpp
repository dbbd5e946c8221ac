// Figures for the character's two timers: microseconds per redraw and per tick, each next to the
// cheapest call it cannot avoid, and the CPU time a running character uses per minute on a still window.
// Usage: sitter_bench [seconds to run the idle measurement, default 60]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "balloon/frmBalloon.h"
#include "platform/form.h"
#include "platform/handles.h"
#include "sitter/frame_bounds.h"
#include "sitter/frmSitter.h"

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
    static frmSitter sitter;
    sitter.Show(SW_SHOWNA);
    sitter.TrackedWnd = perch;
    sitter.timSitter.SetEnabled(false);  // timed by hand below
    platform::DoEvents();

    constexpr int n = 20000;
    platform::WindowDC dc(sitter.hWnd());
    const int w = sitter.FrameBuffer.Width(), h = sitter.FrameBuffer.Height();
    const double copy = MicrosecondsPer(n, [&] { BitBlt(dc.get(), 0, 0, w, h, sitter.FrameBuffer.hDC(), 0, 0, SRCCOPY); });
    const double redraw = MicrosecondsPer(n, [&] { sitter.Redraw(dc.get()); });
    sitter.FromLeft = -1;
    const double mirrored = MicrosecondsPer(n, [&] { sitter.Redraw(dc.get()); });
    sitter.FromLeft = 0;

    RECT r;
    const double query = MicrosecondsPer(n, [&] {
        GetForegroundWindow();
        GetWindowRect(perch, &r);
    });
    const double tick = MicrosecondsPer(n, [&] { sitter.timSitter.Tick(); });
    // Where a tick's time goes.
    const double topmost = MicrosecondsPer(n, [&] {
        SetWindowPos(sitter.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    });
    const double frame = MicrosecondsPer(n, [&] { VisibleFrame(perch); });
    const double move = MicrosecondsPer(n, [&] { sitter.Move(sitter.Left(), sitter.Top()); });
    const double adjust = MicrosecondsPer(n, [&] { sitter.Balloon().Adjust(); });

    std::printf("redraw           %8.2f us  (one frame copy alone: %.2f us, ratio %.1f)\n", redraw, copy, redraw / copy);
    std::printf("redraw mirrored  %8.2f us\n", mirrored);
    std::printf("tick             %8.2f us  (foreground + rectangle query alone: %.2f us, ratio %.1f)\n", tick, query,
                tick / query);
    std::printf("  of which: topmost %.2f us, visible frame %.2f us, move %.2f us, balloon adjust %.2f us\n", topmost,
                frame, move, adjust);
    std::printf("per second at 100 ticks and 40 redraws: %.2f ms of work\n", (100 * tick + 40 * redraw) / 1000);
    std::fflush(stdout);

    // The running character on a window that does not move: both timers as the program runs them.
    sitter.timSitter.SetEnabled(true);
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = Clock::now();
    const auto until = start + std::chrono::seconds(idleSeconds);
    while (Clock::now() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        platform::DoEvents();
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    std::printf("idle on a still window: %.2f s of CPU per minute (%.1f%% of one core), measured over %.0f s\n",
                cpu * 60 / wall, 100 * cpu / wall, wall);
    DestroyWindow(perch);
    return 0;
}
