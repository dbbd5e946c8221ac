#include "commands/distance_layout.h"

#include <algorithm>

#include "platform/number.h"

int32_t ClampDistance(int32_t distance) { return std::clamp<int32_t>(distance, 0, 100); }

int32_t PreviewCharacterX(int32_t previewWidth, int32_t imageWidth, int32_t distance) {
    return platform::RoundHalfEvenClampedToInt32(previewWidth - ((previewWidth - imageWidth) / 100.0) * distance - imageWidth);
}

namespace {

// A length of the 96-DPI design at another DPI, rounded halves to even like every twips conversion.
int32_t Scaled(int32_t px96, int dpi) { return platform::RoundHalfEvenClampedToInt32(px96 * dpi / 96.0); }

RECT ScaledRect(int32_t left, int32_t top, int32_t width, int32_t height, int dpiX, int dpiY) {
    const int32_t l = Scaled(left, dpiX);
    const int32_t t = Scaled(top, dpiY);
    return RECT{l, t, l + Scaled(width, dpiX), t + Scaled(height, dpiY)};
}

}  // namespace

DistanceLayout DistanceLayoutAt(int dpiX, int dpiY) {
    return {SIZE{Scaled(377, dpiX), Scaled(169, dpiY)},  // 5655 x 2535 twips
            ScaledRect(8, 8, 321, 17, dpiX, dpiY), ScaledRect(336, 8, 33, 17, dpiX, dpiY),
            ScaledRect(8, 32, 361, 129, dpiX, dpiY)};
}
