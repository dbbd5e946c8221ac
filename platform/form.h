#pragma once
// A window as an object with event handlers named for the events they answer.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

class Form;

// A timer of a form: interval in milliseconds and an enabled state; ticks arrive as window events.
class Timer {
public:
    Timer(Form& owner, unsigned interval, bool enabled, std::function<void()> onTick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Runs the tick handler as the window system would.
    void Tick() { onTick_(); }

private:
    friend class Form;
    void Start();
    void Stop();

    Form& owner_;
    UINT_PTR id_;
    unsigned interval_;
    bool enabled_;
    bool running_ = false;
    std::function<void()> onTick_;
};

struct FormStyle {
    std::string className;
    std::string caption;
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    HBRUSH background = nullptr;  // not owned: a stock object or a system colour brush
    HICON icon = nullptr;         // not owned
    HCURSOR cursor = nullptr;     // defaults to the arrow
};

// Mouse buttons and shift states as the handlers receive them.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftState { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

class Form {
public:
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hWnd() const { return hwnd_; }

    // Creates the window, hidden, and runs Form_Load: the form's load event.
    void Load();
    bool IsLoaded() const { return hwnd_ != nullptr; }
    void Show(int showCommand = SW_SHOW);
    void Hide();
    bool Visible() const;
    // Repaints the whole window now.
    void Refresh();
    // Destroys the window (running Form_Unload first).
    void Unload();

    // Position and size of the window in twips of the screen.
    void Move(double leftTw, double topTw);
    void Move(double leftTw, double topTw, double widthTw, double heightTw);
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;

protected:
    explicit Form(FormStyle style);

    virtual void Form_Load() {}
    virtual void Form_Paint(HDC) {}
    virtual void Form_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void Form_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    // Asked to close (WM_CLOSE); the default unloads the form.
    virtual void Form_QueryUnload() { Unload(); }
    virtual void Form_Unload() {}
    // Messages the handlers above do not cover; return true when handled.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }

private:
    friend class Timer;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateWindowNow();
    RECT WindowRectPx() const;

    FormStyle style_;
    HWND hwnd_ = nullptr;
    std::vector<Timer*> timers_;
};

// Handles the events that are waiting, then returns (timer ticks and paints run here).
void DoEvents();

// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace platform
