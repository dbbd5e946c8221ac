#include "balloon/balloon.h"

#include <commctrl.h>

#include "platform/desktop.h"
#include "platform/layered.h"
#include "platform/text.h"

namespace {

platform::WindowClass BalloonClass() {
    platform::WindowClass wc;
    wc.name = Balloon::ClassName;
    wc.style = WS_POPUP | WS_CLIPCHILDREN;  // the face is painted around the controls, not over them
    wc.exStyle = WS_EX_TOOLWINDOW;         // no taskbar button
    return wc;
}

// The window's size and where its controls sit at a DPI: the 96-DPI picture scaled. The controls are
// only ever seen while a question is open, so they wait at their place for it: the field 32 above the
// bottom, "OK" 8 right of the field.
struct BalloonLayout {
    SIZE size;
    RECT answerField;
    RECT okButton;
};

BalloonLayout LayoutAt(int dpi) {
    const auto at = [dpi](int length96) { return platform::ScaledForDpi(length96, dpi); };
    const SIZE size{at(Balloon::WidthAt96), at(Balloon::HeightAt96)};
    const int height = at(19), top = size.cy - at(32) - height;
    const RECT field{at(32), top, at(32) + at(145), top + height};
    const int okLeft = field.right + at(8);
    return {size, field, RECT{okLeft, top, okLeft + at(25), top + height}};
}

void ShowChild(HWND child, bool shown) { ShowWindow(child, shown ? SW_SHOWNA : SW_HIDE); }

}  // namespace

Balloon::Balloon(unsigned autoCloseMs)
    : platform::Window(BalloonClass()), autoCloseTimer_(*this, autoCloseMs, false, [this] { Close(); }) {}

bool Balloon::OnCreate() {
    dpi_ = Dpi();
    // Tab order: the answer field is the first control that takes the focus.
    answerField_ = platform::CreateChildWindow(hwnd(), L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, AnswerFieldId);
    okButton_ = platform::CreateChildWindow(hwnd(), L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, 0, OkButtonId);
    if (answerField_) SetWindowSubclass(answerField_, &Balloon::AnswerFieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
    LayOut(POINT{0, 0});
    platform::MakeColourKeyed(hwnd(), platform::BalloonColourKey);
    return true;
}

void Balloon::LayOut(POINT topLeft) {
    const BalloonLayout layout = LayoutAt(dpi_);
    SetBounds(RECT{topLeft.x, topLeft.y, topLeft.x + layout.size.cx, topLeft.y + layout.size.cy});
    // The controls let go of the old fonts before they are deleted.
    BalloonFonts fonts = BalloonFonts::Create(dpi_);
    platform::PlaceChildWindow(answerField_, layout.answerField, fonts.regular.get());
    platform::PlaceChildWindow(okButton_, layout.okButton, fonts.regular.get());
    fonts_ = std::move(fonts);
}

void Balloon::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    LayOut(POINT{suggested.left, suggested.top});
    if (character_) FollowCharacter(*character_);  // beside the character again, at the new size
    Repaint();
}

std::string Balloon::Answer() const {
    if (!answerField_) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(answerField_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(answerField_, text.data(), static_cast<int>(text.size()))));
    return platform::Narrow(text);
}

// The field's own flag: IsWindowVisible would also look at the balloon.
bool Balloon::IsAsking() const { return answerField_ && (GetWindowLongW(answerField_, GWL_STYLE) & WS_VISIBLE); }

void Balloon::Say(const std::string& text, const std::string& caption, const CharacterPlace& character) {
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
                  const CharacterPlace& character) {
    Create();
    SetWindowTextW(answerField_, platform::Widen(defaultAnswer).c_str());
    ShowChild(answerField_, true);
    ShowChild(okButton_, true);
    Show(SW_SHOW);
    SetTexts(question, caption);
    FollowCharacter(character);
    BringToTop();
    // The user answers by typing: the field takes the keyboard, the default answer selected.
    SetForegroundWindow(hwnd());
    SetFocus(answerField_);
    SendMessageW(answerField_, EM_SETSEL, 0, -1);
}

std::optional<std::string> Balloon::AskAndWait(const std::string& question, const std::string& caption,
                                               const std::string& defaultAnswer, const CharacterPlace& character) {
    Ask(question, caption, defaultAnswer, character);
    std::optional<std::string> answer;
    // A quit request ends the wait: waiting on would keep it from the program's own loop.
    platform::RunModalLoop([this] { return !IsVisible(); }, [&] { answer = Answer(); });
    return answer;
}

void Balloon::FollowCharacter(const CharacterPlace& character) {
    Create();
    character_ = character;
    const double twipsPerPixel = platform::TwipsPerPixelAt(dpi_);
    const RECT monitor =
        character.window ? platform::MonitorOfWindow(character.window) : platform::MonitorOfRect(character.bounds);
    const ScreenUnits units{monitor, twipsPerPixel, twipsPerPixel};
    const RECT bounds = Bounds();
    const BalloonPlacement place =
        PlaceBalloon(character, SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top}, units, side_);
    side_ = place.side;
    MoveTo(place.topLeft.x, place.topLeft.y);
    if (place.sideChanged) Repaint();  // the tail is drawn on its new side now, not at some later paint
}

void Balloon::Close() {
    Hide();
    autoCloseTimer_.SetEnabled(false);
}

void Balloon::SetTexts(const std::string& text, const std::string& caption) {
    text_ = text;
    caption_ = caption;
    // What a screen reader reads: the window's text.
    SetWindowTextW(hwnd(), platform::Widen(caption.empty() ? text : caption + ": " + text).c_str());
    // A balloon already showing gets its new texts on the screen at once.
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void Balloon::BringToTop() {
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Balloon::OnPaint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    PaintBalloonFace(dc, client.right, client.bottom, BalloonFace{caption_, text_, side_}, fonts_, dpi_);
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
