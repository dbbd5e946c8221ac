// winprobe: looks at and drives windows from outside, for the end-to-end scripts.
//
//   winprobe [--desktop NAME] COMMAND ARGS...
//
//   find CLASS [TITLE] [--wait MS]    print the window's handle ("-" for any class or title)
//   info TARGET [--wait MS]           key=value lines describing the window
//   close TARGET [--wait MS]          post WM_CLOSE; with --wait, until the window is gone
//   gone TARGET [--wait MS]           succeed once no such window exists
//   activate TARGET [--wait MS]       SetForegroundWindow; with --wait, until it is in the foreground
//   move TARGET LEFT TOP WIDTH HEIGHT SetWindowPos without changing the z-order
//   show TARGET maximize|minimize|restore   ShowWindowAsync with that command
//   follow MOVED L T W H WATCHED X Y [--wait MS]
//                                     moves MOVED like `move`, then watches WATCHED until its top left
//                                     corner is at X, Y: prints the milliseconds that took
//   list                              every top-level window: handle, visibility, rect, class, title
//   children TARGET                   every child window: handle, visibility, rect, class, text
//   procs                             every process of the Wine prefix: PID EXE
//   wait-exit PID [--wait MS]         succeed once the process has ended
//   kill PID                          TerminateProcess, for cleaning up after a failed test
//
// winprobe declares itself DPI aware, so every rectangle it prints is in physical pixels, as a
// DPI-aware program sees them, whatever the system DPI.
//
// TARGET is a handle (0x...) or a window class name. Exit codes: 0 done, 1 not found or not done,
// 2 bad usage. --desktop attaches to a named desktop first, e.g. a Wine virtual desktop started by
// `explorer /desktop=NAME,WxH`, whose windows are invisible from any other desktop.
#include <windows.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kDone = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

unsigned long long Value(HWND h) { return reinterpret_cast<std::uintptr_t>(h); }
const char* YesNo(bool b) { return b ? "yes" : "no"; }

std::string ClassOf(HWND h) {
    char buf[256] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

// WM_GETTEXT reads what an edit field holds; GetWindowText would not, across processes.
std::string TextOf(HWND h) {
    char buf[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &copied);
    buf[sizeof buf - 1] = '\0';
    return buf;
}

bool ParseNumber(const char* text, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 0);
    return end != text && *end == '\0';
}

// A handle given as 0x... (or decimal), else the first window of that class.
HWND FindTarget(const char* target) {
    long long value = 0;
    if (!ParseNumber(target, value)) return FindWindowA(target, nullptr);
    HWND h = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    return IsWindow(h) ? h : nullptr;
}

// Polls `probe` every 5 ms until it returns true or `waitMs` has passed (0: a single try).
template <typename Probe>
bool WaitFor(long long waitMs, Probe probe) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        if (probe()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(5);
    }
}

BOOL CALLBACK PrintLine(HWND h, LPARAM isChild) {
    RECT r{};
    GetWindowRect(h, &r);
    char title[512] = {};
    if (!isChild) GetWindowTextA(h, title, sizeof title);
    std::printf("0x%llx visible=%s rect=%ld,%ld,%ld,%ld class=%s %s=%s\n", Value(h), YesNo(IsWindowVisible(h)),
                r.left, r.top, r.right, r.bottom, ClassOf(h).c_str(), isChild ? "text" : "title",
                isChild ? TextOf(h).c_str() : title);
    return TRUE;
}

int Info(HWND h) {
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    const auto exStyle = static_cast<unsigned long>(GetWindowLongA(h, GWL_EXSTYLE));
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(h, &pid);
    char title[512] = {};
    GetWindowTextA(h, title, sizeof title);
    std::printf("hwnd=0x%llx\nclass=%s\ntitle=%s\npid=%lu\n", Value(h), ClassOf(h).c_str(), title, pid);
    std::printf("rect=%ld %ld %ld %ld\nclient=%ld %ld\n", wr.left, wr.top, wr.right, wr.bottom, cr.right, cr.bottom);
    std::printf("style=0x%08lx\nexstyle=0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(h, GWL_STYLE)), exStyle);
    std::printf("topmost=%s\nvisible=%s\n", YesNo(exStyle & WS_EX_TOPMOST), YesNo(IsWindowVisible(h)));
    COLORREF key = 0;
    DWORD flags = 0;
    const bool layered = (exStyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(h, &key, nullptr, &flags);
    std::printf("layered=%s\n", YesNo(layered));
    if (layered) std::printf("layered_key=0x%06lx\nlayered_flags=0x%lx\n", key, flags);
    std::printf("foreground=0x%llx\n", Value(GetForegroundWindow()));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus != nullptr) {
        std::printf("focus=0x%llx %s\n", Value(gui.hwndFocus), ClassOf(gui.hwndFocus).c_str());
    } else {
        std::printf("focus=none\n");
    }
    return kDone;
}

int Procs() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return kNotFound;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry))
        std::printf("%lu %s\n", entry.th32ProcessID, entry.szExeFile);
    CloseHandle(snap);
    return kDone;
}

// Parses L T W H from args[first..] and puts the window there, keeping its z-order.
bool MoveTo(HWND h, const std::vector<const char*>& args, size_t first) {
    long long v[4] = {};
    for (size_t i = 0; i < 4; ++i)
        if (!ParseNumber(args[first + i], v[i])) return false;
    return SetWindowPos(h, nullptr, static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                        static_cast<int>(v[3]), SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

int Follow(HWND moved, const std::vector<const char*>& args, long long waitMs) {
    long long x = 0, y = 0;
    HWND watched = FindTarget(args[5]);
    if (!ParseNumber(args[6], x) || !ParseNumber(args[7], y)) return kUsage;
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (watched == nullptr || !MoveTo(moved, args, 1)) return kNotFound;
    const bool followed = WaitFor(waitMs, [&] {
        RECT r{};
        return GetWindowRect(watched, &r) && r.left == x && r.top == y;
    });
    if (!followed) return kNotFound;
    QueryPerformanceCounter(&now);
    std::printf("%lld\n", (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    return kDone;
}

int Run(const std::string& command, const std::vector<const char*>& args, long long waitMs) {
    const size_t n = args.size();
    long long pid = 0;
    if (command == "find" && (n == 1 || n == 2)) {
        const char* cls = std::strcmp(args[0], "-") != 0 ? args[0] : nullptr;
        const char* title = n == 2 && std::strcmp(args[1], "-") != 0 ? args[1] : nullptr;
        HWND found = nullptr;
        if (!WaitFor(waitMs, [&] { return (found = FindWindowA(cls, title)) != nullptr; })) return kNotFound;
        std::printf("0x%llx\n", Value(found));
        return kDone;
    }
    if (command == "list" && n == 0) return EnumWindows(PrintLine, FALSE), kDone;
    if (command == "procs" && n == 0) return Procs();
    if ((command == "wait-exit" || command == "kill") && n == 1 && ParseNumber(args[0], pid)) {
        const bool kill = command == "kill";
        HANDLE process = OpenProcess(SYNCHRONIZE | (kill ? PROCESS_TERMINATE : 0), FALSE, static_cast<DWORD>(pid));
        if (process == nullptr) return kill ? kNotFound : kDone;  // no such process any more
        if (kill) TerminateProcess(process, 1);
        const DWORD ms = kill ? 5000 : static_cast<DWORD>(waitMs < 0 ? 0 : waitMs);
        const bool ended = WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
        CloseHandle(process);
        return ended ? kDone : kNotFound;
    }
    if (command == "gone" && n == 1)
        return WaitFor(waitMs, [&] { return FindTarget(args[0]) == nullptr; }) ? kDone : kNotFound;

    // The rest act on a window that exists.
    if (n == 0) return kUsage;
    HWND h = nullptr;
    const long long findMs = command == "info" ? waitMs : 0;
    if (!WaitFor(findMs, [&] { return (h = FindTarget(args[0])) != nullptr; })) return kNotFound;
    if (command == "info" && n == 1) return Info(h);
    if (command == "children" && n == 1) return EnumChildWindows(h, PrintLine, TRUE), kDone;
    if (command == "move" && n == 5) return MoveTo(h, args, 1) ? kDone : kNotFound;
    if (command == "follow" && n == 8) return Follow(h, args, waitMs);
    if (command == "close" && n == 1) {
        PostMessageA(h, WM_CLOSE, 0, 0);
        return waitMs <= 0 || WaitFor(waitMs, [&] { return !IsWindow(h); }) ? kDone : kNotFound;
    }
    if (command == "activate" && n == 1) {
        SetForegroundWindow(h);
        return WaitFor(waitMs, [&] { return GetForegroundWindow() == h; }) ? kDone : kNotFound;
    }
    if (command == "show" && n == 2) {
        const std::string how = args[1];
        const int show = how == "maximize" ? SW_MAXIMIZE : how == "minimize" ? SW_MINIMIZE : SW_RESTORE;
        if (how != "maximize" && how != "minimize" && how != "restore") return kUsage;
        // Async: the window's own thread does it, as when the user clicks its caption buttons.
        return ShowWindowAsync(h, show) ? kDone : kNotFound;
    }
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // Plain "\n" line ends for the shell scripts that read us.
    _setmode(_fileno(stdout), _O_BINARY);
    setvbuf(stdout, nullptr, _IONBF, 0);
    // Physical pixels at any DPI: an unaware process would be shown scaled coordinates.
    SetProcessDPIAware();

    int next = 1;
    if (next + 1 < argc && std::strcmp(argv[next], "--desktop") == 0) {
        // Deliberately never closed: the thread uses the desktop until the process ends.
        HDESK desk = OpenDesktopA(argv[next + 1], 0, FALSE, GENERIC_ALL);
        if (desk == nullptr || !SetThreadDesktop(desk)) {
            std::fprintf(stderr, "winprobe: cannot attach to desktop %s (error %lu)\n", argv[next + 1], GetLastError());
            return kNotFound;
        }
        next += 2;
    }
    std::vector<const char*> args;
    long long waitMs = 0;
    bool ok = next < argc;
    for (int i = next + 1; ok && i < argc; ++i) {
        if (std::strcmp(argv[i], "--wait") != 0) {
            args.push_back(argv[i]);
        } else {
            ok = ++i < argc && ParseNumber(argv[i], waitMs);
        }
    }
    const int rc = ok ? Run(argv[next], args, waitMs) : kUsage;
    if (rc == kUsage) std::fprintf(stderr, "usage: winprobe [--desktop NAME] COMMAND ARGS... (see winprobe.cpp)\n");
    return rc;
}
