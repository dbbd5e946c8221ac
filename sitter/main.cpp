// Pellory: a small costumed character that sits on the foreground window.
#include <windows.h>

#include <commctrl.h>

#include "platform/window.h"
#include "sitter/sitter_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    static SitterWindow sitter;  // lives until the process ends
    sitter.Show(SW_SHOWNA);      // shown without taking the foreground from the window it will sit on
    return platform::RunMessageLoop();
}
