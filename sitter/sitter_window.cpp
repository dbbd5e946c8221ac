#include "sitter/sitter_window.h"

#include "balloon/balloon.h"
#include "platform/host.h"
#include "sitter/single_copy.h"
#include "sitter/tray_icon.h"

namespace {

platform::WindowClass SitterClass() {
    platform::WindowClass wc;
    wc.name = SitterWindow::ClassName;
    wc.title = "Pellory";
    wc.style = WS_POPUP;
    wc.exStyle = WS_EX_TOOLWINDOW;  // no taskbar button: the character is all there is
    wc.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.classStyle = CS_DBLCLKS | CS_OWNDC;  // a device context of its own, kept for every new frame
    return wc;
}

}  // namespace

SitterWindow::SitterWindow()
    : platform::Window(SitterClass()),
      popupMenu_(CreatePopupMenu()),
      trackingTimer_(*this, TrackIntervalMs, false, [this] { OnTrackTick(); }),
      frameTimer_(*this, PeriodMs, true, [this] { OnFrameTimer(); }) {
    HMENU functions = CreatePopupMenu();  // the popup menu owns its submenus
    AppendMenuA(functions, MF_STRING, FortuneCommand, "!8ball");
    for (Wardrobe& w : wardrobe_) w.menu = CreatePopupMenu();
    AppendMenuA(popupMenu_.get(), MF_STRING, DistanceCommand, "Distance...");
    AppendMenuA(popupMenu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(wardrobe(Layer::One).menu), "Costume 1");
    AppendMenuA(popupMenu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(wardrobe(Layer::Two).menu), "Costume 2");
    AppendMenuA(popupMenu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(functions), "Functions");
    AppendMenuA(popupMenu_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popupMenu_.get(), MF_STRING, ExitCommand, "Exit");
}

SitterWindow::~SitterWindow() { Destroy(); }


Balloon& SitterWindow::balloon() {
    if (!balloon_) balloon_ = std::make_unique<Balloon>();
    balloon_->Create();
    return *balloon_;
}

void SitterWindow::Say(const std::string& text, const std::string& caption) { balloon().Say(text, caption, bounds_); }

std::optional<std::string> SitterWindow::Ask(const std::string& question, const std::string& caption,
                                             const std::string& defaultAnswer) {
    return balloon().AskAndWait(question, caption, defaultAnswer, bounds_);
}

void SitterWindow::OnClose() { EndProgram(); }

// Nothing is left behind: the notification area keeps no icon of a program that has ended.
void SitterWindow::EndProgram() {
    if (trayIcon_) trayIcon_->Remove();
    platform::EndProgram(0);
}

bool SitterWindow::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (message == TrayIcon::CallbackMessage) {
        if (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP) ShowPopupMenu();
        return true;
    }
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        if (trayIcon_) trayIcon_->Add();
        return true;
    }
    if (message == WM_DISPLAYCHANGE) {
        trackedFrame_ = RECT{};  // the monitors may have moved: measure anew at the next step
        InvalidateRect(hwnd(), nullptr, FALSE);
        return false;
    }
    if (message == SingleCopy::AnotherStartMessage()) {
        Say("I'm already here!");
        return true;
    }
    return false;
}

void SitterWindow::MoveCharacter(int left, int top) {
    const int width = bounds_.right - bounds_.left, height = bounds_.bottom - bounds_.top;
    bounds_ = RECT{left, top, left + width, top + height};
    MoveTo(left, top);
}
