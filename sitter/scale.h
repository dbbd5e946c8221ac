#pragma once
// The Sizes the user can pick for the character; its scale is imaging::CharacterScale.
#include <array>

inline constexpr std::array<int, 4> CharacterSizes{100, 150, 200, 300};  // percent, as the menu offers them
