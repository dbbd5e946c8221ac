#pragma once
// Pixel loops over 24-bit bottom-up bitmap memory, free of any window or GDI call so that tests and the
// benchmark can run them on plain byte arrays.
#include <cstdint>

namespace imaging {

// Rows of `stride` bytes, 3 bytes a pixel in the order blue, green, red, row 0 first in memory.
// Only ScalePixelArt takes a negative stride (row 0 last in memory).
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

// The source pixel (column or row) under the centre of target pixel `i`, for a side of `sourceSize` pixels
// shown `targetSize` long: floor((i + 0.5) x source / target), the nearest neighbour's.
int32_t SourceUnderCentre(int32_t i, int32_t targetSize, int32_t sourceSize);

// Pixel art against the colour key `key` (0x00BBGGRR, as in a COLORREF) drawn into the whole of `target`.
// The outline is the nearest neighbour's: a target pixel is the key exactly when the source pixel under its
// centre is, floor((i + 0.5) x source size / target size) on each side, row 0 counted as the top.
// The colour inside is the art enlarged by nearest neighbour to the next whole scale k, then taken bilinearly
// (centre to centre) to the target size, from opaque pixels only: key pixels drop out and the others' weights
// are renormalised, so nothing blends toward the key. A blend that still comes out as the key moves one level
// toward the colour of its nearest pixel. Whole scales thus give exact blocks, and the same size a plain copy.
void ScalePixelArt(const SourcePixels& source, const TargetPixels& target, uint32_t key);

// Noise from `draw` (uniform in [0, 1)), each draw scaled to 0..255 with round half to even.
// Grey: row by row, one draw per pixel for all three channels.
// Colour: column by column, per pixel blue = 0, then one draw for green and one for red.
void FillNoise(const TargetPixels& target, bool gray, float (*draw)());

}  // namespace imaging
