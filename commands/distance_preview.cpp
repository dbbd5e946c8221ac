#include "commands/distance_preview.h"

#include <algorithm>

#include "platform/number.h"

int32_t ClampDistance(int32_t fromSide) { return std::clamp<int32_t>(fromSide, 0, 100); }

int32_t PreviewSitterX(int32_t lWidth, int32_t lImageWidth, int32_t lValue) {
    const double x = lWidth - ((lWidth - lImageWidth) / 100.0) * lValue - lImageWidth;
    return platform::RoundToLongClamped(x);
}

int32_t MetricFromText(const std::string& sText) {
    return platform::RoundToLongClamped(platform::MetricValue(sText).value_or(0));
}

namespace {

// A length of the 96-DPI design at another DPI, rounded halves to even like every twips conversion.
int32_t Scaled(int32_t px96, int dpi) { return platform::RoundToLongClamped(px96 * dpi / 96.0); }

RECT ScaledRect(int32_t left, int32_t top, int32_t width, int32_t height, int dpiX, int dpiY) {
    const int32_t l = Scaled(left, dpiX);
    const int32_t t = Scaled(top, dpiY);
    return RECT{l, t, l + Scaled(width, dpiX), t + Scaled(height, dpiY)};
}

}  // namespace

DistanceLayout DistanceLayoutAt(int dpiX, int dpiY) {
    DistanceLayout layout{};
    layout.client = SIZE{Scaled(377, dpiX), Scaled(169, dpiY)};  // 5655 x 2535 twips
    layout.hsbOffset = ScaledRect(8, 8, 321, 17, dpiX, dpiY);
    layout.lblOffset = ScaledRect(336, 8, 33, 17, dpiX, dpiY);
    layout.Picture1 = ScaledRect(8, 32, 361, 129, dpiX, dpiY);
    return layout;
}

int32_t DialogFontHeight(int dpiY) { return -platform::RoundToLongClamped(8.25 * dpiY / 72.0); }
