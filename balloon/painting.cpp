#include "balloon/painting.h"

#include "platform/font.h"
#include "platform/layered.h"

namespace {

// Text colour and pen move together, as one foreground colour.
void SetForeColor(HDC dc, COLORREF colour) {
    SetDCPenColor(dc, colour);
    SetTextColor(dc, colour);
}

}  // namespace

BalloonFonts BalloonFonts::Create(int dpiY) { return {platform::CreateTahoma(dpiY), platform::CreateTahoma(dpiY, true)}; }

void PaintBalloonFace(HDC dc, int width, int height, const BalloonFace& face, const BalloonFonts& fonts) {
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

    RoundRect(dc, 24, 24, width - 24, height - 24, 16, 16);

    RECT text{32, 32, width - 32, height - 32};
    if (!face.caption.empty()) {
        text.top = 46;
        platform::SelectedObject boldFont(dc, fonts.bold.get());
        TextOutA(dc, 32, 32, face.caption.data(), static_cast<int>(face.caption.size()));
    }
    // DrawTextA keeps the text to the rectangle: lines below its bottom are cut off.
    DrawTextA(dc, face.body.data(), static_cast<int>(face.body.size()), &text, DT_WORDBREAK | DT_NOPREFIX);

    if (face.tail == Tail::Top) {
        MoveToEx(dc, 160, 24, nullptr);
        LineTo(dc, 184, 0);
        LineTo(dc, 184, 25);
        ExtFloodFill(dc, 180, 20, platform::BalloonColourKey, FLOODFILLSURFACE);
        // Painting over the outline along the tail's base joins tail and body into one shape.
        SetForeColor(dc, infoBack);
        MoveToEx(dc, 161, 24, nullptr);
        LineTo(dc, 184, 24);
        SetForeColor(dc, infoText);
    } else {
        MoveToEx(dc, 160, height - 24, nullptr);
        LineTo(dc, 184, height);
        LineTo(dc, 184, height - 25);
        ExtFloodFill(dc, 180, height - 20, platform::BalloonColourKey, FLOODFILLSURFACE);
        SetForeColor(dc, infoBack);
        MoveToEx(dc, 160, height - 25, nullptr);
        LineTo(dc, 184, height - 25);
        SetForeColor(dc, infoText);
    }

    SetBkMode(dc, oldBkMode);
    SetTextColor(dc, oldText);
    SetDCBrushColor(dc, oldBrush);
    SetDCPenColor(dc, oldPen);
}
