#include "platform/units.h"

#include <windows.h>

namespace platform {

Dpi SystemDpi() {
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

}  // namespace platform
