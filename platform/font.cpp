#include "platform/font.h"

#include "platform/number.h"

namespace platform {

int32_t TahomaHeight(int dpiY) { return -RoundHalfEvenClampedToInt32(8.25 * dpiY / 72.0); }

UniqueFont CreateTahoma(int dpiY, bool bold) {
    LOGFONTA face{};
    face.lfHeight = TahomaHeight(dpiY);
    face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(face.lfFaceName, "Tahoma", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&face));
}

}  // namespace platform
