// winprobe: looks at and drives windows from outside, for the end-to-end scripts.
//
//   winprobe --desktop NAME COMMAND ARGS...
//
//   find CLASS TITLE                  print the window's handle ("-" for any class or title)
//   info TARGET                       key=value lines describing the window
//   close TARGET                      post WM_CLOSE
//   activate TARGET [--wait MS]       SetForegroundWindow; with --wait, until it is in the foreground
//   move TARGET LEFT TOP WIDTH HEIGHT SetWindowPos without changing the z-order
//   show TARGET maximize|restore      ShowWindowAsync with that command
//   list                              every top-level window: handle, visibility, rect, class, title
//   children TARGET                   every child window: handle, visibility, rect, class, text
//   monitors                          every monitor: LEFT TOP RIGHT BOTTOM, "primary" after the primary's
//   procs                             every process of the Wine prefix: PID EXE
//   wait-exit PID [--wait MS]         succeed once the process has ended
//   kill PID                          TerminateProcess, for cleaning up after a failed test
//   run EXE [--wait MS]               start EXE on the desktop and wait for it: prints its exit code and
//                                     the milliseconds it ran; fails (and ends it) if it outlives MS
//   appear CLASS TITLE [--wait MS]    wait for such a window to be shown: prints its handle, its rect and the
//                                     foreground window at the moment it was first seen visible
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

// Polls `probe` every millisecond until it returns true or `waitMs` has passed (0: a single try).
template <typename Probe>
bool WaitFor(long long waitMs, Probe probe) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        if (probe()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(1);
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

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{sizeof info, {}, {}, 0};
    GetMonitorInfoA(monitor, &info);
    const RECT& r = info.rcMonitor;
    std::printf("%ld %ld %ld %ld%s\n", r.left, r.top, r.right, r.bottom, info.dwFlags & MONITORINFOF_PRIMARY ? " primary" : "");
    return TRUE;
}

int Info(HWND h) {
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    const auto exStyle = static_cast<unsigned long>(GetWindowLongA(h, GWL_EXSTYLE));
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char title[512] = {};
    GetWindowTextA(h, title, sizeof title);
    COLORREF key = 0;
    DWORD flags = 0;
    const bool layered = (exStyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(h, &key, nullptr, &flags);
    std::printf("title=%s\npid=%lu\nrect=%ld %ld %ld %ld\nclient=%ld %ld\ntopmost=%s\nvisible=%s\n", title, pid, wr.left,
                wr.top, wr.right, wr.bottom, cr.right, cr.bottom, YesNo(exStyle & WS_EX_TOPMOST), YesNo(IsWindowVisible(h)));
    std::printf("layered=%s\nlayered_key=0x%06lx\nlayered_flags=0x%lx\nforeground=0x%llx\n", YesNo(layered), key, flags,
                Value(GetForegroundWindow()));
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

// Puts the window at L T W H, keeping its z-order.
int Move(HWND h, const std::vector<const char*>& args) {
    long long v[4] = {};
    for (size_t i = 1; i < args.size(); ++i)
        if (!ParseNumber(args[i], v[i - 1])) return kUsage;
    return SetWindowPos(h, nullptr, static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                        static_cast<int>(v[3]), SWP_NOZORDER | SWP_NOACTIVATE) ? kDone : kNotFound;
}

// On the desktop we attached to: a process inherits its parent's, not the thread's.
int RunProgram(const char* desktop, const char* exe, long long waitMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = const_cast<char*>(desktop);
    PROCESS_INFORMATION process{};
    const ULONGLONG start = GetTickCount64();
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return kNotFound;
    const bool ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(waitMs)) == WAIT_OBJECT_0;
    DWORD code = 0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("%lu %llu\n", code, GetTickCount64() - start);
    return ended ? kDone : kNotFound;  // the handles close with our process
}

int Run(const std::string& command, const std::vector<const char*>& args, long long waitMs, const char* desktop) {
    const size_t n = args.size();
    long long pid = 0;
    if (command == "find" && n == 2) {
        const char* cls = std::strcmp(args[0], "-") != 0 ? args[0] : nullptr;
        HWND found = FindWindowA(cls, std::strcmp(args[1], "-") != 0 ? args[1] : nullptr);
        if (found == nullptr) return kNotFound;
        std::printf("0x%llx\n", Value(found));
        return kDone;
    }
    if (command == "run" && n == 1) return RunProgram(desktop, args[0], waitMs);
    if (command == "appear" && n == 2) {
        const char* cls = std::strcmp(args[0], "-") != 0 ? args[0] : nullptr;
        const char* title = std::strcmp(args[1], "-") != 0 ? args[1] : nullptr;
        HWND shown = nullptr;
        RECT r{};
        HWND foreground = nullptr;
        // Looked at every millisecond or so: what the user sees first, not a moment later.
        const bool appeared = WaitFor(waitMs, [&] {
            shown = FindWindowA(cls, title);
            if (!shown || !IsWindowVisible(shown)) return false;
            GetWindowRect(shown, &r);
            foreground = GetForegroundWindow();
            return true;
        });
        if (!appeared) return kNotFound;
        std::printf("0x%llx %ld %ld %ld %ld 0x%llx\n", Value(shown), r.left, r.top, r.right, r.bottom, Value(foreground));
        return kDone;
    }
    if (command == "list" && n == 0) return EnumWindows(PrintLine, FALSE), kDone;
    if (command == "procs" && n == 0) return Procs();
    if (command == "monitors" && n == 0) return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0), kDone;
    if ((command == "wait-exit" || command == "kill") && n == 1 && ParseNumber(args[0], pid)) {
        const bool kill = command == "kill";
        HANDLE process = OpenProcess(SYNCHRONIZE | (kill ? PROCESS_TERMINATE : 0), FALSE, static_cast<DWORD>(pid));
        if (process == nullptr) return kill ? kNotFound : kDone;  // no such process any more
        if (kill) TerminateProcess(process, 1);
        const bool ended = WaitForSingleObject(process, kill ? 5000 : static_cast<DWORD>(waitMs)) == WAIT_OBJECT_0;
        return ended ? kDone : kNotFound;  // the handle closes with our process
    }

    // The rest act on a window that exists.
    if (n == 0) return kUsage;
    HWND h = FindTarget(args[0]);
    if (h == nullptr) return kNotFound;
    if (command == "info" && n == 1) return Info(h);
    if (command == "children" && n == 1) return EnumChildWindows(h, PrintLine, TRUE), kDone;
    if (command == "move" && n == 5) return Move(h, args);
    if (command == "close" && n == 1) return PostMessageA(h, WM_CLOSE, 0, 0) ? kDone : kNotFound;
    if (command == "activate" && n == 1) {
        SetForegroundWindow(h);
        return WaitFor(waitMs, [&] { return GetForegroundWindow() == h; }) ? kDone : kNotFound;
    }
    if (command == "show" && n == 2) {
        const std::string how = args[1];
        if (how != "maximize" && how != "restore") return kUsage;
        // Async: the window's own thread does it, as when the user clicks its caption buttons.
        return ShowWindowAsync(h, how == "maximize" ? SW_MAXIMIZE : SW_RESTORE) ? kDone : kNotFound;
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

    // Deliberately never closed: the thread uses the desktop until the process ends.
    HDESK desk = argc > 3 && std::strcmp(argv[1], "--desktop") == 0 ? OpenDesktopA(argv[2], 0, FALSE, GENERIC_ALL) : nullptr;
    if (desk == nullptr || !SetThreadDesktop(desk)) {
        std::fprintf(stderr, "winprobe: no desktop to attach to (error %lu)\n", GetLastError());
        return kNotFound;
    }
    std::vector<const char*> args;
    long long waitMs = 0;
    bool ok = true;
    for (int i = 4; ok && i < argc; ++i) {
        if (std::strcmp(argv[i], "--wait") != 0) {
            args.push_back(argv[i]);
        } else {
            ok = ++i < argc && ParseNumber(argv[i], waitMs);
        }
    }
    const int rc = ok ? Run(argv[3], args, waitMs, argv[2]) : kUsage;
    if (rc == kUsage) std::fprintf(stderr, "usage: winprobe --desktop NAME COMMAND ARGS... (see winprobe.cpp)\n");
    return rc;
}
