// The distance dialog with the program's own resources, run by the dialog manager: read-out, setting,
// preview pixels, its layout at a DPI, and a failure to open.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "commands/distance_dialog.h"
#include "commands/distance_layout.h"
#include "imaging/pixel_art.h"
#include "imaging/pixels.h"
#include "platform/error.h"
#include "platform/host.h"
#include "resources/resource_ids.h"
#include "tests/support/after.h"

namespace {

const COLORREF Face = GetSysColor(COLOR_BTNFACE);  // what the window system erases the preview to

HWND OpenDialog() { return FindWindowW(DistanceDialog::ClassName, L"Set Distance"); }
int32_t SliderValue(HWND dialog) { return GetScrollPos(GetDlgItem(dialog, IDC_DISTANCE_SLIDER), SB_CTL); }
std::wstring ReadOut(HWND dialog) { wchar_t t[16] = {}; GetWindowTextW(GetDlgItem(dialog, IDC_DISTANCE_READOUT), t, 16); return t; }
// A control's rectangle in the dialog's client area.
RECT Placed(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Once the dialog manager has shown the dialog (when its queue first runs empty), `inside` with its window;
// then closes it as the close button does.
void RunWith(DistanceDialog& dialog, int32_t& distance, int size, const std::function<void(HWND)>& inside) {
    std::function<void()> whenShown = [&] {
        HWND shown = OpenDialog();
        if (!IsWindowVisible(shown)) return testing_support::After(10, whenShown);
        inside(shown);
        PostMessageW(shown, WM_CLOSE, 0, 0);
    };
    testing_support::After(10, whenShown);
    dialog.Run(nullptr, distance, size);
}

// Above the preview's frame only the character is drawn, where and as large as the preview's rule says, its
// seat (art row 92) on the frame's inner top line: black left out where the nearest art pixel is black, and at
// whole scales the art's own colours in blocks. Its top row shows: the box's top row is clear of it.
void ExpectCharacterSeated(HWND dialog, int dpi, int size) {
    cDIBSection art, shot;
    art.CreateFromPicture(platform::LoadBitmapResource(IDB_BASE).get());
    HWND preview = GetDlgItem(dialog, IDC_DISTANCE_PREVIEW);
    RECT box{};
    GetClientRect(preview, &box);
    ASSERT_TRUE(shot.Create(box.right, box.bottom));
    BitBlt(shot.hDC(), 0, 0, box.right, box.bottom, platform::WindowDC(preview).get(), 0, 0, SRCCOPY);
    const PreviewWindow window = PreviewWindowIn({box.right, box.bottom}, platform::SystemMetricAt(SM_CYCAPTION, dpi),
                                                 platform::SystemMetricAt(SM_CXBORDER, dpi));
    const PreviewCharacter shown =
        PreviewCharacterIn(window.seatLine, {77, 126}, 92, imaging::CharacterScale(dpi, size));
    const int32_t w = shown.size.cx, h = shown.size.cy, left = PreviewCharacterX(box.right, w, SliderValue(dialog));
    int wrong = 0, drawn = 0, inTopRow = 0;
    for (int y = 0; y < window.frame.top; ++y)
        for (int x = 0; x < box.right; ++x) {
            COLORREF expected = Face;
            if (x >= left && x < left + w && y >= shown.top && y < shown.top + h)
                if (const COLORREF c = GetPixel(art.hDC(), imaging::SourceUnderCentre(x - left, w, 77), imaging::SourceUnderCentre(y - shown.top, h, 126)); c)
                    expected = c;
            const COLORREF seen = GetPixel(shot.hDC(), x, y);
            wrong += shown.scale == std::floor(shown.scale) ? seen != expected : (seen != Face) != (expected != Face);
            drawn += expected != Face;
            inTopRow += y == 0 && seen != Face;
        }
    EXPECT_EQ(std::tuple(wrong, drawn > 0, inTopRow), std::tuple(0, true, 0)) << "character at " << left << "," << shown.top;
}

void Scroll(HWND d, int code, int thumb = 0) { SendMessageW(d, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_DISTANCE_SLIDER))); }

// Opened with a setting, then one slider event: the read-out, the setting and the preview follow at once.
TEST(DistanceDialog, ShowsTheSettingClampedAndFollowsTheSlider) {
    const struct { int32_t start; int code, thumb; int32_t value, stored; } cases[] = {
        {0, SB_ENDSCROLL, 0, 0, 0}, {50, SB_ENDSCROLL, 0, 50, 50}, {100, SB_ENDSCROLL, 0, 100, 100},
        {INT32_MIN, SB_ENDSCROLL, 0, 0, INT32_MIN}, {INT32_MAX, SB_ENDSCROLL, 0, 100, INT32_MAX},  // shown clamped
        {0, SB_LINERIGHT, 0, 1, 1}, {0, SB_PAGERIGHT, 0, 10, 10}, {50, SB_PAGELEFT, 0, 40, 40}, {30, SB_LEFT, 0, 0, 0},
        {10, SB_THUMBTRACK, 73, 73, 73}, {10, SB_THUMBPOSITION, 42, 42, 42}, {30, SB_RIGHT, 0, 100, 100},
        {250, SB_LINELEFT, 0, 99, 99}, {250, SB_LINERIGHT, 0, 100, 250}};  // the slider did not move: kept
    DistanceDialog dialog;  // one for every opening, as the character's window keeps it
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.start << " code " << c.code);
        int32_t fromSide = c.start;
        RunWith(dialog, fromSide, 100, [&](HWND shown) {
            for (bool scrolled : {false, true}) {
                if (scrolled) Scroll(shown, c.code, c.thumb);
                const int32_t value = scrolled ? c.value : ClampDistance(c.start);
                EXPECT_EQ(std::pair(SliderValue(shown), ReadOut(shown)), std::pair(value, std::to_wstring(value) + L"%"));
                EXPECT_EQ(fromSide, scrolled ? c.stored : c.start) << "opening alone never rewrites the setting";
                ExpectCharacterSeated(shown, 96, 100);
            }
        });
    }
}

// Wine gives every monitor the same DPI, so the message a move to another monitor brings is sent here.
TEST(DistanceDialog, LaysItselfOutAndSeatsTheWholeCharacterAtItsDpiAndSize) {
    const struct { int dpi, size; SIZE client; RECT slider, readOut, preview; LONG fontHeight, smallIcon; } cases[] = {
        {96, 150, {377, 169}, {8, 8, 329, 25}, {336, 8, 369, 25}, {8, 32, 369, 161}, -11, 16},
        {144, 200, {566, 254}, {12, 12, 494, 38}, {504, 12, 554, 38}, {12, 48, 554, 242}, -16, 24},  // 565.5 x 253.5 ...
        {144, 300, {566, 254}, {12, 12, 494, 38}, {504, 12, 554, 38}, {12, 48, 554, 242}, -16, 24},  // ... halves to even
        {192, 300, {754, 338}, {16, 16, 658, 50}, {672, 16, 738, 50}, {16, 64, 738, 322}, -22, 32}};
    DistanceDialog dialog;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dpi << " DPI, Size " << c.size);
        int32_t distance = 35;
        RunWith(dialog, distance, c.size, [&](HWND shown) {
            RECT window{}, client{};
            GetWindowRect(shown, &window), GetClientRect(shown, &client);
            // The system suggests the window around the client area at the new DPI; Wine keeps the frame as it is.
            window.right += c.client.cx - client.right, window.bottom += c.client.cy - client.bottom;
            if (c.dpi != 96) SendMessageW(shown, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&window));
            RedrawWindow(shown, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GetClientRect(shown, &client);
            const RECT slider = Placed(shown, IDC_DISTANCE_SLIDER), readOut = Placed(shown, IDC_DISTANCE_READOUT),
                       preview = Placed(shown, IDC_DISTANCE_PREVIEW);
            EXPECT_TRUE(EqualRect(&slider, &c.slider) && EqualRect(&readOut, &c.readOut) && EqualRect(&preview, &c.preview));
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(shown, IDC_DISTANCE_READOUT, WM_GETFONT, 0, 0)), sizeof font, &font);
            // The program's own icon, from its resources, in the caption's size at the DPI.
            ICONINFO icon{};
            BITMAP image{};
            GetIconInfo(reinterpret_cast<HICON>(SendMessageW(shown, WM_GETICON, ICON_SMALL, 0)), &icon);
            GetObjectW(icon.hbmColor, sizeof image, &image);
            DeleteObject(icon.hbmColor), DeleteObject(icon.hbmMask);
            EXPECT_EQ(std::tuple(client.right, client.bottom, font.lfHeight, ReadOut(shown), image.bmWidth),
                      std::tuple(c.client.cx, c.client.cy, c.fontHeight, std::wstring(L"35%"), c.smallIcon));
            ExpectCharacterSeated(shown, c.dpi, c.size);
        });
    }
}

// A failure to open comes out of Run as it was raised, and leaves no dialog behind.
TEST(DistanceDialog, ReportsAFailureToOpen) {
    platform::Host host;
    host.loadBitmap = [](int id) -> platform::UniqueBitmap { platform::RaiseResourceNotFound(id); };
    platform::HostOverride injected(std::move(host));
    DistanceDialog dialog;
    int32_t fromSide = 0, raised = 0;
    try {
        dialog.Run(nullptr, fromSide, 100);
    } catch (const platform::Error& e) {
        raised = e.Number();
    }
    EXPECT_EQ(std::tuple(raised, OpenDialog(), dialog.BringToFrontIfOpen()), std::tuple(platform::err::ResourceNotFound, HWND{}, false));
}

}  // namespace
