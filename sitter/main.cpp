// Pellory: a small costumed character that sits on the foreground window.
#include <windows.h>

#include <commctrl.h>

#include "platform/window.h"
#include "sitter/single_copy.h"
#include "sitter/sitter_window.h"
#include "sitter/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A second start shows no second character: the one that runs says so instead.
    const SingleCopy copy;
    if (!copy.IsFirst()) {
        copy.TellRunningCopy();
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // A start-up failure that ends the program has said why; no window has been made.
    std::unique_ptr<Character> character = Startup::Run();
    if (!character) return 1;
    platform::Owned<SitterWindow> sitter(std::move(character));
    // Shown without taking the foreground from the window it sits on.
    if (!Startup::OpenWindow([&] { sitter.Create(), sitter.Show(SW_SHOWNA); })) return 1;
    return platform::RunMessageLoop(sitter.Watches());
}
