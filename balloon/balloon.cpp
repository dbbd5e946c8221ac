#include "balloon/balloon.h"

#include <commctrl.h>

#include "platform/layered.h"
#include "platform/desktop.h"
#include "platform/units.h"

namespace {

constexpr int AnswerFieldId = 101;
constexpr int OkButtonId = 102;

platform::WindowClass BalloonClass() {
    platform::WindowClass wc;
    wc.name = Balloon::ClassName;
    wc.style = WS_POPUP | WS_CLIPCHILDREN;  // the face is painted around the controls, not over them
    wc.exStyle = WS_EX_TOOLWINDOW;         // no taskbar button
    return wc;
}

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, DWORD exStyle, RECT r, int id,
                 HFONT font) {
    HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_TABSTOP | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// A child's rectangle in its parent's client pixels.
RECT ChildBounds(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveChild(HWND child, int left, int top) {
    SetWindowPos(child, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowChild(HWND child, bool shown) { ShowWindow(child, shown ? SW_SHOWNA : SW_HIDE); }

}  // namespace

Balloon::Balloon() : platform::Window(BalloonClass()), autoCloseTimer_(*this, AutoCloseMs, false, [this] { Close(); }) {}


bool Balloon::OnCreate() {
    SetBounds(RECT{0, 0, WidthPx, HeightPx});
    fonts_ = BalloonFonts::Create(platform::SystemDpi());
    // Tab order: the answer field is the first control that takes the focus.
    answerField_ = CreateChild(hwnd(), "EDIT", "", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, RECT{32, 80, 32 + 145, 80 + 19},
                               AnswerFieldId, fonts_.regular.get());
    okButton_ = CreateChild(hwnd(), "BUTTON", "OK", BS_PUSHBUTTON, 0, RECT{184, 80, 184 + 25, 80 + 19}, OkButtonId,
                            fonts_.regular.get());
    if (answerField_) SetWindowSubclass(answerField_, &Balloon::AnswerFieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
    platform::MakeColourKeyed(hwnd(), platform::BalloonColourKey);
    return true;
}

std::string Balloon::Answer() const {
    if (!answerField_) return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(answerField_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(answerField_, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool Balloon::IsAsking() const { return answerField_ && (GetWindowLongA(answerField_, GWL_STYLE) & WS_VISIBLE); }

void Balloon::Say(const std::string& text, const std::string& caption, const RECT& character) {
    Create();
    ShowChild(answerField_, false);
    ShowChild(okButton_, false);
    Show(SW_SHOWNOACTIVATE);  // a message never takes the keyboard from the user's window
    SetTexts(text, caption);
    autoCloseTimer_.SetEnabled(true);  // restarts the count: each message gets its full ten seconds
    FollowCharacter(character);
    BringToTop();
}

void Balloon::Ask(const std::string& question, const std::string& caption, const std::string& defaultAnswer,
                  const RECT& character) {
    Create();
    RECT client{};
    GetClientRect(hwnd(), &client);
    const RECT field = ChildBounds(answerField_);
    const int fieldTop = client.bottom - 32 - (field.bottom - field.top);
    MoveChild(answerField_, 32, fieldTop);
    SetWindowTextA(answerField_, defaultAnswer.c_str());
    MoveChild(okButton_, 32 + (field.right - field.left) + 8, fieldTop);
    ShowChild(answerField_, true);
    ShowChild(okButton_, true);
    Show(SW_SHOW);
    SetTexts(question, caption);
    FollowCharacter(character);
    BringToTop();
    // The user answers by typing: the field takes the keyboard, the default answer selected.
    SetForegroundWindow(hwnd());
    SetFocus(answerField_);
    SendMessageA(answerField_, EM_SETSEL, 0, -1);
}

std::optional<std::string> Balloon::AskAndWait(const std::string& question, const std::string& caption,
                                               const std::string& defaultAnswer, const RECT& character) {
    Ask(question, caption, defaultAnswer, character);
    std::optional<std::string> answer;
    // A quit request ends the wait: waiting on would keep it from the program's own loop.
    platform::RunModalLoop([this] { return !IsVisible(); }, nullptr, [&] { answer = Answer(); });
    return answer;
}

void Balloon::FollowCharacter(const RECT& character) {
    Create();
    const int dpi = platform::SystemDpi();
    const ScreenUnits units{platform::MonitorOfRect(character), platform::TwipsPerPixelAt(dpi),
                            platform::TwipsPerPixelAt(dpi)};
    const RECT bounds = Bounds();
    const BalloonPlacement place =
        PlaceBalloon(character, SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top}, units, tail_);
    tail_ = place.tail;
    MoveTo(place.topLeft.x, place.topLeft.y);
    if (place.sideChanged) Repaint();  // the tail is drawn on its new edge now, not at some later paint
}

void Balloon::Close() {
    Hide();
    autoCloseTimer_.SetEnabled(false);
}

void Balloon::SetTexts(const std::string& text, const std::string& caption) {
    text_ = text;
    caption_ = caption;
    // What a screen reader reads: the window's text.
    SetWindowTextA(hwnd(), (caption.empty() ? text : caption + ": " + text).c_str());
    // A balloon already showing gets its new texts on the screen at once.
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void Balloon::BringToTop() {
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Balloon::OnPaint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    PaintBalloonFace(dc, client.right, client.bottom, BalloonFace{caption_, text_, tail_}, fonts_);
}

void Balloon::OnMouseDown(platform::MouseButton button, POINT) { pressed_ = button; }

// A click is a press and a release of the same button on the face.
void Balloon::OnMouseUp(platform::MouseButton button, POINT at) {
    const bool pressedHere = pressed_ == button;
    pressed_.reset();
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (pressedHere && PtInRect(&client, at)) Close();
}

bool Balloon::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;  // the painter erases to the colour key itself
            return true;
        case WM_MOUSEACTIVATE:
            // Clicking a message away must not take the keyboard from the user's window; a question may.
            if (IsAsking()) return false;
            result = MA_NOACTIVATE;
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == OkButtonId && HIWORD(wParam) == BN_CLICKED) {
                Close();
                result = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

// Enter in the answer field confirms like "OK"; Escape closes like a click on the face.
LRESULT CALLBACK Balloon::AnswerFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self) {
    auto* balloon = reinterpret_cast<Balloon*>(self);
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                balloon->Close();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == '\r' || wParam == 27) return 0;  // already handled; the field would only beep
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &Balloon::AnswerFieldProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
