#pragma once
// Pixel art drawn at the window's scale: exact blocks at whole scales, and at fractional ones smooth inside
// an outline that stays the nearest neighbour's, with no fringe toward the colour key.
#include <windows.h>

#include "imaging/cDIBSection.h"

namespace imaging {

// Each side times `scale`, rounded to nearest with halves to even, at least 1.
SIZE ScaledArtSize(SIZE art, double scale);

// Makes `target` ScaledArtSize of the source's size (keeping it when it is that size already) and draws the
// source into all of it by ScalePixelArt (imaging/pixels.h) against `key`. False when the source holds no pixels
// or the target cannot be made; raises Overflow as Create does for a size beyond 32 bits. Source and target are
// different buffers.
bool ScaleArt(const cDIBSection& source, cDIBSection& target, double scale, COLORREF key);

}  // namespace imaging
