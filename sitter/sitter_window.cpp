#include "sitter/sitter_window.h"

#include "balloon/balloon.h"
#include "commands/distance_dialog.h"
#include "commands/fortune.h"
#include "platform/desktop.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/layered.h"
#include "platform/random.h"
#include "platform/text.h"
#include "platform/units.h"
#include "resource_ids.h"
#include "imaging/pixel_art.h"
#include "sitter/settings.h"
#include "sitter/single_copy.h"
#include "sitter/tray_icon.h"

namespace {

constexpr UINT Restack = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

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
      trackingTimer_(*this, Follower::PollMs, false, [this] { OnTrackTick(); }),
      frameTimer_(*this, BlinkSchedule::PeriodMs, true, [this] { OnFrameTimer(); }) {}

SitterWindow::~SitterWindow() = default;

// ---- Start-up and the end ----

bool SitterWindow::OnCreate() {
    createdAt_ = GetTickCount64();
    dpi_ = Dpi();
    if (!Startup::Run({art_, preferences_, wardrobe_, pictures_}, [this] { SetUpWindow(); })) return false;
    exitCode_ = 0;
    return true;
}

// Topmost, colour-keyed, parked off the screen until the follower seats it.
void SitterWindow::SetUpWindow() {
    mirrored_ = preferences_.mirrored;
    popupMenu_.CheckSize(preferences_.sizePercent);
    ComposeFrames();
    platform::MakeColourKeyed(hwnd(), platform::CharacterColourKey);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    Repaint();
    platform::ProcessPendingEvents();
    const POINT parked = ParkedOutside(platform::VirtualScreen(), Metrics());
    const SIZE frame = frames_.Size();
    bounds_ = RECT{parked.x, parked.y, parked.x + frame.cx, parked.y + frame.cy};
    SetBounds(bounds_);
    SetForegroundWindow(GetWindow(hwnd(), GW_HWNDPREV));
    trackingTimer_.SetEnabled(true);
    windowEvents_ = std::make_unique<WindowEvents>([this](WindowEvents::Kind kind, HWND window) { OnWindowEvent(kind, window); });
    trayIcon_ = std::make_unique<TrayIcon>(hwnd(), dpi_);
    trayIcon_->Add();  // where the shell has no notification area, the character alone must do
}

// The owners release what they hold; the program's loop ends with the exit code.
void SitterWindow::OnDestroy() {
    trayIcon_.reset();
    windowEvents_.reset();
    if (balloon_) balloon_->Close();
    PostQuitMessage(exitCode_);
}

// Moved to a monitor of another scale: drawn anew for it, and seated by the rule rather than where the system
// would put it.
void SitterWindow::OnDpiChanged(int dpi, const RECT&) {
    dpi_ = dpi;
    if (trayIcon_) trayIcon_->SetDpi(dpi);
    Rescale();
}

void SitterWindow::Rescale() {
    ComposeFrames();
    const SIZE frame = frames_.Size();
    bounds_.right = bounds_.left + frame.cx, bounds_.bottom = bounds_.top + frame.cy;
    SetBounds(bounds_);
    ShowFrameInWindow();
    if (trackingTimer_.IsEnabled()) OnTrackTick();
    if (balloon_) balloon_->FollowCharacter(Place());
}

bool SitterWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (message == WM_COMMAND) {
        OnCommand(LOWORD(wParam));
        return true;
    }
    if (message == TrayIcon::CallbackMessage) {
        if (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP) ShowPopupMenu();
        return true;
    }
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        if (trayIcon_) trayIcon_->Add();
        return true;
    }
    if (message == WM_DISPLAYCHANGE) {
        follower_.Remeasure();
        InvalidateRect(hwnd(), nullptr, FALSE);
        return false;
    }
    if (message == SingleCopy::AnotherStartMessage()) {
        Say("I'm already here!");
        return true;
    }
    return false;
}

// ---- Speaking ----

CharacterPlace SitterWindow::Place() const { return CharacterPlace{bounds_, preferences_.sizePercent}; }

Balloon& SitterWindow::balloon() {
    if (!balloon_) balloon_ = std::make_unique<platform::Owned<Balloon>>();
    balloon_->Create();
    return *balloon_;
}

void SitterWindow::Say(const std::string& text, const std::string& caption) {
    if (IsCreated()) balloon().Say(text, caption, Place());
}

std::optional<std::string> SitterWindow::Ask(const std::string& question, const std::string& caption,
                                             const std::string& defaultAnswer) {
    if (!IsCreated()) return std::nullopt;
    return balloon().AskAndWait(question, caption, defaultAnswer, Place());
}

// ---- The mouse and the popup menu ----

void SitterWindow::OnMouseUp(platform::MouseButton button, POINT) {
    if (button == platform::MouseButton::Right) return ShowPopupMenu();
    Say("Don't touch me!");
}

void SitterWindow::ShowPopupMenu() {
    // No following while the menu and its command run.
    trackingTimer_.SetEnabled(false);
    POINT pointer{};
    GetCursorPos(&pointer);
    if (const UINT command = popupMenu_.Choose(hwnd(), pointer)) SendMessageW(hwnd(), WM_COMMAND, command, 0);
    trackingTimer_.SetEnabled(true);
}

void SitterWindow::OnCommand(UINT command) {
    if (const std::optional<CostumeChoice> choice = wardrobe_.ChoiceOf(command)) return OnCostumeChosen(*choice);
    switch (command) {
        case PopupMenu::DistanceCommand: return OnDistanceChosen();
        case PopupMenu::FortuneCommand: return OnFortuneChosen();
        case PopupMenu::ExitCommand: return Destroy();
        default: break;
    }
    if (const std::optional<int> percent = PopupMenu::SizeOf(command)) OnSizeChosen(*percent);
}

// A costume that cannot be stored stays as it was; the user is told.
void SitterWindow::OnCostumeChosen(CostumeChoice choice) {
    try {
        settings::Write(CostumeSetting(choice.layer), choice.index);
        pictures_.costume[static_cast<size_t>(choice.layer)].CreateFromPicture(
            platform::LoadBitmapResource(CostumeBitmap(choice.layer, choice.index)).get());
    } catch (const platform::Error& e) {
        platform::ShowMessage("The costume could not be changed:\r\n\r\n" + platform::ErrorLine(e), MB_OK | MB_ICONEXCLAMATION, hwnd());
        return;
    }
    wardrobe_.Wear(choice.layer, choice.index);
    ComposeFrames();
    ShowFrameInWindow();
    ScheduleNextFrame();  // a cat sound may now be due
}

void SitterWindow::OnDistanceChosen() {
    if (distanceDialog_.BringToFrontIfOpen()) return;
    trackingTimer_.SetEnabled(false);
    // Out of sight while the dialog is open.
    MoveCharacter(ParkedOutside(platform::VirtualScreen(), Metrics()).x, bounds_.top);
    try {
        distanceDialog_.Run(hwnd(), preferences_.distance, preferences_.sizePercent);
        settings::Write(settings::Distance, preferences_.distance);
    } catch (const platform::Error&) {
        // Not stored: the distance still holds for this run, and following must come back.
    }
    trackingTimer_.SetEnabled(true);
}

// A size that cannot be stored stays as it was; the user is told.
void SitterWindow::OnSizeChosen(int percent) {
    try {
        settings::Write(settings::Size, percent);
    } catch (const platform::Error& e) {
        platform::ShowMessage("The size could not be changed:\r\n\r\n" + platform::ErrorLine(e), MB_OK | MB_ICONEXCLAMATION, hwnd());
        return;
    }
    preferences_.sizePercent = percent;
    popupMenu_.CheckSize(percent);
    Rescale();
}

void SitterWindow::OnFortuneChosen() {
    Ask("Enter question", "!8BALL", "");  // the question itself does not matter
    if (const auto answer = TellFortune(platform::LoadStringResource(IDS_FORTUNES))) Say(*answer, "!8BALL");
}

// ---- Following the foreground window ----

double SitterWindow::Scale() const { return imaging::CharacterScale(dpi_, preferences_.sizePercent); }

void SitterWindow::ComposeFrames() { frames_.Compose(pictures_, art_.blinkAt, Scale()); }

SeatMetrics SitterWindow::Metrics() const { return SeatMetricsAt(art_.buttHeight, frames_.Size(), dpi_, Scale()); }

Follower::Character SitterWindow::AsFollowed() const {
    return Follower::Character{hwnd(), balloon_ ? balloon_->hwnd() : nullptr, bounds_, preferences_.distance, Metrics()};
}

void SitterWindow::OnTrackTick() { Follow(follower_.OnPoll(AsFollowed(), GetTickCount64())); }

void SitterWindow::OnWindowEvent(WindowEvents::Kind kind, HWND window) {
    if (!trackingTimer_.IsEnabled()) return;  // paused while the menu or the distance dialog is open
    if (const std::optional<Follower::Step> step = follower_.OnEvent(kind, window, AsFollowed(), GetTickCount64())) Follow(*step);
}

void SitterWindow::Follow(const Follower::Step& step) {
    if (windowEvents_) windowEvents_->Follow(step.satOn);
    switch (step.restack) {
        case Follower::Restack::BelowSatOnThenOnTop:
            SetWindowPos(hwnd(), step.satOn, 0, 0, 0, 0, Restack);
            [[fallthrough]];
        case Follower::Restack::OnTop: SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, Restack); break;
        case Follower::Restack::None: break;
    }
    if (step.seat.mirrored != mirrored_) {
        mirrored_ = step.seat.mirrored;
        ShowFrameInWindow();
    }
    if (!EqualRect(&step.seat.bounds, &bounds_)) {
        MoveCharacter(step.seat.bounds.left, step.seat.bounds.top);
        if (balloon_) balloon_->FollowCharacter(Place());
    }
    if (follower_.PollIntervalMs() != pollMs_) trackingTimer_.SetInterval(pollMs_ = follower_.PollIntervalMs());
}

void SitterWindow::MoveCharacter(int left, int top) {
    bounds_ = RECT{left, top, left + bounds_.right - bounds_.left, top + bounds_.bottom - bounds_.top};
    MoveTo(left, top);
}

// ---- The frames, the blink and the cat sounds ----

void SitterWindow::OnPaint(HDC dc) { frames_.Show(dc, schedule_.Phase(), mirrored_); }

void SitterWindow::ShowFrameInWindow() {
    if (!IsCreated()) return;
    if (!ownDC_) ownDC_ = GetDC(hwnd());  // released with the window: it is the class's own
    frames_.Show(ownDC_, schedule_.Phase(), mirrored_);
}

void SitterWindow::OnFrameTimer() {
    const bool mewing = wardrobe_.WearsCatgirl();
    const BlinkSchedule::Change change = schedule_.AdvanceTo(GetTickCount64() - createdAt_, mewing);
    if (change.phaseChanged) ShowFrameInWindow();
    if (change.mewDue) Mew();
    ScheduleNextFrame();
}

// The timer is due at the next period that changes the frame or brings a cat sound: the periods between are
// counted, not drawn.
void SitterWindow::ScheduleNextFrame() {
    frameTimer_.SetInterval(schedule_.MsToNextChange(GetTickCount64() - createdAt_, wardrobe_.WearsCatgirl()));
}

void SitterWindow::Mew() { Say(CatSound(platform::NextRandom())); }
