// The distance dialog with the program's own resources, on the screen: read-out, setting, preview pixels,
// its layout at a DPI and the modal loop.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/distance_dialog.h"
#include "commands/distance_layout.h"
#include "imaging/pixel_art.h"
#include "imaging/pixels.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/number.h"
#include "resources/resource_ids.h"
#include "tests/support/after.h"

namespace {

const COLORREF Face = GetSysColor(COLOR_BTNFACE);  // what the window system erases the preview to

void Pump() { for (int i = 0; i < 5; ++i, Sleep(20)) platform::ProcessPendingEvents(); }

HWND Control(const DistanceDialog& dialog, int id) { return GetDlgItem(dialog.hwnd(), id); }
int32_t SliderValue(const DistanceDialog& dialog) { return GetScrollPos(Control(dialog, DistanceDialog::SliderId), SB_CTL); }
std::wstring ReadOut(const DistanceDialog& dialog) { wchar_t t[16] = {}; GetWindowTextW(Control(dialog, DistanceDialog::ReadOutId), t, 16); return t; }
// A control's rectangle in the dialog's client area.
RECT Placed(const DistanceDialog& dialog, int id) {
    RECT r{};
    GetWindowRect(Control(dialog, id), &r);
    MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Above the preview's frame only the character is drawn, at the DPI times the Size, at PreviewCharacterX, its
// seat (art row 92) on the frame's inner top line: black left out where the nearest art pixel is black, and at
// whole scales the art's own colours in blocks.
void ExpectCharacterSeated(const DistanceDialog& dialog, int dpi, int size) {
    cDIBSection art, shot;
    art.CreateFromPicture(platform::LoadBitmapResource(IDB_BASE).get());
    HWND preview = Control(dialog, DistanceDialog::PreviewId);
    RECT box{};
    GetClientRect(preview, &box);
    ASSERT_TRUE(shot.Create(box.right, box.bottom));
    BitBlt(shot.hDC(), 0, 0, box.right, box.bottom, platform::WindowDC(preview).get(), 0, 0, SRCCOPY);
    const double scale = dpi / 96.0 * size / 100;
    const int32_t w = platform::RoundHalfEvenClampedToInt32(77 * scale), h = platform::RoundHalfEvenClampedToInt32(126 * scale);
    const int32_t frameTop =
        box.bottom - platform::SystemMetricAt(SM_CYCAPTION, dpi) - platform::SystemMetricAt(SM_CXBORDER, dpi) - 2;
    const int32_t left = PreviewCharacterX(box.right, w, SliderValue(dialog)), top = frameTop + 2 - imaging::FirstRowShowing(92, 126, h);
    int wrong = 0, drawn = 0;
    for (int y = 0; y < frameTop; ++y)
        for (int x = 0; x < box.right; ++x) {
            COLORREF expected = Face;
            if (x >= left && x < left + w && y >= top && y < top + h)
                if (const COLORREF c = GetPixel(art.hDC(), imaging::SourceUnderCentre(x - left, w, 77), imaging::SourceUnderCentre(y - top, h, 126)); c)
                    expected = c;
            const COLORREF shown = GetPixel(shot.hDC(), x, y);
            wrong += scale == std::floor(scale) ? shown != expected : (shown != Face) != (expected != Face);
            drawn += expected != Face;
        }
    EXPECT_EQ(std::pair(wrong, drawn > 0), std::pair(0, true)) << "character at " << left << "," << top;
}

void Scroll(const DistanceDialog& dialog, int code, int thumb = 0) {
    SendMessageW(dialog.hwnd(), WM_HSCROLL, MAKEWPARAM(code, thumb),
                 reinterpret_cast<LPARAM>(Control(dialog, DistanceDialog::SliderId)));
}

class DistanceDialogTest : public ::testing::Test {
protected:
    int32_t fromSide = 0;
    platform::Owned<DistanceDialog> dialog{fromSide, 100};
};

// Opened with a setting, then one slider event: the read-out, the setting and the preview follow at once.
TEST_F(DistanceDialogTest, ShowsTheSettingClampedAndFollowsTheSlider) {
    const struct { int32_t start; int code, thumb; int32_t value, stored; } cases[] = {
        {0, SB_ENDSCROLL, 0, 0, 0}, {50, SB_ENDSCROLL, 0, 50, 50}, {100, SB_ENDSCROLL, 0, 100, 100},
        {INT32_MIN, SB_ENDSCROLL, 0, 0, INT32_MIN}, {INT32_MAX, SB_ENDSCROLL, 0, 100, INT32_MAX},  // shown clamped
        {0, SB_LINERIGHT, 0, 1, 1}, {0, SB_PAGERIGHT, 0, 10, 10}, {50, SB_PAGELEFT, 0, 40, 40}, {30, SB_LEFT, 0, 0, 0},
        {10, SB_THUMBTRACK, 73, 73, 73}, {10, SB_THUMBPOSITION, 42, 42, 42}, {30, SB_RIGHT, 0, 100, 100},
        {250, SB_LINELEFT, 0, 99, 99}, {250, SB_LINERIGHT, 0, 100, 250}};  // the slider did not move: kept
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.start << " code " << c.code);
        fromSide = c.start, dialog.Show(), Pump();
        for (bool scrolled : {false, true}) {
            if (scrolled) Scroll(dialog, c.code, c.thumb);
            const int32_t shown = scrolled ? c.value : ClampDistance(c.start);
            EXPECT_EQ(std::pair(SliderValue(dialog), ReadOut(dialog)), std::pair(shown, std::to_wstring(shown) + L"%"));
            EXPECT_EQ(fromSide, scrolled ? c.stored : c.start) << "opening alone never rewrites the setting";
            ExpectCharacterSeated(dialog, 96, 100);
        }
        dialog.Destroy();
    }
}

// Wine gives every monitor the same DPI, so the message a move to another monitor brings is sent here.
TEST(DistanceDialogAtDpi, LaysItselfOutAndSeatsTheCharacterAtItsDpiAndSize) {
    const struct { int dpi, size; SIZE client; RECT slider, readOut, preview; LONG fontHeight, smallIcon; } cases[] = {
        {96, 150, {377, 169}, {8, 8, 329, 25}, {336, 8, 369, 25}, {8, 32, 369, 161}, -11, 16},
        {144, 200, {566, 254}, {12, 12, 494, 38}, {504, 12, 554, 38}, {12, 48, 554, 242}, -16, 24},  // 565.5 x 253.5 ...
        {144, 300, {566, 254}, {12, 12, 494, 38}, {504, 12, 554, 38}, {12, 48, 554, 242}, -16, 24}};  // ... halves to even
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dpi << " DPI, Size " << c.size);
        int32_t distance = 35;
        platform::Owned<DistanceDialog> dialog(distance, c.size);
        dialog.Show();
        RECT window = dialog.Bounds(), client{};
        GetClientRect(dialog.hwnd(), &client);
        // The system suggests the window around the client area at the new DPI; Wine keeps the frame as it is.
        window.right += c.client.cx - client.right, window.bottom += c.client.cy - client.bottom;
        if (c.dpi != 96) SendMessageW(dialog.hwnd(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&window));
        Pump();
        GetClientRect(dialog.hwnd(), &client);
        const RECT slider = Placed(dialog, DistanceDialog::SliderId), readOut = Placed(dialog, DistanceDialog::ReadOutId),
                   preview = Placed(dialog, DistanceDialog::PreviewId);
        EXPECT_TRUE(EqualRect(&slider, &c.slider) && EqualRect(&readOut, &c.readOut) && EqualRect(&preview, &c.preview));
        LOGFONTW font{};
        const auto readOutFont = reinterpret_cast<HFONT>(SendMessageW(Control(dialog, DistanceDialog::ReadOutId), WM_GETFONT, 0, 0));
        GetObjectW(readOutFont, sizeof font, &font);
        // The program's own icon, from its resources, in the caption's size at the DPI.
        ICONINFO icon{};
        BITMAP image{};
        GetIconInfo(reinterpret_cast<HICON>(SendMessageW(dialog.hwnd(), WM_GETICON, ICON_SMALL, 0)), &icon);
        GetObjectW(icon.hbmColor, sizeof image, &image);
        DeleteObject(icon.hbmColor), DeleteObject(icon.hbmMask);
        EXPECT_EQ(std::tuple(client.right, client.bottom, font.lfHeight, ReadOut(dialog), image.bmWidth),
                  std::tuple(c.client.cx, c.client.cy, c.fontHeight, std::wstring(L"35%"), c.smallIcon));
        ExpectCharacterSeated(dialog, c.dpi, c.size);
    }
}

TEST_F(DistanceDialogTest, ModalRunsUntilClosedKeepsTheLastValueAndLeavesTheOwnerUsable) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    bool shownOverDisabledOwner = false;
    testing_support::After(30, [&] {
        shownOverDisabledOwner = IsWindowVisible(dialog.hwnd()) && !IsWindowEnabled(owner);
        Scroll(dialog, SB_PAGERIGHT);
        PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);  // as the caption's close button does
    });
    dialog.ShowModal(owner);
    EXPECT_TRUE(shownOverDisabledOwner);
    EXPECT_EQ(fromSide, 10) << "the last value stays";
    platform::Host host;  // then a load that fails: the owner is left as it was
    host.loadBitmap = [](int) -> platform::UniqueBitmap { throw platform::Error(platform::err::ResourceNotFound, "", ""); };
    platform::HostOverride injected(std::move(host));
    EXPECT_THROW(dialog.ShowModal(owner), platform::Error);
    EXPECT_FALSE(dialog.IsCreated());
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

}  // namespace
