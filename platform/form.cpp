#include "platform/form.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/host.h"
#include "platform/number.h"
#include "platform/screen.h"

namespace platform {
namespace {

int ShiftFromKeys(WPARAM keys) {
    int shift = 0;
    if (keys & MK_SHIFT) shift |= vbShiftMask;
    if (keys & MK_CONTROL) shift |= vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= vbAltMask;
    return shift;
}

int TwipsToPxX(double tw) { return RoundToLongClamped(tw / TwipsPerPixelX()); }
int TwipsToPxY(double tw) { return RoundToLongClamped(tw / TwipsPerPixelY()); }

}  // namespace

// ---- Timer ----

Timer::Timer(Form& owner, unsigned interval, bool enabled, std::function<void()> onTick)
    : owner_(owner), id_(reinterpret_cast<UINT_PTR>(this)), interval_(interval), enabled_(enabled),
      onTick_(std::move(onTick)) {
    owner_.timers_.push_back(this);
    Start();
}

Timer::~Timer() {
    Stop();
    std::erase(owner_.timers_, this);
}

void Timer::SetInterval(unsigned interval) {
    interval_ = interval;
    Stop();
    Start();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        Stop();  // re-enabling restarts the interval
        Start();
    } else {
        Stop();
    }
}

void Timer::Start() {
    if (!enabled_ || interval_ == 0 || owner_.hwnd_ == nullptr) return;
    running_ = SetTimer(owner_.hwnd_, id_, interval_, nullptr) != 0;
}

void Timer::Stop() {
    if (running_ && owner_.hwnd_) KillTimer(owner_.hwnd_, id_);
    running_ = false;
}

// ---- Form ----

Form::Form(FormStyle style) : style_(std::move(style)) {}

Form::~Form() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Form::CreateWindowNow() {
    if (hwnd_) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, style_.className.c_str(), &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Form::WindowProc;
        wc.hInstance = instance;
        wc.hCursor = style_.cursor ? style_.cursor : LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = style_.background;
        wc.hIcon = style_.icon;
        wc.lpszClassName = style_.className.c_str();
        RegisterClassExA(&wc);
    }
    HWND created = CreateWindowExA(style_.exStyle, style_.className.c_str(), style_.caption.c_str(), style_.style,
                                   0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (!created) {
        throw Error(err::CreateFailed, ExeName(),
                    "Cannot create window '" + style_.className + "' (error " + std::to_string(GetLastError()) + ")");
    }
    for (Timer* timer : timers_) timer->Start();
}

void Form::Load() {
    if (hwnd_) return;
    CreateWindowNow();
    Form_Load();
}

void Form::Show(int showCommand) {
    Load();
    if (hwnd_) ShowWindow(hwnd_, showCommand);
}

void Form::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Form::Refresh() {
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void Form::Unload() {
    if (hwnd_) DestroyWindow(hwnd_);
}

RECT Form::WindowRectPx() const {
    RECT r{};
    if (hwnd_) GetWindowRect(hwnd_, &r);
    return r;
}

void Form::Move(double leftTw, double topTw) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, TwipsToPxX(leftTw), TwipsToPxY(topTw), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Move(double leftTw, double topTw, double widthTw, double heightTw) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, TwipsToPxX(leftTw), TwipsToPxY(topTw), TwipsToPxX(widthTw), TwipsToPxY(heightTw),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

double Form::Left() const { return WindowRectPx().left * TwipsPerPixelX(); }
double Form::Top() const { return WindowRectPx().top * TwipsPerPixelY(); }
double Form::Width() const {
    RECT r = WindowRectPx();
    return (r.right - r.left) * TwipsPerPixelX();
}
double Form::Height() const {
    RECT r = WindowRectPx();
    return (r.bottom - r.top) * TwipsPerPixelY();
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Form* form = nullptr;
    if (message == WM_NCCREATE) {
        form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!form) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // No late message may reach the object after this.
        for (Timer* timer : form->timers_) timer->running_ = false;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (const Error& e) {
        // A handler that fails must not unwind through the window system's own frames.
        MsgBox("Error #" + std::to_string(e.Number()) + " - " + e.Description(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_TIMER:
            for (Timer* timer : timers_) {
                if (timer->id_ == wParam) {
                    if (timer->enabled_) timer->Tick();
                    return 0;
                }
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            Form_Paint(dc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Form_Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
            int button = (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)   ? vbLeftButton
                         : (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) ? vbRightButton
                                                                                  : vbMiddleButton;
            int x = GET_X_LPARAM(lParam);
            int y = GET_Y_LPARAM(lParam);
            if (down) {
                SetCapture(hwnd_);
                Form_MouseDown(button, ShiftFromKeys(wParam), x, y);
            } else {
                if (GetCapture() == hwnd_) ReleaseCapture();
                Form_MouseUp(button, ShiftFromKeys(wParam), x, y);
            }
            return 0;
        }
        case WM_CLOSE:
            Form_QueryUnload();
            return 0;
        case WM_DESTROY:
            Form_Unload();
            for (Timer* timer : timers_) timer->Stop();
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void DoEvents() {
    // Bounded, so a timer that is always due cannot keep the caller here for ever.
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace platform
