#pragma once
// The rectangle of a window as the user sees it.
#include <windows.h>

// Asks for a window's visible frame; returns false where it cannot say.
using FrameBoundsQuery = bool (*)(HWND window, RECT& bounds);

// The desktop window manager's visible frame (DWMWA_EXTENDED_FRAME_BOUNDS), looked up at run time so the
// program still starts where dwmapi is missing; null when there is no such function.
FrameBoundsQuery SystemFrameBoundsQuery();

// The visible frame of `window`: from `query` when it answers, else GetWindowRect, else all zeros.
// GetWindowRect of a top-level window includes invisible resize borders on current Windows.
RECT VisibleFrame(HWND window, FrameBoundsQuery query = SystemFrameBoundsQuery());
