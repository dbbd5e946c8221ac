// Pellory: a small costumed character that sits on the foreground window.
#include <windows.h>

#include <commctrl.h>

#include "platform/window.h"
#include "sitter/single_copy.h"
#include "sitter/sitter_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A second start shows no second character: the one that runs says so instead.
    const SingleCopy copy;
    if (!copy.IsFirst()) {
        copy.TellRunningCopy();
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    static SitterWindow sitter;  // lives until the process ends
    sitter.Show(SW_SHOWNA);      // shown without taking the foreground from the window it will sit on
    return platform::RunMessageLoop();
}
