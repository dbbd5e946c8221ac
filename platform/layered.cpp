#include "platform/layered.h"

namespace platform {

void MakeColourKeyed(HWND window, COLORREF key) {
    // Results unchecked: a window that cannot be layered keeps its background, which is all that fails.
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, key, 0, LWA_COLORKEY);
}

}  // namespace platform
