#pragma once
// What the desktop looks like: monitors and windows as rectangles in screen pixels.
#include <windows.h>

namespace platform {

// The monitor that holds most of the window (or is nearest to it).
RECT MonitorOfWindow(HWND window);
// The monitor that holds most of the rectangle (or is nearest to it).
RECT MonitorOfRect(const RECT& rect);
// The rectangle that spans every monitor.
RECT VirtualScreen();

// Asks for a window's visible frame; returns false where it cannot say.
using FrameBoundsQuery = bool (*)(HWND window, RECT& bounds);
// The desktop window manager's visible frame (DWMWA_EXTENDED_FRAME_BOUNDS), looked up at run time so the
// program still starts where dwmapi is missing; null when there is no such function.
FrameBoundsQuery SystemFrameBoundsQuery();
// The visible frame of `window`: from `query` when it answers, else GetWindowRect, else all zeros.
// GetWindowRect of a top-level window includes invisible resize borders on current Windows.
RECT VisibleFrame(HWND window, FrameBoundsQuery query = SystemFrameBoundsQuery());

// Whether a visible window above `window` in the z-order overlaps `area`.
bool IsOverlappedFromAbove(HWND window, const RECT& area);

}  // namespace platform
