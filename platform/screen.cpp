#include "platform/screen.h"

#include <windows.h>

namespace platform {
namespace {

struct Dpi {
    int x = 96;
    int y = 96;
};

// The system DPI is fixed for a system-DPI-aware process, so it is read once.
const Dpi& SystemDpi() {
    static const Dpi dpi = [] {
        Dpi d;
        if (HDC screen = GetDC(nullptr)) {
            d.x = GetDeviceCaps(screen, LOGPIXELSX);
            d.y = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
        }
        if (d.x <= 0) d.x = 96;
        if (d.y <= 0) d.y = 96;
        return d;
    }();
    return dpi;
}

}  // namespace

int ScreenDpiX() { return SystemDpi().x; }
int ScreenDpiY() { return SystemDpi().y; }
double TwipsPerPixelX() { return TwipsPerPixelAt(ScreenDpiX()); }
double TwipsPerPixelY() { return TwipsPerPixelAt(ScreenDpiY()); }

}  // namespace platform
