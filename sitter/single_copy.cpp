#include "sitter/single_copy.h"

#include "sitter/sitter_window.h"

UINT SingleCopy::AnotherStartMessage() {
    static const UINT message = RegisterWindowMessageA("Quarrystone.Pellory.AnotherStart");
    return message;
}

SingleCopy::SingleCopy(const char* name) : mutex_(CreateMutexA(nullptr, FALSE, name)) {
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

bool SingleCopy::TellRunningCopy() const {
    // The running copy may be starting up itself: its window comes at the end of its start-up.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (HWND running = FindWindowA(SitterWindow::ClassName, "Pellory"))
            return PostMessageA(running, AnotherStartMessage(), 0, 0) != FALSE;
        Sleep(100);
    }
    return false;
}
