// perch: an ordinary captioned window at a given place, brought to the foreground, for the
// character to sit on in end-to-end runs.
//
//   perch.exe LEFT TOP WIDTH HEIGHT [TITLE]
//
// The numbers are the window rectangle in screen pixels (caption and border included). The window
// stays until it is closed.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kClassName[] = "Pellory.Perch";

bool ParseInt(const char* text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') return false;
    out = static_cast<int>(v);
    return true;
}

void PaintContent(HWND hwnd, HDC dc) {
    RECT r{};
    GetClientRect(hwnd, &r);
    HBRUSH fill = CreateSolidBrush(RGB(0x3a, 0x6e, 0xa5));
    FillRect(dc, &r, fill);
    DeleteObject(fill);
    // A lighter band along the top edge, so a screenshot shows where the window begins.
    RECT band{r.left, r.top, r.right, r.top + 8};
    HBRUSH light = CreateSolidBrush(RGB(0xa8, 0xc8, 0xe8));
    FillRect(dc, &band, light);
    DeleteObject(light);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xff, 0xff, 0xff));
    DrawTextA(dc, "perch", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintContent(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int rect[4] = {100, 200, 500, 300};
    const char* title = "Pellory Perch";
    if (__argc >= 5) {
        for (int i = 0; i < 4; ++i)
            if (!ParseInt(__argv[i + 1], rect[i])) return 2;
    } else if (__argc != 1) {
        return 2;
    }
    if (__argc >= 6) title = __argv[5];

    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;

    HWND hwnd = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW, rect[0], rect[1], rect[2], rect[3],
                                nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
