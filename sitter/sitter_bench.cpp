// Figures for sitting still and following a window, the change-driven character against the literal design
// it replaced (re-stack, move and place the balloon every 10 ms; compose four layers every 25 ms), in one run:
// CPU per second of the program plus the window server, wake-ups per second, follow latency and the cost of a
// redraw that changes the frame. Then the costume folders: start-up with 0 and with 100 costumes in each folder, in
// fresh processes, and switching to a folder's costume (decode and compose) at scale 1 and 3. The character is
// measured with 100 costumes in each folder and its loop waiting on their watches, as the program's loop does.
// Usage (scripts/bench-sitter runs it): sitter_bench SECONDS PERCH_EXE [WINESERVER_PID]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "art.h"
#include "costumes/folder.h"

#include "balloon/balloon.h"
#include "platform/handles.h"
#include "platform/host.h"
#include "platform/layered.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "platform/desktop.h"
#include "sitter/costume_folders.h"
#include "sitter/follower.h"
#include "sitter/frame_set.h"
#include "sitter/seat.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"
#include "sitter/startup.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(FILETIME t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

// CPU seconds of this process, and of the window server when its Linux pid is known.
double CpuSeconds(const std::string& serverPid) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    double cpu = Seconds(kernel) + Seconds(user);
    if (serverPid.empty()) return cpu;
    // The drive Z: is the Unix root, so the server's /proc entry can be read like a file.
    platform::UniqueKernelHandle file(CreateFileA(("Z:\\proc\\" + serverPid + "\\stat").c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char text[1024] = {};
    DWORD got = 0;
    if (file.get() == INVALID_HANDLE_VALUE || !ReadFile(file.get(), text, sizeof text - 1, &got, nullptr)) return cpu;
    const char* fields = std::strrchr(text, ')');  // utime and stime are the 14th and 15th fields
    long long utime = 0, stime = 0;
    if (fields && std::sscanf(fields + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld", &utime, &stime) == 2)
        cpu += static_cast<double>(utime + stime) / 100.0;  // clock ticks of 10 ms
    return cpu;
}

// Every message taken from the queue is a wake-up of the program.
long long wakeUps = 0;
LRESULT CALLBACK CountWakeUps(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) ++wakeUps;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Handles events for `seconds`; with `waited`, in the program's own loop waiting on them too, each signal a wake-up.
void Pump(double seconds, const std::vector<platform::WaitedHandle>& waited = {}) {
    if (waited.empty()) {
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        platform::RunModalLoop([&] { return Clock::now() >= until; });
        return;
    }
    std::vector<platform::WaitedHandle> counted;
    for (const platform::WaitedHandle& w : waited) counted.push_back({w.handle, [&w] { ++wakeUps, w.onSignalled(); }});
    SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostQuitMessage(0);
    });
    platform::RunMessageLoop(counted);
}

// The design before: the same pictures, re-composed and re-seated on every tick.
class LiteralCharacter : public platform::Window {
public:
    LiteralCharacter(HWND perch, const SeatMetrics& metrics)
        : platform::Window(platform::WindowClass{"PelloryBench.Literal", "Literal", WS_POPUP, WS_EX_TOOLWINDOW}),
          perch_(perch), metrics_(metrics) {
        for (auto [picture, id] : {std::pair{&base_, IDB_BASE}, {&blinkHalf_, IDB_BLINK_HALF}, {&blinkClosed_, IDB_BLINK_CLOSED},
                                   {&costume1_, IDB_COSTUME1_BEFORE_FIRST + 1}, {&costume2_, IDB_COSTUME2_BEFORE_FIRST + 1}})
            picture->CreateFromPicture(platform::LoadBitmapResource(id).get());
        frame_.Create(base_.Width(), base_.Height());
    }
    void Tick() {
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        const Seat seat = SeatOn(platform::VisibleFrame(perch_), 0, 0, metrics_);
        MoveTo(seat.bounds.left, seat.bounds.top);
        balloon_.FollowCharacter({seat.bounds});
    }
    void Redraw(HDC target) {
        auto layer = [&](const cDIBSection& p, int x, int y) {
            TransparentBlt(frame_.hDC(), x, y, p.Width(), p.Height(), p.hDC(), 0, 0, p.Width(), p.Height(), platform::PictureColourKey);
        };
        BitBlt(frame_.hDC(), 0, 0, base_.Width(), base_.Height(), base_.hDC(), 0, 0, SRCCOPY);
        layer(costume2_, 0, 0);
        if (++count_ > 100 && count_ < 117) layer(count_ < 103 || count_ > 114 ? blinkHalf_ : blinkClosed_, 16, 24);
        if (count_ > 200) count_ = 0;
        layer(costume1_, 0, 0);
        BitBlt(target, 0, 0, frame_.Width(), frame_.Height(), frame_.hDC(), 0, 0, SRCCOPY);
    }
    void Run() {
        Create();
        SetBounds(RECT{0, 0, base_.Width(), base_.Height()});
        platform::MakeColourKeyed(hwnd(), platform::CharacterColourKey);
        Show(SW_SHOWNA);
    }
    platform::Timer tickTimer{*this, 10, true, [this] { Tick(); }};
    platform::Timer redrawTimer{*this, 25, true, [this] { Redraw(platform::WindowDC(hwnd()).get()); }};

private:
    HWND perch_;
    SeatMetrics metrics_;
    cDIBSection base_, blinkHalf_, blinkClosed_, costume1_, costume2_, frame_;
    int count_ = 0;
    platform::Owned<Balloon> balloon_;
};

struct Figures {
    double cpuPerSecond, wakeUpsPerSecond, p50, p95, redrawUs, tickUs, pointerMovesPerSecond;
};

template <typename F>
double MicrosecondsPer(int n, F&& f) {
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) f();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / n;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

// The pointer moving over some other program's window, a hundred times a second, as a hook on every process
// hears of it: Wine delivers no out-of-context location events, so the bench hands them to the character as
// the system would, and they wake it as the system's would.
long long pointerMoves = 0;
void CALLBACK PointerMoved(HWND, UINT, UINT_PTR, DWORD) {
    ++pointerMoves;
    WindowEvents::Deliver(nullptr, EVENT_OBJECT_LOCATIONCHANGE, GetDesktopWindow(), OBJID_CURSOR, CHILDID_SELF, 0, 0);
}

// Sits still for `seconds` (with the pointer moving elsewhere when `pointer`), then moves the perch back and
// forth 60 times and times each follow.
Figures Measure(double seconds, const std::string& serverPid, HWND perch, const std::function<RECT()>& character,
                const std::function<void()>& afterMove, bool pointer = false,
                const std::vector<platform::WaitedHandle>& waited = {}) {
    Figures f{};
    Pump(2, waited);  // settled
    const UINT_PTR stream = pointer ? SetTimer(nullptr, 0, 10, &PointerMoved) : 0;
    const long long wakesBefore = wakeUps, movesBefore = pointerMoves;
    const double cpuBefore = CpuSeconds(serverPid);
    const auto start = Clock::now();
    Pump(seconds, waited);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (stream) KillTimer(nullptr, stream);
    f.pointerMovesPerSecond = static_cast<double>(pointerMoves - movesBefore) / wall;
    f.cpuPerSecond = (CpuSeconds(serverPid) - cpuBefore) / wall;
    f.wakeUpsPerSecond = static_cast<double>(wakeUps - wakesBefore) / wall;

    std::vector<double> latencies;
    for (int i = 0; i < 60; ++i) {
        const int x = 100 + (i % 2) * 40, y = 300 + (i % 2) * 20;
        SetWindowPos(perch, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const auto moved = Clock::now();
        afterMove();
        RECT frame{};
        GetWindowRect(perch, &frame);
        const LONG wantLeft = frame.right - 77;
        platform::RunModalLoop([&] { return character().left == wantLeft || Clock::now() - moved > std::chrono::seconds(1); });
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - moved).count());
        Pump(0.03);
    }
    f.p50 = Percentile(latencies, 0.5), f.p95 = Percentile(latencies, 0.95);
    return f;
}

void Print(const char* design, const Figures& f) {
    std::printf("%-40s %8.1f ms/s %9.1f /s %7.1f ms %7.1f ms %9.2f us %9.2f us %8.1f /s\n", design, f.cpuPerSecond * 1000,
                f.wakeUpsPerSecond, f.p50, f.p95, f.redrawUs, f.tickUs, f.pointerMovesPerSecond);
}

// A costume as an artist might draw it at `detail`: noise on a see-through ground, as a PNG.
void SaveCostume(const std::filesystem::path& file, int detail, unsigned seed) {
    const int w = 77 * detail, h = 126 * detail;
    artgen::Image image(w, h, artgen::kBlack);
    std::vector<bool> transparent(static_cast<size_t>(w) * h, true);
    std::mt19937 rng(seed);
    for (int y = h / 3; y < h; ++y)
        for (int x = w / 5; x < 4 * w / 5; ++x) {
            const auto v = static_cast<uint8_t>(rng() & 0xFC);
            image.at(x, y) = {v, static_cast<uint8_t>(v / 2), static_cast<uint8_t>(255 - v)};
            transparent[static_cast<size_t>(y) * w + x] = false;
        }
    artgen::WriteFile(file, artgen::EncodePng(image, transparent));
}

// In a fresh process: start-up with the costume folders under `appData`, to the window shown and drawn, then to the
// folders read once the window has handled what start-up posted it. Written to `result` in milliseconds.
int StartOnce(const char* appData, const char* result) {
    const auto start = Clock::now();
    const auto ms = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
    SetEnvironmentVariableA("APPDATA", appData);
    platform::Owned<SitterWindow> sitter(Startup::Run());
    if (!sitter.Create()) return 1;
    sitter.Show(SW_SHOWNA);
    UpdateWindow(sitter.hwnd());
    const double shown = ms();
    platform::ProcessPendingEvents();
    const double read = ms();
    FILE* out = std::fopen(result, "w");
    if (!out) return 1;
    std::fprintf(out, "%.2f %.2f\n", shown, read);
    std::fclose(out);
    return 0;
}

// One fresh start-up with the costume folders under `appData`: to the window shown, and to the folders read.
std::pair<double, double> FreshStart(const std::filesystem::path& appData) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string result = (appData / "start.txt").string();
    std::string command = "sitter_bench start \"" + appData.string() + "\" \"" + result + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return {};
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess), CloseHandle(process.hThread);
    std::pair<double, double> ms{};
    if (FILE* in = std::fopen(result.c_str(), "r")) {
        if (std::fscanf(in, "%lf %lf", &ms.first, &ms.second) != 2) ms = {};
        std::fclose(in);
    }
    return ms;
}

// Start-up with 0 and with 100 costumes in each folder, in turns so that the machine's load falls on both alike, and
// switching to a folder's costume. Leaves the process's %APPDATA% on the full folders.
void CostumeFigures(const std::filesystem::path& root) {
    std::filesystem::remove_all(root);
    const std::filesystem::path empty = root / "empty", full = root / "full";
    for (const auto& appData : {empty, full})
        for (const char* layer : {"Costume 1", "Costume 2"}) std::filesystem::create_directories(appData / "Pellory/Costumes" / layer);
    for (int n = 0; n < 100; ++n)
        for (unsigned f = 0; f < 2; ++f)
            SaveCostume(full / "Pellory/Costumes" / (f == 0 ? "Costume 1" : "Costume 2") / ("costume " + std::to_string(n) + ".png"),
                        1 + n % 4, unsigned(n) + 100 * f);
    std::vector<double> shown[2], read[2];
    for (int i = 0; i < 15; ++i)
        for (size_t f = 0; f < 2; ++f) {
            const auto [s, r] = FreshStart(f == 0 ? empty : full);
            shown[f].push_back(s), read[f].push_back(r);
        }
    const double emptyShown = Percentile(shown[0], 0.5), fullShown = Percentile(shown[1], 0.5);
    std::printf("start-up to the window shown (15 fresh processes each, medians): %.1f ms with 0 costumes in each folder, "
                "%.1f ms with 100 (%+.1f ms); the folders read after it, at %.1f and %.1f ms\n",
                emptyShown, fullShown, fullShown - emptyShown, Percentile(read[0], 0.5), Percentile(read[1], 0.5));

    SetEnvironmentVariableW(L"APPDATA", full.c_str());
    CharacterPictures pictures;
    for (auto [picture, id] : {std::pair{&pictures.base, IDB_BASE}, {&pictures.blinkHalf, IDB_BLINK_HALF},
                               {&pictures.blinkClosed, IDB_BLINK_CLOSED}, {&pictures.costume[1], IDB_COSTUME2_BEFORE_FIRST + 1}})
        picture->CreateFromPicture(platform::LoadBitmapResource(id).get());
    FrameSet frames;
    for (const auto& [file, detail] : {std::pair("costume 0.png", 1), {"costume 3.png", 4}})
        for (const double scale : {1.0, 3.0}) {
            std::vector<double> us;
            for (int i = 0; i < 15; ++i)
                us.push_back(MicrosecondsPer(1, [&] {
                    Dress(pictures, Layer::One, LoadFolderCostume(Layer::One, file));
                    frames.Compose(pictures, POINT{16, 24}, scale);
                }));
            std::printf("switching to a folder's costume drawn at %dx, at scale %.0f (decode and compose): %.1f ms (median)\n",
                        detail, scale, Percentile(us, 0.5) / 1000);
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "start") == 0) return StartOnce(argv[2], argv[3]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sitter_bench SECONDS PERCH_EXE [WINESERVER_PID]\n");
        return 2;
    }
    const double seconds = std::max(1.0, std::atof(argv[1]));
    const std::string perchExe = argv[2], serverPid = argc > 3 ? argv[3] : "";
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    SetWindowsHookExA(WH_GETMESSAGE, &CountWakeUps, nullptr, GetCurrentThreadId());

    // The window sat on belongs to another program, as it would.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + perchExe + "\" 100 300 500 300 Perch";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    HWND perch = nullptr;
    for (int i = 0; i < 100 && !(perch = FindWindowA("Pellory.Perch", "Perch")); ++i) Sleep(100);
    if (!perch) return 1;
    SetForegroundWindow(perch);

    const std::filesystem::path appData = std::filesystem::temp_directory_path() / "pellory-sitter-bench";
    CostumeFigures(appData);
    std::printf("%-40s %13s %12s %10s %10s %12s %12s %11s\n", "design", "idle CPU", "wake-ups", "p50", "p95", "redraw",
                "still tick", "pointer");
    Figures literal{}, poll{}, events{}, global{};
    {
        const double tpp = 1440.0 / 96;
        platform::Owned<LiteralCharacter> character(perch, SeatMetrics{static_cast<int32_t>(92 * tpp), SIZE{77, 126}, tpp, tpp});
        character.Run();
        literal = Measure(seconds, serverPid, perch, [&] { return character.Bounds(); }, [] {});
        character.tickTimer.SetEnabled(false), character.redrawTimer.SetEnabled(false);
        platform::WindowDC dc(character.hwnd());
        literal.redrawUs = MicrosecondsPer(20000, [&] { character.Redraw(dc.get()); });
        literal.tickUs = MicrosecondsPer(5000, [&] { character.Tick(); });
        Print("literal (every 10 and 25 ms)", literal);
    }
    {
        platform::Owned<SitterWindow> character(Startup::Run());
        character.Create();
        character.Show(SW_SHOWNA);
        SetForegroundWindow(perch);
        poll = Measure(seconds, serverPid, perch, [&] { return character.Bounds(); }, [] {}, false, character.Watches());
        // A redraw that changes the frame: one copy of a composed frame. A still tick: one step of following
        // with nothing changed.
        {
            CharacterPictures pictures;
            for (auto [picture, id] : {std::pair{&pictures.base, IDB_BASE}, {&pictures.blinkHalf, IDB_BLINK_HALF},
                                       {&pictures.blinkClosed, IDB_BLINK_CLOSED},
                                       {&pictures.costume[0], IDB_COSTUME1_BEFORE_FIRST + 1},
                                       {&pictures.costume[1], IDB_COSTUME2_BEFORE_FIRST + 1}})
                picture->CreateFromPicture(platform::LoadBitmapResource(id).get());
            FrameSet frames;
            // Composing the six frames, once per scale: into the frames of another scale, as a change of scale
            // does, and again at the same one, as a costume change does.
            for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
                std::vector<double> anew, again;
                for (int i = 0; i < 51; ++i) {
                    anew.push_back(MicrosecondsPer(1, [&] { frames.Compose(pictures, POINT{16, 24}, scale); }));
                    again.push_back(MicrosecondsPer(1, [&] { frames.Compose(pictures, POINT{16, 24}, scale); }));
                    frames.Compose(pictures, POINT{16, 24}, scale == 1.0 ? 2.0 : 1.0);
                }
                std::printf("six frames composed at scale %.1f: %7.0f us at a new scale, %7.0f us again (medians)\n", scale,
                            Percentile(anew, 0.5), Percentile(again, 0.5));
            }
            frames.Compose(pictures, POINT{16, 24}, 1.0);
            platform::WindowDC dc(character.hwnd());
            int i = 0;
            poll.redrawUs = MicrosecondsPer(20000, [&] { frames.Show(dc.get(), ++i % 2 ? BlinkPhase::Closed : BlinkPhase::Open, false); });
            const SystemDesktop desktop;
            Follower follower(desktop);
            const double tpp = 1440.0 / 96;
            Follower::Character me{character.hwnd(), nullptr, character.Bounds(), 0, {1380, {77, 126}, tpp, tpp}};
            me.bounds = follower.OnPoll(me, GetTickCount64()).seat.bounds;
            poll.tickUs = MicrosecondsPer(5000, [&] { follower.OnPoll(me, GetTickCount64()); });
        }
        Print("change-driven, poll alone (Wine)", poll);

        // As where the system delivers window events: two that it told of, then the slow check alone.
        for (int i = 0; i < 2; ++i) {
            SetWindowPos(perch, nullptr, 100 + 40 * i, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            WindowEvents::Deliver(nullptr, EVENT_OBJECT_LOCATIONCHANGE, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
        }
        const auto tellOfTheMove = [&] {
            WindowEvents::Deliver(nullptr, EVENT_OBJECT_LOCATIONCHANGE, perch, OBJID_WINDOW, CHILDID_SELF, 0, 0);
        };
        // The pointer moves over another program's window: a hook on every process hears of each move, the
        // hook on the followed window's process and thread hears of none.
        global = Measure(seconds, serverPid, perch, [&] { return character.Bounds(); }, tellOfTheMove, true, character.Watches());
        global.redrawUs = poll.redrawUs, global.tickUs = poll.tickUs;
        Print("change-driven, events, hook on all", global);
        events = Measure(seconds, serverPid, perch, [&] { return character.Bounds(); }, tellOfTheMove, false, character.Watches());
        events.redrawUs = poll.redrawUs, events.tickUs = poll.tickUs;
        Print("change-driven, events, hook followed", events);
    }
    std::printf("ratios to literal: idle CPU poll %.2f, events hook on all %.2f, hook followed %.2f; wake-ups poll %.2f, "
                "hook on all %.2f, hook followed %.2f\n",
                poll.cpuPerSecond / literal.cpuPerSecond, global.cpuPerSecond / literal.cpuPerSecond,
                events.cpuPerSecond / literal.cpuPerSecond, poll.wakeUpsPerSecond / literal.wakeUpsPerSecond,
                global.wakeUpsPerSecond / literal.wakeUpsPerSecond, events.wakeUpsPerSecond / literal.wakeUpsPerSecond);
    PostMessageA(perch, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    std::filesystem::remove_all(appData);
    return 0;
}
