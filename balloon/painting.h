#pragma once
// The balloon's face: a rounded bubble in the tooltip colours with a tail towards the character,
// a bold caption line and the wrapped body text. Whatever is left red is the window's colour key.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

inline constexpr COLORREF BalloonBackColor = RGB(255, 0, 0);

// Tahoma 8.25 points, regular and bold, made once for the window's life.
struct BalloonFonts {
    platform::UniqueFont regular;
    platform::UniqueFont bold;

    static BalloonFonts Create(int dpiY);
};

struct BalloonFace {
    std::string_view caption;
    std::string_view body;
    int16_t tailAtTop = 0;  // 1: tail on the top edge; 0: on the bottom edge; anything else: no tail
};

// Draws the whole face on a surface of width x height pixels, erasing it to red first. Leaves the
// device context's objects and colours as it found them.
void PaintBalloonFace(HDC dc, int width, int height, const BalloonFace& face, const BalloonFonts& fonts);
