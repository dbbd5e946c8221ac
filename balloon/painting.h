#pragma once
// The balloon's face: a rounded bubble in the tooltip colours with a tail towards the character,
// a bold caption line and the wrapped body text. Whatever is left red is the window's colour key.
#include <windows.h>

#include <string_view>

#include "balloon/placement.h"
#include "platform/handles.h"

// Tahoma 8.25 points, regular and bold, made for the window's DPI and made anew when that changes.
struct BalloonFonts {
    platform::UniqueFont regular;
    platform::UniqueFont bold;

    static BalloonFonts Create(int dpi);
};

struct BalloonFace {
    std::string_view caption;  // UTF-8, like the body
    std::string_view body;
    BalloonSide side;  // the tail's edge, near the right end when the balloon opens to the left, else mirrored
};

// Draws the whole face on a surface of width x height pixels, erasing it to the colour key first: the
// 96-DPI picture with every length scaled to `dpi` and lines one pixel wide, with `fonts` made for that
// DPI. Leaves the device context's objects and colours as it found them.
void PaintBalloonFace(HDC dc, int width, int height, const BalloonFace& face, const BalloonFonts& fonts, int dpi);
