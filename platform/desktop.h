#pragma once
// What the desktop looks like: the foreground window and the monitors, as rectangles in screen pixels.
// Tests stand in for them through the host seam (a virtual desktop has one monitor only).
#include <windows.h>

namespace platform {

// The window in the foreground; 0 for a moment while the foreground switches.
HWND ForegroundWindow();

// The monitor that holds most of the window (or is nearest to it).
RECT MonitorOfWindow(HWND window);
// The monitor that holds most of the rectangle (or is nearest to it).
RECT MonitorOfRect(const RECT& rect);
// The rectangle that spans every monitor.
RECT VirtualScreen();

}  // namespace platform
