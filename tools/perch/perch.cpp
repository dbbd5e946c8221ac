// perch: an ordinary captioned window at a given place, brought to the foreground, for the
// character to sit on in end-to-end runs and `make run`.
//
//   perch.exe LEFT TOP WIDTH HEIGHT [TITLE]
//
// The numbers are the window rectangle in screen pixels (caption and border included). The window
// stays until it is closed.
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc != 5 && __argc != 6) return 2;
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hbrBackground = CreateSolidBrush(RGB(0x3a, 0x6e, 0xa5));
    wc.lpszClassName = "Pellory.Perch";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, __argc == 6 ? __argv[5] : "Pellory Perch", WS_OVERLAPPEDWINDOW,
                                std::atoi(__argv[1]), std::atoi(__argv[2]), std::atoi(__argv[3]),
                                std::atoi(__argv[4]), nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
