#include "platform/font.h"

#include "platform/number.h"

namespace platform {

int32_t TahomaHeight(int dpi) { return -RoundHalfEvenClampedToInt32(8.25 * dpi / 72.0); }

UniqueFont CreateTahoma(int dpi, bool bold) {
    LOGFONTW face{};
    face.lfHeight = TahomaHeight(dpi);
    face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(face.lfFaceName, L"Tahoma", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&face));
}

}  // namespace platform
