// Pellory: a small costumed character that sits on the foreground window.
#include <windows.h>

#include <commctrl.h>

#include "platform/error.h"
#include "platform/host.h"
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

    platform::Owned<SitterWindow> sitter;
    try {
        // A start-up that fails has said why and destroyed the window: the loop then ends at once with its code.
        if (sitter.Create()) sitter.Show(SW_SHOWNA);  // shown without taking the foreground from the window it will sit on
    } catch (const platform::Error& e) {
        platform::ShowMessage(platform::ErrorLine(e), MB_OK | MB_ICONERROR);
        return 1;
    }
    return platform::RunMessageLoop();
}
