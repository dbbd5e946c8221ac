#pragma once
// What the tests read of the character's settings and menus, past the program's own code.
#include <windows.h>

#include <string>
#include <vector>

#include "sitter/settings.h"

namespace testing_support {

// The stored value as "type:data" ("4:1"; "1:8 bytes" for any other type), or "missing".
inline std::string Stored(const char* name) {
    char data[256] = {};
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, settings::Key, name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return "missing";
    if (type == REG_DWORD) return "4:" + std::to_string(*reinterpret_cast<int32_t*>(data));
    return std::to_string(type) + ":" + std::to_string(size) + " bytes";
}

// No settings at all; a key the tests locked goes too, as its owner may delete it.
inline void DeleteSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, settings::Key);
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
}

// The items of a menu that carry a check mark, counted from 1.
inline std::vector<int> Checked(HMENU menu) {
    std::vector<int> checked;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) checked.push_back(i + 1);
    return checked;
}

}  // namespace testing_support
