// The mouse on the character and the commands of its popup menu: costumes, distance, the oracle, exit.
// Every setting a command changes is stored at once.
#include "balloon/balloon.h"
#include "commands/distance_dialog.h"
#include "commands/fortune.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/desktop.h"
#include "resource_ids.h"
#include "sitter/seat.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"

namespace {

constexpr UINT FirstCostumeCommand[] = {1100, 1200};  // plus the costume index, per layer

}  // namespace

UINT SitterWindow::CostumeCommand(Layer layer, int index) {
    return FirstCostumeCommand[static_cast<size_t>(layer)] + static_cast<UINT>(index);
}

void SitterWindow::CheckCostume(Layer layer, int index) {
    const Wardrobe& w = wardrobe(layer);
    for (int i = 1; i <= static_cast<int>(w.names.size()); ++i)
        CheckMenuItem(w.menu, CostumeCommand(layer, i), MF_BYCOMMAND | (i == index ? MF_CHECKED : MF_UNCHECKED));
}

void SitterWindow::OnMouseUp(platform::MouseButton button, POINT) {
    if (button == platform::MouseButton::Right) return ShowPopupMenu();
    Say("Don't touch me!");
}

void SitterWindow::ShowPopupMenu() {
    // No tracking while the menu and its command run.
    trackingTimer_.SetEnabled(false);
    try {
        RunCommand(ChooseFromPopupMenu());
    } catch (const platform::Error&) {
        // A fortune without its answers says nothing; tracking comes back all the same.
    }
    trackingTimer_.SetEnabled(true);
}

UINT SitterWindow::ChooseFromPopupMenu() {
    POINT pointer{};
    GetCursorPos(&pointer);
    // The owner must be in the foreground, or the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(hwnd());
    const UINT command = static_cast<UINT>(TrackPopupMenu(popupMenu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                          pointer.x, pointer.y, 0, hwnd(), nullptr));
    PostMessageA(hwnd(), WM_NULL, 0, 0);
    return command;
}

void SitterWindow::RunCommand(UINT command) {
    for (Layer layer : BothLayers) {
        const int index = static_cast<int>(command) - static_cast<int>(CostumeCommand(layer, 0));
        if (index < 1 || static_cast<size_t>(index) > wardrobe(layer).names.size()) continue;
        // A costume that cannot be changed stays as it was; the user is told.
        try {
            OnCostumeChosen(layer, index);
        } catch (const platform::Error& e) {
            platform::ShowMessage("The costume could not be changed:\r\n\r\n" + platform::ErrorLine(e),
                                  MB_OK | MB_ICONEXCLAMATION, hwnd());
        }
        return;
    }
    switch (command) {
        case DistanceCommand: return OnDistanceChosen();
        case FortuneCommand: return OnFortuneChosen();
        case ExitCommand: return OnExitChosen();
        default: return;  // the menu was closed without a choice
    }
}

void SitterWindow::OnCostumeChosen(Layer layer, int index) {
    settings::Write(CostumeSetting(layer), index);
    wardrobe(layer).current = index;
    pictures_.costume[static_cast<size_t>(layer)].CreateFromPicture(
        platform::LoadBitmapResource(CostumeBitmap(layer, index)).get());
    CheckCostume(layer, index);
    ComposeFrames();
    ShowFrameInWindow();
    if (IsCreated()) ScheduleNextFrame();  // a mew may now be due
}

void SitterWindow::OnDistanceChosen() {
    // Whatever fails here, tracking must come back.
    try {
        trackingTimer_.SetEnabled(false);
        // Out of sight while the dialog is open.
        MoveCharacter(ParkedOutside(platform::VirtualScreen(), Metrics()).x, bounds_.top);
        DistanceDialog dialog(distance_);
        dialog.ShowModal(hwnd());
        settings::Write(settings::Distance, distance_);
    } catch (const std::exception&) {
    }
    trackingTimer_.SetEnabled(true);
}

void SitterWindow::OnFortuneChosen() {
    Ask("Enter question", "!8BALL", "");  // the question itself does not matter
    if (const auto answer = TellFortune(platform::LoadStringResource(IDS_FORTUNES))) Say(*answer, "!8BALL");
}

void SitterWindow::OnExitChosen() { EndProgram(); }
