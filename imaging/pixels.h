#pragma once
// Pixel loops over 24-bit bottom-up bitmap memory, free of any window or GDI call so that tests and the
// benchmark can run them on plain byte arrays.
#include <cstdint>

namespace imaging {

// Rows of `stride` bytes, 3 bytes a pixel in the order blue, green, red, row 0 first in memory.
struct SourcePixels {
    const uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

struct TargetPixels {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

// Bilinear resampling of `source` into the whole of `target`, in memory row order.
// Scale = (source size - 1) / target size; each channel is interpolated vertically, rounded, then
// horizontally and rounded again (round half to even), all in single precision.
// Neighbours beyond the last source column or row are taken from that column or row, so 1-pixel-wide
// or -high sources stay inside the image. The alignment bytes at the end of target rows are untouched.
// Does nothing when either grid has no pixels.
void ResampleBilinear(const SourcePixels& source, const TargetPixels& target);

// Noise from `draw` (uniform in [0, 1)), each draw scaled to 0..255 with round half to even.
// Grey: row by row, one draw per pixel for all three channels.
// Colour: column by column, per pixel blue = 0, then one draw for green and one for red.
void FillNoise(const TargetPixels& target, bool gray, float (*draw)());

}  // namespace imaging
