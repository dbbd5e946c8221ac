#pragma once
// Colour-keyed layered windows, where the system has them (NT 5 and later).
#include <windows.h>

#include <cstdint>

// True on the NT platform with a major version of 5 or more.
bool LayeringSupported();

// Makes the window layered with lKeyColour (0x00BBGGRR) as its transparent colour; false where layering
// is not supported, and then nothing is changed.
bool MakeColourKeyed(HWND lHWnd, int32_t lKeyColour);
