#include "balloon/painting.h"

#include <string>

#include "platform/font.h"
#include "platform/layered.h"
#include "platform/text.h"
#include "platform/units.h"

namespace {

// Text colour and pen move together, as one foreground colour.
void SetForeColor(HDC dc, COLORREF colour) {
    SetDCPenColor(dc, colour);
    SetTextColor(dc, colour);
}

}  // namespace

BalloonFonts BalloonFonts::Create(int dpi) { return {platform::CreateTahoma(dpi), platform::CreateTahoma(dpi, true)}; }

void PaintBalloonFace(HDC dc, int width, int height, const BalloonFace& face, const BalloonFonts& fonts, int dpi) {
    const auto at = [dpi](int length96) { return platform::ScaledForDpi(length96, dpi); };
    const COLORREF infoText = GetSysColor(COLOR_INFOTEXT);
    const COLORREF infoBack = GetSysColor(COLOR_INFOBK);

    // The stock DC pen and brush take any colour, so nothing is created per paint.
    platform::SelectedObject pen(dc, GetStockObject(DC_PEN));
    platform::SelectedObject brush(dc, GetStockObject(DC_BRUSH));
    platform::SelectedObject font(dc, fonts.regular.get());
    const COLORREF oldPen = GetDCPenColor(dc);
    const COLORREF oldBrush = GetDCBrushColor(dc);
    const COLORREF oldText = GetTextColor(dc);
    const int oldBkMode = SetBkMode(dc, TRANSPARENT);

    SetDCBrushColor(dc, platform::BalloonColourKey);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));

    SetDCBrushColor(dc, infoBack);
    SetForeColor(dc, infoText);

    // The margin leaves room for the tail; the outline lies on its first row inside (top and left) and on
    // the row one pixel in from the body's far edge (bottom and right).
    const int margin = at(24);
    RoundRect(dc, margin, margin, width - margin, height - margin, at(16), at(16));

    RECT text{at(32), at(32), width - at(32), height - at(32)};
    if (!face.caption.empty()) {
        text.top = at(46);
        platform::SelectedObject boldFont(dc, fonts.bold.get());
        const std::wstring caption = platform::Widen(face.caption);
        TextOutW(dc, at(32), at(32), caption.c_str(), static_cast<int>(caption.size()));
    }
    // DrawTextW keeps the text to the rectangle: lines below its bottom are cut off.
    const std::wstring body = platform::Widen(face.body);
    DrawTextW(dc, body.data(), static_cast<int>(body.size()), &text, DT_WORDBREAK | DT_NOPREFIX);

    // The tail starts on the outline at `base` and its tip lies on the window's edge; the steps of one
    // pixel tie it to that outline, whose row is one pixel wide at every DPI. Opening to the right, every
    // column is mirrored; the end points a line leaves out mirror too, so the pixels are the same, flipped.
    const bool mirrored = face.side.opens == Opens::Right;
    const auto column = [mirrored, width](int x) { return mirrored ? width - 1 - x : x; };
    const int base = column(at(160)), tip = column(at(184)), inside = column(at(180)), joined = column(at(160) + 1);
    if (face.side.tail == Tail::Top) {
        MoveToEx(dc, base, margin, nullptr);
        LineTo(dc, tip, 0);
        LineTo(dc, tip, margin + 1);
        ExtFloodFill(dc, inside, at(20), platform::BalloonColourKey, FLOODFILLSURFACE);
        // Painting over the outline along the tail's base joins tail and body into one shape.
        SetForeColor(dc, infoBack);
        MoveToEx(dc, joined, margin, nullptr);
        LineTo(dc, tip, margin);
        SetForeColor(dc, infoText);
    } else {
        const int outline = height - margin - 1;
        MoveToEx(dc, base, height - margin, nullptr);
        LineTo(dc, tip, height);
        LineTo(dc, tip, outline);
        ExtFloodFill(dc, inside, height - at(20), platform::BalloonColourKey, FLOODFILLSURFACE);
        SetForeColor(dc, infoBack);
        MoveToEx(dc, base, outline, nullptr);
        LineTo(dc, tip, outline);
        SetForeColor(dc, infoText);
    }

    SetBkMode(dc, oldBkMode);
    SetTextColor(dc, oldText);
    SetDCBrushColor(dc, oldBrush);
    SetDCPenColor(dc, oldPen);
}
