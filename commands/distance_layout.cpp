#include "commands/distance_layout.h"

#include <algorithm>

#include "imaging/pixel_art.h"
#include "platform/number.h"
#include "platform/units.h"

int32_t ClampDistance(int32_t distance) { return std::clamp<int32_t>(distance, 0, 100); }

int32_t PreviewCharacterX(int32_t previewWidth, int32_t imageWidth, int32_t distance) {
    return platform::RoundHalfEvenClampedToInt32(previewWidth - ((previewWidth - imageWidth) / 100.0) * distance - imageWidth);
}

PreviewWindow PreviewWindowIn(SIZE box, int32_t captionHeight, int32_t border) {
    const RECT caption{border, box.cy - captionHeight, box.cx - border - 2, box.cy};
    // The raised edge is 2 pixels thick and open at the bottom: the outline of a window whose top edge is frame.top.
    const RECT frame{0, caption.top - border - 2, box.cx, box.cy};
    return {caption, frame, frame.top + 2};
}

PreviewCharacter PreviewCharacterIn(int32_t seatLine, SIZE art, int32_t seatRow, double characterScale) {
    const int32_t full = imaging::ScaledArtSize(art, characterScale).cy;
    int32_t height = full;
    while (height > 1 && imaging::FirstRowShowing(seatRow, art.cy, height) > seatLine) --height;
    // Smaller than the character, the scale that draws it `height` rows tall.
    const double scale = height == full ? characterScale : height / static_cast<double>(art.cy);
    return {scale, imaging::ScaledArtSize(art, scale), seatLine - imaging::FirstRowShowing(seatRow, art.cy, height)};
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
