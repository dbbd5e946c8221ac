#pragma once
// The character's popup menu: "Distance...", "Costume 1", "Costume 2", "Functions" with "!8ball", "Size"
// with the sizes on offer, a separator and "Exit". The costume submenus are the wardrobe's to fill.
#include <windows.h>

#include <array>
#include <optional>

#include "platform/handles.h"

class PopupMenu {
public:
    static constexpr UINT DistanceCommand = 1001;
    static constexpr UINT FortuneCommand = 1002;
    static constexpr UINT ExitCommand = 1003;

    PopupMenu();
    // The costume submenus, layer 1 first.
    std::array<HMENU, 2> CostumeMenus() const { return costumes_; }
    // The command of a size of CharacterSizes, and the size a command names.
    static UINT SizeCommand(int percent);
    static std::optional<int> SizeOf(UINT command);
    // Checks the size worn, alone.
    void CheckSize(int percent) const;
    // Shows the menu at `at` for `owner` and waits for the choice: its command, or 0 for none.
    UINT Choose(HWND owner, POINT at);
    bool IsOpen() const { return open_; }

private:
    platform::UniqueMenu menu_;  // destroys its submenus with it
    std::array<HMENU, 2> costumes_{};
    HMENU sizes_ = nullptr;
    bool open_ = false;  // while Choose shows it
};
