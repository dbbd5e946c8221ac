#pragma once
// The character's scale: the display's (DPI / 96) times the Size its user picks.
#include <array>

inline constexpr std::array<int, 4> CharacterSizes{100, 150, 200, 300};  // percent, as the menu offers them

inline constexpr double CharacterScale(int dpi, int sizePercent) { return dpi / 96.0 * sizePercent / 100.0; }
