#pragma once
// The program's one face: Tahoma 8.25 points.
#include <cstdint>

#include "platform/handles.h"

namespace platform {

// 8.25 points as a character height in pixels at `dpi`, negative as LOGFONT wants it. Rounded like
// every other conversion of the program: to nearest, halves to even (16 pixels at 144 DPI).
int32_t TahomaHeight(int dpi);

UniqueFont CreateTahoma(int dpi, bool bold = false);

}  // namespace platform
