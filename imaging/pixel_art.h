#pragma once
// Pixel art drawn at the window's scale: exact blocks at whole scales, and at fractional ones smooth inside
// an outline that stays the nearest neighbour's, with no fringe toward the colour key.
#include <windows.h>

#include "imaging/cDIBSection.h"

namespace imaging {

// The scale the character's art is drawn at: the display's (DPI / 96) times the Size its user picks.
inline constexpr double CharacterScale(int dpi, int sizePercent) { return dpi / 96.0 * sizePercent / 100.0; }

// The first of `targetHeight` rows that shows source row `sourceRow` or one below it, by the nearest-neighbour
// outline: where a seat row of the art lands when it is drawn that tall.
int32_t FirstRowShowing(int32_t sourceRow, int32_t sourceHeight, int32_t targetHeight);

// Each side times `scale`, rounded to nearest with halves to even, at least 1.
SIZE ScaledArtSize(SIZE art, double scale);

// Makes `target` ScaledArtSize of the art's size (keeping it when it is that size already) and draws the source
// into all of it by ScalePixelArt (imaging/pixels.h) against `key`. Art drawn at high resolution holds `detail`
// pixels per pixel of the art (source size = detail x art size): it is scaled from its own pixels, so that at
// scale 1 it is reduced to the art's size, with the same outline rule. False when the source holds no pixels or
// the target cannot be made; raises Overflow as Create does for a size beyond 32 bits. The source and the target
// are different buffers.
bool ScaleArt(const cDIBSection& source, cDIBSection& target, double scale, COLORREF key, int detail = 1);

}  // namespace imaging
