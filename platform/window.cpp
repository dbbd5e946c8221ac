#include "platform/window.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <new>

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/host.h"
#include "platform/text.h"
#include "platform/units.h"

namespace platform {

// ---- Timer ----

Timer::Timer(Window& owner, unsigned intervalMs, bool enabled, std::function<void()> onTick)
    : owner_(owner), id_(reinterpret_cast<UINT_PTR>(this)), interval_(intervalMs), enabled_(enabled),
      onTick_(std::move(onTick)) {
    owner_.timers_.push_back(this);
    Start();
}

Timer::~Timer() {
    Stop();
    std::erase(owner_.timers_, this);
}

void Timer::SetInterval(unsigned intervalMs) {
    interval_ = intervalMs;
    Stop();
    Start();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Stop();  // enabling again restarts the interval
    Start();
}

void Timer::Start() {
    if (!enabled_ || interval_ == 0 || owner_.hwnd_ == nullptr) return;
    running_ = SetTimer(owner_.hwnd_, id_, interval_, nullptr) != 0;
}

void Timer::Stop() {
    if (running_ && owner_.hwnd_) KillTimer(owner_.hwnd_, id_);
    running_ = false;
}

// ---- Window ----

Window::Window(WindowClass windowClass) : class_(std::move(windowClass)) {}

Window::~Window() {
    // Only a window object held without Owned gets here with its window: the derived part is gone, so
    // no message may reach it any more.
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::Create() {
    if (hwnd_) return true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring className = Widen(class_.name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, className.c_str(), &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = class_.classStyle;
        wc.lpfnWndProc = &Window::WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = class_.background;
        wc.lpszClassName = className.c_str();
        RegisterClassExW(&wc);
    }
    if (!CreateWindowExW(class_.exStyle, className.c_str(), Widen(class_.title).c_str(), class_.style, 0, 0, 0, 0,
                         nullptr, nullptr, instance, this))
        RaiseCreateFailed("window '" + class_.name + "'");
    for (Timer* timer : timers_) timer->Start();
    if (OnCreate()) return true;
    Destroy();
    return false;
}

void Window::Show(int showCommand) {
    Create();
    ShowWindow(hwnd_, showCommand);
}

void Window::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Window::IsVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Window::Repaint() {
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

RECT Window::Bounds() const {
    RECT r{};
    if (hwnd_) GetWindowRect(hwnd_, &r);
    return r;
}

void Window::MoveTo(int left, int top) {
    if (hwnd_) SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetBounds(const RECT& r) {
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int Window::Dpi() const { return WindowDpi(hwnd_); }

void Window::OnDpiChanged(int, const RECT& suggested) { SetBounds(suggested); }

namespace {

// An error no handler expected: told, then the program ends through its loop with code 1.
void EndAfter(const Error& error) noexcept {
    try {
        ShowMessage(ErrorLine(error), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing left to tell it with; ending still matters.
    }
    PostQuitMessage(1);
}

}  // namespace

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // No late message may reach the object after this.
        for (Timer* timer : window->timers_) timer->running_ = false;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // A handler that fails must not unwind through the window system's own frames. The program's own errors
    // are shown and it goes on; anything else leaves it in no state to go on, so it ends through its loop.
    try {
        return window->HandleMessage(message, wParam, lParam);
    } catch (const Error& e) {
        ShowMessage(ErrorLine(e), MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        EndAfter(Error(err::OutOfMemory, ExeName(), "Out of memory"));
    } catch (const std::exception& e) {
        EndAfter(Error(err::Internal, ExeName(), std::string("Internal error: ") + e.what()));
    } catch (...) {
        EndAfter(Error(err::Internal, ExeName(), "Internal error"));
    }
    return 0;
}

namespace {

MouseButton ButtonOf(UINT message) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) return MouseButton::Left;
    return message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? MouseButton::Right : MouseButton::Middle;
}

}  // namespace

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_TIMER:
            for (Timer* timer : timers_) {
                if (timer->id_ == wParam) {
                    if (timer->enabled_) timer->onTick_();
                    return 0;
                }
            }
            break;
        case WM_PAINT:
            OnPaint(PaintDC(hwnd_).get());
            return 0;
        case WM_PRINTCLIENT:
            OnPaint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            SetCapture(hwnd_);
            OnMouseDown(ButtonOf(message), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (GetCapture() == hwnd_) ReleaseCapture();
            OnMouseUp(ButtonOf(message), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            for (Timer* timer : timers_) timer->Stop();
            OnDestroy();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

namespace {

// Dispatches what is waiting; a quit request stops it and is reported through `quitCode`.
bool DispatchWaiting(int& quitCode) {
    MSG msg;
    // Bounded, so a timer that is always due cannot keep the caller here for ever.
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            quitCode = static_cast<int>(msg.wParam);
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

bool ProcessPendingEvents() {
    int quitCode = 0;
    if (DispatchWaiting(quitCode)) return true;
    PostQuitMessage(quitCode);
    return false;
}

HWND CreateChildWindow(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id) {
    return CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void PlaceChildWindow(HWND child, const RECT& bounds, HFONT font) {
    SetWindowPos(child, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool RunModalLoop(const std::function<bool()>& finished, const std::function<void()>& afterEvents) {
    while (!finished()) {
        int quitCode = 0;
        const bool quit = !DispatchWaiting(quitCode);
        if (afterEvents) afterEvents();
        if (quit) {
            PostQuitMessage(quitCode);
            return false;
        }
        // Nothing but an event can finish the loop, so it sleeps until the next one arrives.
        if (!finished()) MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunMessageLoop(const std::vector<WaitedHandle>& waited) {
    for (;;) {
        int quitCode = 0;
        if (!DispatchWaiting(quitCode)) return quitCode;
        // Read anew on every turn: an owner may replace a handle that broke, or leave it out.
        std::array<const WaitedHandle*, MAXIMUM_WAIT_OBJECTS - 1> watched{};
        std::array<HANDLE, MAXIMUM_WAIT_OBJECTS - 1> handles{};
        DWORD count = 0;
        for (const WaitedHandle& w : waited)
            if (w.handle != nullptr && count < handles.size()) watched[count] = &w, handles[count++] = w.handle;
        const DWORD woken = MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // A handle closed under the loop fails every wait: the program goes on without its handles.
        if (woken == WAIT_FAILED) return RunMessageLoop();
        // The wait names the first signalled handle only; the ones after it get their turn now, not after it.
        for (DWORD i = woken - WAIT_OBJECT_0; i < count; ++i)
            if (i == woken - WAIT_OBJECT_0 || WaitForSingleObject(handles[i], 0) == WAIT_OBJECT_0) watched[i]->onSignalled();
    }
}

}  // namespace platform
