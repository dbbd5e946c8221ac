#include "commands/distance_layout.h"

#include <algorithm>

#include "platform/number.h"
#include "platform/units.h"

int32_t ClampDistance(int32_t distance) { return std::clamp<int32_t>(distance, 0, 100); }

int32_t PreviewCharacterX(int32_t previewWidth, int32_t imageWidth, int32_t distance) {
    return platform::RoundHalfEvenClampedToInt32(previewWidth - ((previewWidth - imageWidth) / 100.0) * distance - imageWidth);
}

namespace {

RECT ScaledRect(int32_t left, int32_t top, int32_t width, int32_t height, int dpi) {
    const int32_t l = platform::ScaledForDpi(left, dpi), t = platform::ScaledForDpi(top, dpi);
    return RECT{l, t, l + platform::ScaledForDpi(width, dpi), t + platform::ScaledForDpi(height, dpi)};
}

}  // namespace

DistanceLayout DistanceLayoutAt(int dpi) {
    return {SIZE{platform::ScaledForDpi(377, dpi), platform::ScaledForDpi(169, dpi)},  // 5655 x 2535 twips
            ScaledRect(8, 8, 321, 17, dpi), ScaledRect(336, 8, 33, 17, dpi), ScaledRect(8, 32, 361, 129, dpi)};
}
