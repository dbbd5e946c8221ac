#include "imaging/pixel_art.h"

#include <algorithm>
#include <cstddef>

#include "imaging/pixels.h"
#include "platform/number.h"

namespace imaging {

int32_t FirstRowShowing(int32_t sourceRow, int32_t sourceHeight, int32_t targetHeight) {
    int32_t row = 0;
    while (row < targetHeight && SourceUnderCentre(row, targetHeight, sourceHeight) < sourceRow) ++row;
    return row;
}

SIZE ScaledArtSize(SIZE art, double scale) {
    auto side = [scale](LONG length) { return std::max(1, platform::RoundHalfEvenClampedToInt32(length * scale)); };
    return {side(art.cx), side(art.cy)};
}

bool ScaleArt(const cDIBSection& source, cDIBSection& target, double scale, COLORREF key, int detail) {
    if (source.DIBSectionBitsPtr() == nullptr) return false;
    // From the art's own size, so that every detail gives the built-in art's size at the same scale exactly.
    detail = std::max(detail, 1);
    const SIZE size = ScaledArtSize({source.Width() / detail, source.Height() / detail}, scale);
    // A target of this size already is kept: every pixel of it is drawn anew.
    const bool fits = target.DIBSectionBitsPtr() != nullptr && target.Width() == size.cx && target.Height() == size.cy;
    if (!fits && !target.Create(size.cx, size.cy)) return false;
    GdiFlush();  // drawing still queued in GDI must reach the source's pixel memory first
    // Both seen top-down (the top row first, a negative stride), so the outline rounds from the image's top.
    auto topRow = [](const cDIBSection& b) {
        const ptrdiff_t lastRow = static_cast<ptrdiff_t>(b.Height() - 1) * b.BytesPerScanLine();
        return static_cast<uint8_t*>(b.DIBSectionBitsPtr()) + lastRow;
    };
    ScalePixelArt({topRow(source), source.Width(), source.Height(), -source.BytesPerScanLine()},
                  {topRow(target), target.Width(), target.Height(), -target.BytesPerScanLine()},
                  static_cast<uint32_t>(key));
    return true;
}

}  // namespace imaging
