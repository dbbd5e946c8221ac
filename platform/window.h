#pragma once
// A window as an object: one window procedure dispatches to handlers named for their events.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

class Window;

// A timer of a window: ticks arrive as window events and run `onTick`. Enabling it again restarts
// its interval. It may be enabled before the window exists; it starts with the window.
class Timer {
public:
    Timer(Window& owner, unsigned intervalMs, bool enabled, std::function<void()> onTick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetInterval(unsigned intervalMs);
    bool IsEnabled() const { return enabled_; }
    void SetEnabled(bool enabled);

private:
    friend class Window;
    void Start();
    void Stop();

    Window& owner_;
    UINT_PTR id_;
    unsigned interval_;
    bool enabled_;
    bool running_ = false;
    std::function<void()> onTick_;
};

struct WindowClass {
    std::string name;   // other programs and the installer find the windows by it
    std::string title;
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    HBRUSH background = nullptr;  // not owned: a stock object or a system colour brush
    UINT classStyle = CS_DBLCLKS;
};

enum class MouseButton { Left, Right, Middle };

// Hold window objects through Owned<T>: the window is destroyed while every part of the object still
// stands, so its last messages and its controls never meet a half-destroyed object.
class Window {
public:
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool IsCreated() const { return hwnd_ != nullptr; }
    // Creates the window, hidden, then runs OnCreate; false (and no window) when OnCreate refuses.
    // Does nothing when it exists.
    bool Create();
    void Show(int showCommand = SW_SHOW);
    void Hide();
    bool IsVisible() const;
    // Repaints the whole window now.
    void Repaint();
    void Destroy();

    // The window's rectangle on the screen, in pixels.
    RECT Bounds() const;
    void MoveTo(int left, int top);
    void SetBounds(const RECT& bounds);
    // The DPI the window is laid out for (that of its monitor).
    int Dpi() const;

protected:
    explicit Window(WindowClass windowClass);

    // False ends the creation: the window is destroyed again.
    virtual bool OnCreate() { return true; }
    virtual void OnPaint(HDC) {}
    virtual void OnMouseDown(MouseButton, POINT) {}
    virtual void OnMouseUp(MouseButton, POINT) {}
    // Asked to close (WM_CLOSE); the default destroys the window.
    virtual void OnClose() { Destroy(); }
    virtual void OnDestroy() {}
    // The window moved to a monitor of another scale; the default takes the system's suggested rectangle.
    virtual void OnDpiChanged(int dpi, const RECT& suggested);
    // Messages the handlers above do not cover; true when handled, with `result` set.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }

private:
    friend class Timer;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    WindowClass class_;
    HWND hwnd_ = nullptr;
    std::vector<Timer*> timers_;
};

template <class T>
class Owned final : public T {
public:
    using T::T;
    ~Owned() override { this->Destroy(); }
};

// A control of `parent` with the identifier `id`, created at no size: PlaceChildWindow puts it where the
// parent's layout at its DPI says. `style` is added to WS_CHILD.
HWND CreateChildWindow(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id);
void PlaceChildWindow(HWND child, const RECT& bounds, HFONT font);

// Handles the events that are waiting, then returns; false when a quit request was among them (it is
// posted again for the program's own loop).
bool ProcessPendingEvents();

// Handles events until `finished` says so, sleeping until the next one arrives. `afterEvents` runs after
// every batch of events. A quit request ends the loop and is left for the program's own loop: false then.
bool RunModalLoop(const std::function<bool()>& finished, const std::function<void()>& afterEvents = {});

// The program's own loop, until a quit request; returns its exit code.
int RunMessageLoop();

// A handle the program's loop waits on beside its events, and what to do each time it is signalled. A handle
// that stays signalled (a change notification) must be re-armed by `onSignalled`, or the loop never sleeps.
struct WaitedHandle {
    HANDLE handle;  // not owned; null ones are left out
    std::function<void()> onSignalled;
};

// The program's own loop, sleeping until an event arrives or one of `waited` (at most 63) is signalled; returns
// the exit code of the quit request that ends it. `waited` is read anew on every turn, so that its owner may
// replace a handle (in place: the vector keeps its size) from any handler.
int RunMessageLoop(const std::vector<WaitedHandle>& waited);

}  // namespace platform
