// winprobe: looks at top-level windows from outside, for the end-to-end scripts.
//
//   winprobe [--desktop NAME] COMMAND ARGS...
//
//   find CLASS [TITLE] [--wait MS]    print the window's handle ("-" for any class or title)
//   info TARGET                       key=value lines describing the window
//   close TARGET [--wait MS]          post WM_CLOSE; with --wait, until the window is gone
//   gone TARGET [--wait MS]           succeed once no such window exists
//   foreground                        the foreground window: handle, class, title
//   activate TARGET                   SetForegroundWindow
//   move TARGET LEFT TOP WIDTH HEIGHT SetWindowPos without changing the z-order
//   list                              every top-level window, one per line
//   procs                             every process of the Wine prefix: PID EXE
//   wait-exit PID [--wait MS]         succeed once the process has ended
//   kill PID                          TerminateProcess, for cleaning up after a failed test
//   children TARGET                   every child window: handle, visibility, screen rect, class, text
//   text TARGET                       the window's text as WM_GETTEXT gives it (edit fields too)
//   dpi                               the system DPI and the caption and border metrics
//   show TARGET maximize|minimize|restore   ShowWindowAsync with that command
//   follow MOVED L T W H WATCHED X Y [--wait MS]
//                                     moves MOVED like `move`, then watches WATCHED until its top left
//                                     corner is at X, Y: prints the milliseconds that took
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

#include "platform/handles.h"

namespace {

constexpr int kDone = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

unsigned long long HandleValue(HWND h) { return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)); }

std::string ClassOf(HWND h) {
    char buf[256] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

std::string TitleOf(HWND h) {
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
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
    if (ParseNumber(target, value)) {
        HWND h = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
        return IsWindow(h) ? h : nullptr;
    }
    return FindWindowA(target, nullptr);
}

// Polls `probe` every 20 ms until it returns true or `waitMs` has passed (0: a single try).
template <typename Probe>
bool WaitFor(long long waitMs, Probe probe) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        if (probe()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

struct Args {
    std::vector<const char*> positional;
    long long waitMs = 0;
    bool ok = true;
};

Args SplitArgs(int argc, char** argv, int first) {
    Args a;
    for (int i = first; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wait") == 0) {
            if (i + 1 >= argc || !ParseNumber(argv[i + 1], a.waitMs)) a.ok = false;
            ++i;
        } else {
            a.positional.push_back(argv[i]);
        }
    }
    return a;
}

const char* YesNo(bool b) { return b ? "yes" : "no"; }

int Find(const Args& a) {
    if (a.positional.empty() || a.positional.size() > 2) return kUsage;
    const char* cls = std::strcmp(a.positional[0], "-") == 0 ? nullptr : a.positional[0];
    const char* title = a.positional.size() > 1 && std::strcmp(a.positional[1], "-") != 0 ? a.positional[1] : nullptr;
    HWND found = nullptr;
    if (!WaitFor(a.waitMs, [&] { return (found = FindWindowA(cls, title)) != nullptr; })) return kNotFound;
    std::printf("0x%llx\n", HandleValue(found));
    return kDone;
}

// The visible frame as the desktop window manager reports it (DWMWA_EXTENDED_FRAME_BOUNDS), when it does.
bool ExtendedFrameBounds(HWND h, RECT& out) {
    using Query = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    HMODULE dwm = LoadLibraryExA("dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dwm == nullptr) return false;
    const auto query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")));
    RECT r{};
    const bool ok = query != nullptr && SUCCEEDED(query(h, 9, &r, sizeof r)) && r.right > r.left && r.bottom > r.top;
    FreeLibrary(dwm);
    if (ok) out = r;
    return ok;
}

std::string TextOf(HWND h) {
    char buf[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &copied);
    buf[sizeof buf - 1] = '\0';
    return buf;
}

int Info(const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    HWND h = nullptr;
    if (!WaitFor(a.waitMs, [&] { return (h = FindTarget(a.positional[0])) != nullptr; })) return kNotFound;

    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    const auto style = static_cast<unsigned long>(GetWindowLongA(h, GWL_STYLE));
    const auto exStyle = static_cast<unsigned long>(GetWindowLongA(h, GWL_EXSTYLE));
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);

    std::printf("hwnd=0x%llx\n", HandleValue(h));
    std::printf("class=%s\n", ClassOf(h).c_str());
    std::printf("title=%s\n", TitleOf(h).c_str());
    std::printf("pid=%lu\n", static_cast<unsigned long>(pid));
    std::printf("rect=%ld %ld %ld %ld\n", wr.left, wr.top, wr.right, wr.bottom);
    std::printf("client=%ld %ld\n", cr.right - cr.left, cr.bottom - cr.top);
    std::printf("style=0x%08lx\n", style);
    std::printf("exstyle=0x%08lx\n", exStyle);
    std::printf("topmost=%s\n", YesNo((exStyle & WS_EX_TOPMOST) != 0));
    std::printf("visible=%s\n", YesNo(IsWindowVisible(h) != FALSE));
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if ((exStyle & WS_EX_LAYERED) != 0 && GetLayeredWindowAttributes(h, &key, &alpha, &flags)) {
        std::printf("layered=yes\n");
        std::printf("layered_key=0x%06lx\n", static_cast<unsigned long>(key));
        std::printf("layered_alpha=%u\n", static_cast<unsigned>(alpha));
        std::printf("layered_flags=0x%lx\n", static_cast<unsigned long>(flags));
    } else {
        std::printf("layered=no\n");
    }
    std::printf("foreground=0x%llx\n", HandleValue(GetForegroundWindow()));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gui) && gui.hwndFocus != nullptr) {
        std::printf("focus=0x%llx %s\n", HandleValue(gui.hwndFocus), ClassOf(gui.hwndFocus).c_str());
    } else {
        std::printf("focus=none\n");
    }
    RECT frame{};
    if (ExtendedFrameBounds(h, frame)) {
        std::printf("frame=%ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    } else {
        std::printf("frame=none\n");
    }
    return kDone;
}

int Close(const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    HWND h = FindTarget(a.positional[0]);
    if (h == nullptr) return kNotFound;
    PostMessageA(h, WM_CLOSE, 0, 0);
    if (a.waitMs <= 0) return kDone;
    return WaitFor(a.waitMs, [&] { return !IsWindow(h); }) ? kDone : kNotFound;
}

int Gone(const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    return WaitFor(a.waitMs, [&] { return FindTarget(a.positional[0]) == nullptr; }) ? kDone : kNotFound;
}

int Foreground(const Args& a) {
    if (!a.positional.empty()) return kUsage;
    HWND h = GetForegroundWindow();
    std::printf("0x%llx %s %s\n", HandleValue(h), h ? ClassOf(h).c_str() : "-", h ? TitleOf(h).c_str() : "-");
    return kDone;
}

int Activate(const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    HWND h = FindTarget(a.positional[0]);
    if (h == nullptr) return kNotFound;
    SetForegroundWindow(h);
    return WaitFor(a.waitMs, [&] { return GetForegroundWindow() == h; }) ? kDone : kNotFound;
}

int Move(const Args& a) {
    if (a.positional.size() != 5) return kUsage;
    long long v[4] = {};
    for (int i = 0; i < 4; ++i)
        if (!ParseNumber(a.positional[static_cast<size_t>(i) + 1], v[i])) return kUsage;
    HWND h = FindTarget(a.positional[0]);
    if (h == nullptr) return kNotFound;
    const BOOL moved = SetWindowPos(h, nullptr, static_cast<int>(v[0]), static_cast<int>(v[1]),
                                    static_cast<int>(v[2]), static_cast<int>(v[3]), SWP_NOZORDER | SWP_NOACTIVATE);
    return moved ? kDone : kNotFound;
}

int Follow(const Args& a) {
    if (a.positional.size() != 8) return kUsage;
    long long v[6] = {};  // L T W H of the move, X Y of the watched corner
    for (size_t i = 0; i < 6; ++i) {
        const size_t at = i < 4 ? i + 1 : i + 2;
        if (!ParseNumber(a.positional[at], v[i])) return kUsage;
    }
    HWND moved = FindTarget(a.positional[0]);
    HWND watched = FindTarget(a.positional[5]);
    if (moved == nullptr || watched == nullptr) return kNotFound;
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!SetWindowPos(moved, nullptr, static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                      static_cast<int>(v[3]), SWP_NOZORDER | SWP_NOACTIVATE)) {
        return kNotFound;
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(a.waitMs < 0 ? 0 : a.waitMs);
    for (;;) {
        RECT r{};
        GetWindowRect(watched, &r);
        if (r.left == v[4] && r.top == v[5]) break;
        if (GetTickCount64() >= deadline) return kNotFound;
        Sleep(1);
    }
    QueryPerformanceCounter(&now);
    std::printf("%lld\n", (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    return kDone;
}

BOOL CALLBACK ListOne(HWND h, LPARAM) {
    RECT r{};
    GetWindowRect(h, &r);
    std::printf("0x%llx visible=%s rect=%ld,%ld,%ld,%ld class=%s title=%s\n", HandleValue(h),
                YesNo(IsWindowVisible(h) != FALSE), r.left, r.top, r.right, r.bottom, ClassOf(h).c_str(),
                TitleOf(h).c_str());
    return TRUE;
}

int List(const Args& a) {
    if (!a.positional.empty()) return kUsage;
    EnumWindows(ListOne, 0);
    return kDone;
}

int Procs(const Args& a) {
    if (!a.positional.empty()) return kUsage;
    HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE) return kNotFound;
    platform::UniqueKernelHandle snap(raw);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap.get(), &entry); more; more = Process32Next(snap.get(), &entry))
        std::printf("%lu %s\n", static_cast<unsigned long>(entry.th32ProcessID), entry.szExeFile);
    return kDone;
}

int WaitExit(const Args& a) {
    long long pid = 0;
    if (a.positional.size() != 1 || !ParseNumber(a.positional[0], pid)) return kUsage;
    platform::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid)));
    if (!process) return kDone;  // no such process any more
    const DWORD ms = static_cast<DWORD>(a.waitMs < 0 ? 0 : a.waitMs);
    return WaitForSingleObject(process.get(), ms) == WAIT_OBJECT_0 ? kDone : kNotFound;
}

int Kill(const Args& a) {
    long long pid = 0;
    if (a.positional.size() != 1 || !ParseNumber(a.positional[0], pid)) return kUsage;
    platform::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid)));
    if (!process) return kNotFound;
    TerminateProcess(process.get(), 1);
    return WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0 ? kDone : kNotFound;
}

BOOL CALLBACK ListChild(HWND h, LPARAM) {
    RECT r{};
    GetWindowRect(h, &r);
    std::printf("0x%llx visible=%s rect=%ld,%ld,%ld,%ld class=%s text=%s\n", HandleValue(h),
                YesNo(IsWindowVisible(h) != FALSE), r.left, r.top, r.right, r.bottom, ClassOf(h).c_str(),
                TextOf(h).c_str());
    return TRUE;
}

int Children(const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    HWND h = FindTarget(a.positional[0]);
    if (h == nullptr) return kNotFound;
    EnumChildWindows(h, ListChild, 0);
    return kDone;
}

int Text(const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    HWND h = FindTarget(a.positional[0]);
    if (h == nullptr) return kNotFound;
    std::printf("%s\n", TextOf(h).c_str());
    return kDone;
}

int Show(const Args& a) {
    if (a.positional.size() != 2) return kUsage;
    const std::string how = a.positional[1];
    int command = 0;
    if (how == "maximize") {
        command = SW_MAXIMIZE;
    } else if (how == "minimize") {
        command = SW_MINIMIZE;
    } else if (how == "restore") {
        command = SW_RESTORE;
    } else {
        return kUsage;
    }
    HWND h = FindTarget(a.positional[0]);
    if (h == nullptr) return kNotFound;
    // Async: the window's own thread does it, as when the user clicks its caption buttons.
    return ShowWindowAsync(h, command) ? kDone : kNotFound;
}

int Dpi(const Args& a) {
    if (!a.positional.empty()) return kUsage;
    HDC screen = GetDC(nullptr);
    std::printf("logpixelsx=%d\n", GetDeviceCaps(screen, LOGPIXELSX));
    std::printf("logpixelsy=%d\n", GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    std::printf("cycaption=%d\n", GetSystemMetrics(SM_CYCAPTION));
    std::printf("cxborder=%d\n", GetSystemMetrics(SM_CXBORDER));
    std::printf("screen=%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return kDone;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: winprobe [--desktop NAME] find CLASS [TITLE] [--wait MS] | info TARGET | close TARGET "
                 "[--wait MS] | gone TARGET [--wait MS] | foreground | activate TARGET | move TARGET L T W H | "
                 "list | procs | wait-exit PID [--wait MS] | kill PID | children TARGET | text TARGET | dpi | show TARGET maximize|minimize|restore | follow MOVED L T W H WATCHED X Y [--wait MS]\n");
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
            std::fprintf(stderr, "winprobe: cannot attach to desktop %s (error %lu)\n", argv[next + 1],
                         static_cast<unsigned long>(GetLastError()));
            return kNotFound;
        }
        next += 2;
    }
    if (next >= argc) return Usage();

    const char* command = argv[next];
    const Args a = SplitArgs(argc, argv, next + 1);
    if (!a.ok) return Usage();

    struct Command {
        const char* name;
        int (*run)(const Args&);
    };
    static constexpr Command kCommands[] = {
        {"find", Find},         {"info", Info},   {"close", Close}, {"gone", Gone},
        {"foreground", Foreground}, {"activate", Activate}, {"move", Move}, {"list", List},
        {"procs", Procs}, {"wait-exit", WaitExit}, {"kill", Kill}, {"children", Children},
        {"text", Text}, {"dpi", Dpi}, {"show", Show}, {"follow", Follow},
    };
    for (const Command& c : kCommands) {
        if (std::strcmp(command, c.name) == 0) {
            const int rc = c.run(a);
            return rc == kUsage ? Usage() : rc;
        }
    }
    return Usage();
}
