// The popup menu of the character and its commands: costumes, distance, exit.
#include "balloon/frmBalloon.h"
#include "commands/frmDistance.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/variant.h"
#include "registry/cRegistry.h"
#include "sitter/frmSitter.h"

namespace {

// Writes one setting as a REG_DWORD through a store of its own.
void WriteSetting(const char* valueName, const platform::Variant& value) {
    cRegistry settings;
    settings.SetClassKey(cRegistry::HKeyCurrentUser);
    settings.SetSectionKey(frmSitter::RegistryKey);
    settings.SetValueKey(valueName);
    settings.SetValueType(REG_DWORD);
    settings.SetValue(value);
}

}  // namespace

void frmSitter::BuildPopupMenu() {
    poop_.reset(CreatePopupMenu());
    HMENU functions = CreatePopupMenu();  // owned by poop from here on
    AppendMenuA(functions, MF_STRING, mnu8BallCommand, "!8ball");
    AppendMenuA(poop_.get(), MF_STRING, mnuDistanceCommand, "Distance...");
    AppendMenuA(poop_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(mnuCos.Handle()), "Costume 1");
    AppendMenuA(poop_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(mnuCos2.Handle()), "Costume 2");
    AppendMenuA(poop_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(functions), "Functions");
    AppendMenuA(poop_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(poop_.get(), MF_STRING, mnuExitCommand, "Exit");
}

void frmSitter::Form_MouseUp(int button, int, int, int) {
    if (button != platform::vbRightButton) {
        Say("Don't touch me!");
        return;
    }
    timSitter.SetEnabled(false);
    try {
        RunCommand(TrackPopup());
    } catch (const platform::Error&) {
        // A fortune without its answers says nothing; tracking comes back all the same.
    }
    timSitter.SetEnabled(true);
}

UINT frmSitter::TrackPopup() {
    POINT pointer{};
    GetCursorPos(&pointer);
    // The owner must be in the foreground, or the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(hWnd());
    UINT command = static_cast<UINT>(TrackPopupMenu(poop_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                    pointer.x, pointer.y, 0, hWnd(), nullptr));
    PostMessageA(hWnd(), WM_NULL, 0, 0);
    return command;
}

void frmSitter::RunCommand(UINT command) {
    // A costume command that fails stops where it failed, leaving the costume as it was; the user is told.
    auto reported = [this](auto&& costumeCommand) {
        try {
            costumeCommand();
        } catch (const platform::Error& e) {
            platform::MsgBox("The costume could not be changed:\r\n\r\nError #" + std::to_string(e.Number()) +
                                 " - " + e.Description(),
                             MB_OK | MB_ICONEXCLAMATION, hWnd());
        }
    };
    if (auto index = mnuCos.IndexOfCommand(command)) return reported([&] { mnuCos_Click(*index); });
    if (auto index = mnuCos2.IndexOfCommand(command)) return reported([&] { mnuCos2_Click(*index); });
    switch (command) {
        case mnuDistanceCommand: return mnuDistance_Click();
        case mnu8BallCommand: return mnu8Ball_Click();
        case mnuExitCommand: return mnuExit_Click();
        default: return;  // the menu was closed without a choice
    }
}

void frmSitter::CostumeClick(platform::MenuArray& menu, platform::PictureHolder& picture, const char* valueName,
                             int firstBitmap, int Index) {
    WriteSetting(valueName, platform::Variant(static_cast<int16_t>(Index)));
    menu.SetTag(0, std::to_string(Index));
    const int32_t t = platform::Variant(menu.Tag(0)).ToLong();
    picture.SetPicture(platform::LoadResPicture(firstBitmap - 1 + t));
    for (int i = 1; i <= menu.UBound(); ++i) menu.SetChecked(i, false);
    menu.SetChecked(Index, true);
}

void frmSitter::mnuCos_Click(int Index) { CostumeClick(mnuCos, picCostume, "Costume", 110, Index); }

void frmSitter::mnuCos2_Click(int Index) { CostumeClick(mnuCos2, picCostume2, "Costume2", 150, Index); }

void frmSitter::mnuDistance_Click() {
    // Whatever fails here, tracking must come back.
    try {
        timSitter.SetEnabled(false);
        Move(-10000, Top());
        frmDistance dialog(FromSide);
        dialog.ShowModal(hWnd());
        WriteSetting("FromSide", platform::Variant(FromSide));
    } catch (const platform::Error&) {
    } catch (const std::exception&) {
    }
    timSitter.SetEnabled(true);
}

void frmSitter::mnuExit_Click() { platform::End(0); }
