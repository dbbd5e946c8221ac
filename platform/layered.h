#pragma once
// Colour-keyed layered windows, and the colour keys the program's pictures and windows agree on.
#include <windows.h>

namespace platform {

// The bare character stands on black: its window, and the distance dialog's preview, leave black out.
inline constexpr COLORREF CharacterColourKey = RGB(0, 0, 0);
// Costume and blink pictures mark in red what they leave out.
inline constexpr COLORREF PictureColourKey = RGB(255, 0, 0);
// The balloon is painted on red, which its window leaves out.
inline constexpr COLORREF BalloonColourKey = RGB(255, 0, 0);

// Makes the window layered with `key` as its transparent colour. Every system a 64-bit build runs on
// has layered windows, so nothing is asked first.
void MakeColourKeyed(HWND window, COLORREF key);

}  // namespace platform
