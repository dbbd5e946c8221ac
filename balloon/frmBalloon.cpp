#include "balloon/frmBalloon.h"

#include <commctrl.h>

#include "balloon/placement.h"
#include "platform/screen.h"
#include "sitter/modLayeredWins.h"

namespace {

constexpr int AnswerId = 101;
constexpr int OkId = 102;

platform::FormStyle BalloonStyle() {
    platform::FormStyle style;
    style.className = frmBalloon::ClassName;
    style.style = WS_POPUP | WS_CLIPCHILDREN;  // the face is painted around the controls, not over them
    style.exStyle = WS_EX_TOOLWINDOW;         // no taskbar button
    return style;
}

HWND MakeChild(HWND parent, const char* className, const char* text, DWORD style, DWORD exStyle, RECT r, int id,
               HFONT font) {
    HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_TABSTOP | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

}  // namespace

// ---- ChildControl ----

std::string ChildControl::Text() const {
    if (!hwnd_) return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void ChildControl::SetText(const std::string& text) {
    if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

bool ChildControl::Visible() const { return hwnd_ && (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void ChildControl::SetVisible(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

RECT ChildControl::Bounds() const {
    RECT r{};
    if (!hwnd_) return r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ChildControl::Move(int left, int top) {
    if (hwnd_) SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- frmBalloon ----

frmBalloon::frmBalloon(const platform::Form& sitter)
    : platform::Form(BalloonStyle()), Timer1(*this, AutoCloseMs, false, [this] { Timer1_Timer(); }), sitter_(sitter) {}

// The window goes while the object is still whole: its controls use the fonts and the subclass uses `this`.
frmBalloon::~frmBalloon() { Unload(); }

HWND frmBalloon::Handle() {
    Load();
    return hWnd();
}

void frmBalloon::Form_Load() {
    Move(Left(), Top(), WidthPx * platform::TwipsPerPixelX(), HeightPx * platform::TwipsPerPixelY());
    fonts_ = BalloonFonts::Create(platform::ScreenDpiY());

    // Tab order: the answer field is the first control that takes the focus.
    txtAnswer.hwnd_ = MakeChild(hWnd(), "EDIT", "", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, RECT{32, 80, 32 + 145, 80 + 19},
                                AnswerId, fonts_.regular.get());
    Command1.hwnd_ = MakeChild(hWnd(), "BUTTON", "OK", BS_PUSHBUTTON, 0, RECT{184, 80, 184 + 25, 80 + 19}, OkId,
                               fonts_.regular.get());
    if (txtAnswer.hwnd_)
        SetWindowSubclass(txtAnswer.hwnd_, &frmBalloon::AnswerFieldProc, 1, reinterpret_cast<DWORD_PTR>(this));

    MakeColourKeyed(hWnd(), BackColor);  // without layering the red simply stays visible
}

void frmBalloon::Say(const std::string& foo, const std::string& cap) {
    Load();
    txtAnswer.SetVisible(false);
    Command1.SetVisible(false);
    Show(SW_SHOWNOACTIVATE);  // a message never takes the keyboard from the user's window
    SetTexts(foo, cap);
    Timer1.SetEnabled(true);  // restarts the count: each message gets its full ten seconds
    Adjust();
    BringToTop();
}

void frmBalloon::Ask(const std::string& foo, const std::string& cap, const std::string& def) {
    Load();
    RECT client{};
    GetClientRect(hWnd(), &client);
    const RECT field = txtAnswer.Bounds();
    const int fieldTop = client.bottom - 32 - (field.bottom - field.top);
    txtAnswer.Move(32, fieldTop);
    txtAnswer.SetText(def);
    Command1.Move(32 + (field.right - field.left) + 8, fieldTop);
    txtAnswer.SetVisible(true);
    Command1.SetVisible(true);
    Show(SW_SHOW);
    SetTexts(foo, cap);
    Adjust();
    BringToTop();
    // The user answers by typing: the field takes the keyboard, the default answer selected.
    SetForegroundWindow(hWnd());
    SetFocus(txtAnswer.hWnd());
    SendMessageA(txtAnswer.hWnd(), EM_SETSEL, 0, -1);
}

std::optional<std::string> frmBalloon::AskAndWait(const std::string& foo, const std::string& cap,
                                                  const std::string& def) {
    Ask(foo, cap, def);
    std::optional<std::string> result;
    MSG quit;
    while (Visible()) {
        platform::DoEvents();
        result = txtAnswer.Text();
        // A quit request ends the program's loop; waiting on would keep it from ever being seen.
        if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
        // Nothing can hide the balloon but an event, so sleep until one is pending rather than spin.
        if (Visible()) MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return result;
}

void frmBalloon::Adjust() {
    Load();
    const SitterBox sitter{static_cast<float>(sitter_.Left()), static_cast<float>(sitter_.Top()),
                           static_cast<float>(sitter_.Height())};
    const auto screenHeight = static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * platform::TwipsPerPixelY());
    const BalloonPlacement place = PlaceBalloon(sitter, static_cast<float>(Width()), static_cast<float>(Height()),
                                                screenHeight, TailAtTop);
    TailAtTop = place.tailAtTop;
    Move(place.left, place.top);
    if (place.sideChanged) Refresh();  // the tail is drawn on its new edge now, not at some later paint
}

void frmBalloon::CloseBalloon() {
    Hide();
    Timer1.SetEnabled(false);
}

void frmBalloon::SetTexts(const std::string& foo, const std::string& cap) {
    lblText.Caption = foo;
    lblCaption.Caption = cap;
    // A balloon already showing gets its new texts on the screen at once.
    InvalidateRect(hWnd(), nullptr, FALSE);
}

void frmBalloon::BringToTop() {
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void frmBalloon::Form_Paint(HDC dc) {
    RECT client{};
    GetClientRect(hWnd(), &client);
    PaintBalloonFace(dc, client.right, client.bottom, BalloonFace{lblCaption.Caption, lblText.Caption, TailAtTop},
                     fonts_);
}

void frmBalloon::Form_MouseDown(int button, int, int, int) { pressedButton_ = button; }

// A click is a press and a release of the same button on the face.
void frmBalloon::Form_MouseUp(int button, int, int x, int y) {
    const bool pressedHere = pressedButton_ == button;
    pressedButton_ = 0;
    RECT client{};
    GetClientRect(hWnd(), &client);
    if (pressedHere && x >= 0 && y >= 0 && x < client.right && y < client.bottom) Form_Click();
}

bool frmBalloon::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;  // the painter erases to red itself
            return true;
        case WM_MOUSEACTIVATE:
            // Clicking a message away must not take the keyboard from the user's window; a question may.
            if (txtAnswer.Visible()) return false;
            result = MA_NOACTIVATE;
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == OkId && HIWORD(wParam) == BN_CLICKED) {
                Command1_Click();
                result = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

// Enter in the answer field confirms like "OK"; Escape closes like a click on the face.
LRESULT CALLBACK frmBalloon::AnswerFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR self) {
    auto* balloon = reinterpret_cast<frmBalloon*>(self);
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                balloon->Command1_Click();
                return 0;
            }
            if (wParam == VK_ESCAPE) {
                balloon->Form_Click();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == '\r' || wParam == 27) return 0;  // already handled; the field would only beep
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &frmBalloon::AnswerFieldProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
