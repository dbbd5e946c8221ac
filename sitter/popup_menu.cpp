#include "sitter/popup_menu.h"

#include <string>

#include "sitter/scale.h"

namespace {

constexpr UINT FirstSizeCommand = 1300;

}  // namespace

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()), sizes_(CreatePopupMenu()) {
    HMENU functions = CreatePopupMenu();
    AppendMenuW(functions, MF_STRING, FortuneCommand, L"!&8ball");
    for (HMENU& costume : costumes_) costume = CreatePopupMenu();
    // Each size's access key is its first digit no size above it took: "&100%", "1&50%", "&200%", "&300%".
    std::wstring keys;
    for (const int percent : CharacterSizes) {
        std::wstring caption = std::to_wstring(percent) + L"%";
        const size_t key = caption.find_first_not_of(keys + L"%");
        if (key != std::wstring::npos) {
            keys += caption[key];
            caption.insert(key, L"&");
        }
        AppendMenuW(sizes_, MF_STRING, SizeCommand(percent), caption.c_str());
    }
    AppendMenuW(menu_.get(), MF_STRING, DistanceCommand, L"&Distance...");
    AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(costumes_[0]), L"Costume &1");
    AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(costumes_[1]), L"Costume &2");
    AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(functions), L"&Functions");
    AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(sizes_), L"&Size");
    AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu_.get(), MF_STRING, ExitCommand, L"E&xit");
}

UINT PopupMenu::SizeCommand(int percent) { return FirstSizeCommand + static_cast<UINT>(percent); }

std::optional<int> PopupMenu::SizeOf(UINT command) {
    for (const int percent : CharacterSizes)
        if (command == SizeCommand(percent)) return percent;
    return std::nullopt;
}

void PopupMenu::CheckSize(int percent) const {
    for (const int offered : CharacterSizes)
        CheckMenuItem(sizes_, SizeCommand(offered), MF_BYCOMMAND | (offered == percent ? MF_CHECKED : MF_UNCHECKED));
}

UINT PopupMenu::Choose(HWND owner, POINT at) {
    // The menu's window must be in the foreground, or the menu would not close when the user clicks elsewhere.
    // While a dialog of the owner is open, that is the dialog: the owner is disabled, and activating it
    // would take the foreground from the dialog, which should keep it after the menu.
    HWND front = GetLastActivePopup(owner);
    SetForegroundWindow(front);
    open_ = true;
    const auto command = static_cast<UINT>(
        TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, front, nullptr));
    open_ = false;
    PostMessageW(front, WM_NULL, 0, 0);
    return command;
}
