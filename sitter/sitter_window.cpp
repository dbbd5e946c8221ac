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

// Posted when the window is made: the costume folders are read once it has been drawn.
constexpr UINT ScanCostumesMessage = WM_APP + 2;

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

SitterWindow::SitterWindow(std::unique_ptr<Character> character)
    : platform::Window(SitterClass()), character_(std::move(character)),
      pollTimer_(*this, Follower::PollMs, false, [this] { tracking_->OnPoll(); }),
      frameTimer_(*this, BlinkSchedule::PeriodMs, true, [this] { OnFrameTimer(); }),
      costumeFolders_(*this, [this] { OnCostumeFoldersChanged(); }) {}

SitterWindow::~SitterWindow() = default;

// ---- Start-up and the end ----

// Topmost and colour-keyed, then seated on the window in front before it is first seen. It never takes the
// foreground from that window.
bool SitterWindow::OnCreate() {
    createdAt_ = GetTickCount64();
    dpi_ = Dpi();
    ComposeFrames();
    platform::MakeColourKeyed(hwnd(), platform::CharacterColourKey);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    tracking_.emplace(static_cast<Tracking::Client&>(*this), balloon_, character_->preferences.mirrored);
    trayIcon_ = std::make_unique<TrayIcon>(hwnd());
    trayIcon_->Add();  // where the shell has no notification area, the character alone must do
    costumeFolders_.Watch();
    PostMessageW(hwnd(), ScanCostumesMessage, 0, 0);
    return true;
}

// The owners release what they hold; the program's loop ends.
void SitterWindow::OnDestroy() {
    trayIcon_.reset();
    balloon_.Close();
    PostQuitMessage(0);
}

// Moved to a monitor of another scale: drawn anew for it, and seated by the rule rather than where the system
// would put it.
void SitterWindow::OnDpiChanged(int dpi, const RECT&) {
    dpi_ = dpi;
    Rescale();
}

void SitterWindow::Rescale() {
    ComposeFrames();
    tracking_->Resize();
    ShowFrameInWindow();
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
        if (tracking_) tracking_->Remeasure();
        InvalidateRect(hwnd(), nullptr, FALSE);
        return false;
    }
    if (message == ScanCostumesMessage) {
        UpdateWindow(hwnd());  // seen before the folders are read
        OnCostumeFoldersChanged();
        return true;
    }
    if (message == SingleCopy::AnotherStartMessage()) {
        Say("I'm already here!");
        return true;
    }
    return false;
}

// ---- Speaking ----

void SitterWindow::Say(const std::string& text, const std::string& caption) {
    if (IsCreated()) balloon_.Say(text, caption, tracking_->Place());
}

std::optional<std::string> SitterWindow::Ask(const std::string& question, const std::string& caption,
                                             const std::string& defaultAnswer) {
    if (!IsCreated()) return std::nullopt;
    return balloon_.AskAndWait(question, caption, defaultAnswer, tracking_->Place());
}

// ---- The mouse and the popup menu ----

void SitterWindow::OnMouseUp(platform::MouseButton button, POINT) {
    if (button == platform::MouseButton::Right) return ShowPopupMenu();
    Say("Don't touch me!");
}

void SitterWindow::ShowPopupMenu() {
    // No following while the menu and its command run.
    const Tracking::Pause pause = tracking_->Paused();
    POINT pointer{};
    GetCursorPos(&pointer);
    if (const UINT command = character_->menu.Choose(hwnd(), pointer)) SendMessageW(hwnd(), WM_COMMAND, command, 0);
}

void SitterWindow::OnCommand(UINT command) {
    if (const std::optional<CostumeChoice> choice = character_->wardrobe.ChoiceOf(command)) return OnCostumeChosen(*choice);
    switch (command) {
        case PopupMenu::DistanceCommand: return OnDistanceChosen();
        case PopupMenu::FortuneCommand: return OnFortuneChosen();
        case PopupMenu::ExitCommand: return Destroy();
        default: break;
    }
    if (const std::optional<int> percent = PopupMenu::SizeOf(command)) OnSizeChosen(*percent);
    if (const std::optional<Layer> layer = Wardrobe::FolderToOpen(command)) CostumeFolders::Open(*layer);
}

// A costume that cannot be stored stays as it was; the user is told. A folder's costume that cannot be worn is
// not stored either: the character says why.
void SitterWindow::OnCostumeChosen(const CostumeChoice& choice) {
    Character& c = *character_;
    try {
        if (choice.fileName.empty()) {
            settings::Write(CostumeSetting(choice.layer), choice.index);
            settings::Erase(CostumeFileSetting(choice.layer));  // for an older copy of the program, all there is
            DressInBuiltIn(c.pictures, choice.layer, choice.index);
            c.wardrobe.Wear(choice.layer, choice.index);
        } else {
            const costumes::CostumePicture costume = LoadFolderCostume(choice.layer, choice.fileName);
            if (!costume.picture) return Say(costumes::Complaint(costume.refusal));
            settings::WriteText(CostumeFileSetting(choice.layer), choice.fileName);
            Dress(c.pictures, choice.layer, costume);
            c.wardrobe.WearFile(choice.layer, choice.fileName);
        }
    } catch (const platform::Error& e) {
        platform::ShowMessage("The costume could not be changed:\r\n\r\n" + platform::ErrorLine(e), MB_OK | MB_ICONEXCLAMATION, hwnd());
        return;
    }
    ComposeFrames();
    ShowFrameInWindow();
    ScheduleNextFrame();  // a cat sound may now be due
}

// Not while the menu is open, which would change under the pointer: the folders are read once it has closed.
void SitterWindow::OnCostumeFoldersChanged() {
    if (character_->menu.IsOpen()) return costumeFolders_.ScanLater();
    const CostumeFolders::Outcome outcome = costumeFolders_.Scan(character_->wardrobe, character_->pictures);
    if (outcome.redraw) {
        ComposeFrames();
        ShowFrameInWindow();
        ScheduleNextFrame();
    }
    if (!outcome.toSay.empty()) Say(outcome.toSay);
}

void SitterWindow::OnDistanceChosen() {
    if (distanceDialog_.BringToFrontIfOpen()) return;
    const Tracking::Pause pause = tracking_->Paused();
    tracking_->ParkOutOfSight();  // the dialog shows where the character will sit
    try {
        distanceDialog_.Run(hwnd(), character_->preferences.distance, character_->preferences.sizePercent);
        settings::Write(settings::Distance, character_->preferences.distance);
    } catch (const platform::Error&) {
        // Not stored: the distance still holds for this run, and following must come back.
    }
}

// A size that cannot be stored stays as it was; the user is told.
void SitterWindow::OnSizeChosen(int percent) {
    try {
        settings::Write(settings::Size, percent);
    } catch (const platform::Error& e) {
        platform::ShowMessage("The size could not be changed:\r\n\r\n" + platform::ErrorLine(e), MB_OK | MB_ICONEXCLAMATION, hwnd());
        return;
    }
    character_->preferences.sizePercent = percent;
    character_->menu.CheckSize(percent);
    Rescale();
}

void SitterWindow::OnFortuneChosen() {
    Ask("Enter question", "!8BALL", "");  // the question itself does not matter
    if (const auto answer = TellFortune(platform::LoadStringResource(IDS_FORTUNES))) Say(*answer, "!8BALL");
}

// ---- Tracking ----

double SitterWindow::Scale() const { return imaging::CharacterScale(dpi_, character_->preferences.sizePercent); }

void SitterWindow::ComposeFrames() { frames_.Compose(character_->pictures, character_->art.blinkAt, Scale()); }

Tracking::Footing SitterWindow::FootingNow() const {
    const Preferences& preferences = character_->preferences;
    return {preferences.distance, preferences.sizePercent,
            SeatMetricsAt(character_->art.buttHeight, frames_.Size(), dpi_, Scale())};
}

void SitterWindow::PollEvery(unsigned ms) {
    pollTimer_.SetInterval(ms);
    pollTimer_.SetEnabled(ms != 0);
}

bool SitterWindow::Mirrored() const { return tracking_ && tracking_->Mirrored(); }

// ---- The frames, the blink and the cat sounds ----

void SitterWindow::OnPaint(HDC dc) { frames_.Show(dc, schedule_.Phase(), Mirrored()); }

void SitterWindow::ShowFrameInWindow() {
    if (!IsCreated()) return;
    if (!ownDC_) ownDC_ = GetDC(hwnd());  // released with the window: it is the class's own
    frames_.Show(ownDC_, schedule_.Phase(), Mirrored());
}

void SitterWindow::OnFrameTimer() {
    const bool mewing = character_->wardrobe.WearsCatgirl();
    const BlinkSchedule::Change change = schedule_.AdvanceTo(GetTickCount64() - createdAt_, mewing);
    if (change.phaseChanged) ShowFrameInWindow();
    if (change.mewDue) Mew();
    ScheduleNextFrame();
}

// The timer is due at the next period that changes the frame or brings a cat sound: the periods between are
// counted, not drawn.
void SitterWindow::ScheduleNextFrame() {
    frameTimer_.SetInterval(schedule_.MsToNextChange(GetTickCount64() - createdAt_, character_->wardrobe.WearsCatgirl()));
}

void SitterWindow::Mew() { Say(CatSound(platform::NextRandom())); }
