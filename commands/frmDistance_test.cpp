// The distance dialog against the program's own resources: read-out, setting, preview pixels, sizes and
// the modal loop.
#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "commands/distance_preview.h"
#include "commands/frmDistance.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/screen.h"
#include "resource_ids.h"

namespace {

const COLORREF Background = GetSysColor(COLOR_BTNFACE);

SIZE InnerSize(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    return {r.right, r.bottom};
}

// The top of the drawn window frame in the preview, from the same metrics the dialog uses.
int32_t FrameTop(int32_t H) { return H - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CXBORDER) - 2; }

// Horizontal extent of what differs from `ignore` in rows [top, bottom) of a device context.
struct Extent {
    int left = INT_MAX;
    int right = INT_MIN;
    int top = INT_MAX;
    bool empty() const { return left == INT_MAX; }
};

Extent FindExtent(HDC dc, int width, int top, int bottom, COLORREF ignore, std::optional<COLORREF> alsoIgnore = {}) {
    Extent e;
    for (int y = std::max(0, top); y < bottom; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == ignore || (alsoIgnore && c == *alsoIgnore)) continue;
            e.left = std::min(e.left, x);
            e.right = std::max(e.right, x);
            e.top = std::min(e.top, y);
        }
    }
    return e;
}

// The preview drawn into a 24-bit DIB the size of the preview box, erased first as the window system would.
struct Rendered {
    cDIBSection dib;
    SIZE size{};
};

void Render(frmDistance& dialog, Rendered& out) {
    out.size = InnerSize(dialog.Picture1);
    ASSERT_TRUE(out.dib.Create(out.size.cx, out.size.cy));
    RECT all{0, 0, out.size.cx, out.size.cy};
    FillRect(out.dib.hDC(), &all, GetSysColorBrush(COLOR_BTNFACE));
    dialog.Picture1_Paint(out.dib.hDC());
}

// Checks that the character stands at PreviewSitterX for the dialog's value and sits on the frame.
void ExpectCharacterAt(frmDistance& dialog, HDC preview, SIZE size) {
    const cDIBSection& image = dialog.SitterImage();
    ASSERT_GT(image.Width(), 0);
    const int32_t frameTop = FrameTop(size.cy);
    const int32_t imageTop = frameTop + 2 - dialog.ButtHeight();
    // Above the frame only the character is drawn; in the picture, black is what is left out.
    const Extent inImage = FindExtent(image.hDC(), image.Width(), std::max(0, -imageTop), frameTop - imageTop,
                                      RGB(0, 0, 0), Background);
    ASSERT_FALSE(inImage.empty());
    const Extent inPreview = FindExtent(preview, size.cx, 0, frameTop, Background);
    ASSERT_FALSE(inPreview.empty()) << "no character drawn above the frame";

    const int32_t x = PreviewSitterX(size.cx, image.Width(), dialog.Value());
    EXPECT_EQ(inPreview.left, x + inImage.left);
    EXPECT_EQ(inPreview.right, x + inImage.right);
    EXPECT_EQ(inPreview.top, imageTop + inImage.top);
}

class DistanceDialogTest : public ::testing::Test {
protected:
    void TearDown() override { dialog.Unload(); }
    int32_t fromSide = 0;
    frmDistance dialog{fromSide};
};

TEST_F(DistanceDialogTest, LoadsTheCharacterAndTheButtHeight) {
    dialog.Load();
    EXPECT_EQ(dialog.ButtHeight(), 92);
    EXPECT_EQ(dialog.picSitter.PixelWidth(), 77);
    EXPECT_EQ(dialog.picSitter.PixelHeight(), 126);
    ASSERT_EQ(dialog.SitterImage().Width(), 77);
    ASSERT_EQ(dialog.SitterImage().Height(), 126);
    // The copy really holds the picture, not a black buffer: some of the character is not black.
    const Extent drawn = FindExtent(dialog.SitterImage().hDC(), 77, 0, 126, RGB(0, 0, 0));
    EXPECT_FALSE(drawn.empty());
}

class DistanceValueTest : public DistanceDialogTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(DistanceValueTest, ShowsTheValueAndDrawsTheCharacterThere) {
    fromSide = GetParam();
    dialog.Load();
    EXPECT_EQ(dialog.Value(), GetParam());
    EXPECT_EQ(dialog.ReadOut(), std::to_string(GetParam()) + "%");
    EXPECT_EQ(fromSide, GetParam());

    Rendered r;
    Render(dialog, r);
    ExpectCharacterAt(dialog, r.dib.hDC(), r.size);
}

INSTANTIATE_TEST_SUITE_P(Values, DistanceValueTest, ::testing::Values(0, 1, 35, 50, 99, 100));

TEST_F(DistanceDialogTest, DrawsTheRaisedFrameAndTheCaptionBar) {
    fromSide = 100;  // the character stands at the left, out of the way of the right side
    dialog.Load();
    Rendered r;
    Render(dialog, r);
    HDC dc = r.dib.hDC();
    const int W = r.size.cx, H = r.size.cy;
    const int top = FrameTop(H);
    const int captionTop = H - GetSystemMetrics(SM_CYCAPTION);
    const int probeY = (top + 2 + captionTop) / 2;  // between the frame's top line and the caption bar

    // Raised: light outside and highlight inside at the top, dark shadow outside and shadow inside at the right.
    EXPECT_EQ(GetPixel(dc, W - 20, top), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(dc, W - 20, top + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, W - 1, probeY), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, W - 2, probeY), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 0, probeY), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(dc, 1, probeY), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, W - 20, top - 1), Background) << "nothing above the frame at the right";

    // The caption bar fills its rectangle, in caption colours rather than the box's background, and is open
    // at both ends by the border metric.
    const int border = GetSystemMetrics(SM_CXBORDER);
    const int midY = (captionTop + H) / 2;
    const COLORREF right = GetPixel(dc, W - border - 3, midY);
    EXPECT_NE(right, Background);
    const COLORREF gradientEnd = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    const COLORREF solid = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_TRUE(right == gradientEnd || right == solid) << std::hex << right;
    EXPECT_EQ(GetPixel(dc, W - border - 2, midY), Background) << "the bar stops two pixels short of the edge";
}

TEST_F(DistanceDialogTest, HasItsSizeFontAndFrameAtTheCurrentDpi) {
    dialog.Load();
    const DistanceLayout layout = DistanceLayoutAt(platform::ScreenDpiX(), platform::ScreenDpiY());
    RECT client{};
    GetClientRect(dialog.hWnd(), &client);
    EXPECT_EQ(client.right, layout.client.cx);
    EXPECT_EQ(client.bottom, layout.client.cy);
    if (platform::ScreenDpiX() == 96) {
        EXPECT_EQ(client.right, 377);
    }

    const std::pair<HWND, RECT> controls[] = {
        {dialog.hsbOffset, layout.hsbOffset}, {dialog.lblOffset, layout.lblOffset}, {dialog.Picture1, layout.Picture1}};
    for (const auto& [control, expected] : controls) {
        SCOPED_TRACE(control == dialog.hsbOffset ? "hsbOffset" : control == dialog.lblOffset ? "lblOffset" : "Picture1");
        RECT placed{};
        GetWindowRect(control, &placed);
        MapWindowPoints(nullptr, dialog.hWnd(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, expected.left);
        EXPECT_EQ(placed.top, expected.top);
        EXPECT_EQ(placed.right, expected.right);
        EXPECT_EQ(placed.bottom, expected.bottom);

        if (control == dialog.hsbOffset) continue;  // a scroll bar has no text and keeps no font
        LOGFONTA font{};
        ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
        EXPECT_STREQ(font.lfFaceName, "Tahoma");
        EXPECT_EQ(font.lfHeight, DialogFontHeight(platform::ScreenDpiY()));
    }

    char caption[64] = {};
    GetWindowTextA(dialog.hWnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Set Distance");
    const LONG_PTR style = GetWindowLongPtrA(dialog.hWnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(SendMessageA(dialog.hWnd(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageA(dialog.hWnd(), WM_GETICON, ICON_BIG, 0), 0);

    char kind[32] = {};
    GetClassNameA(dialog.hsbOffset, kind, sizeof kind);
    EXPECT_STRCASEEQ(kind, "ScrollBar");
    SCROLLINFO range{};
    range.cbSize = sizeof range;
    range.fMask = SIF_RANGE;
    GetScrollInfo(dialog.hsbOffset, SB_CTL, &range);
    EXPECT_EQ(range.nMin, 0);
    EXPECT_EQ(range.nMax, 100);
}

struct ScrollCase {
    int32_t start;
    int code;
    int thumb;
    int32_t value;
};

class DistanceScrollTest : public DistanceDialogTest, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(DistanceScrollTest, MovesTheSliderAndWritesTheSetting) {
    const ScrollCase& c = GetParam();
    fromSide = c.start;
    dialog.Load();
    SendMessageA(dialog.hWnd(), WM_HSCROLL, MAKEWPARAM(c.code, c.thumb), reinterpret_cast<LPARAM>(dialog.hsbOffset));
    EXPECT_EQ(dialog.Value(), c.value);
    EXPECT_EQ(GetScrollPos(dialog.hsbOffset, SB_CTL), c.value);
    EXPECT_EQ(dialog.ReadOut(), std::to_string(c.value) + "%");
    EXPECT_EQ(fromSide, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DistanceScrollTest,
    ::testing::Values(ScrollCase{0, SB_LINERIGHT, 0, 1}, ScrollCase{50, SB_LINELEFT, 0, 49},
                      ScrollCase{0, SB_LINELEFT, 0, 0}, ScrollCase{100, SB_LINERIGHT, 0, 100},
                      ScrollCase{0, SB_PAGERIGHT, 0, 10}, ScrollCase{95, SB_PAGERIGHT, 0, 100},
                      ScrollCase{50, SB_PAGELEFT, 0, 40}, ScrollCase{5, SB_PAGELEFT, 0, 0},
                      ScrollCase{10, SB_THUMBTRACK, 73, 73}, ScrollCase{10, SB_THUMBTRACK, 0, 0},
                      ScrollCase{10, SB_THUMBPOSITION, 42, 42}, ScrollCase{30, SB_LEFT, 0, 0},
                      ScrollCase{30, SB_RIGHT, 0, 100}, ScrollCase{30, SB_ENDSCROLL, 0, 30}));

TEST_F(DistanceDialogTest, OutOfRangeSettingIsShownClampedAndKeptUntilTheSliderMoves) {
    const struct {
        int32_t stored, shown, afterLineLeft, afterLineRight;
    } cases[] = {{250, 100, 99, 100}, {101, 100, 99, 100}, {-7, 0, 0, 1}, {INT32_MIN, 0, 0, 1}, {INT32_MAX, 100, 99, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        fromSide = c.stored;
        dialog.Load();
        EXPECT_EQ(dialog.Value(), c.shown);
        EXPECT_EQ(dialog.ReadOut(), std::to_string(c.shown) + "%");
        Rendered r;
        Render(dialog, r);
        ExpectCharacterAt(dialog, r.dib.hDC(), r.size);
        EXPECT_EQ(fromSide, c.stored) << "loading and painting leave the setting alone";

        const auto send = [&](int code) {
            SendMessageA(dialog.hWnd(), WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(dialog.hsbOffset));
        };
        send(c.shown == 0 ? SB_LINELEFT : SB_LINERIGHT);  // against the end: the slider does not move
        EXPECT_EQ(fromSide, c.stored);
        send(c.shown == 0 ? SB_LINERIGHT : SB_LINELEFT);
        EXPECT_EQ(fromSide, c.shown == 0 ? c.afterLineRight : c.afterLineLeft);
        dialog.Unload();
    }
}

// What the shown dialog has on the screen inside its preview box.
void CaptureWindow(HWND window, Rendered& out) {
    out.size = InnerSize(window);
    ASSERT_TRUE(out.dib.Create(out.size.cx, out.size.cy));
    platform::WindowDC screen(window);
    BitBlt(out.dib.hDC(), 0, 0, out.size.cx, out.size.cy, screen.get(), 0, 0, SRCCOPY);
}

TEST_F(DistanceDialogTest, ShownWithZeroPaintsThePreviewAndFollowsTheThumb) {
    fromSide = 0;
    dialog.Show();
    SetWindowPos(dialog.hWnd(), HWND_TOPMOST, 10, 10, 0, 0, SWP_NOSIZE);
    for (int i = 0; i < 5; ++i) {
        platform::DoEvents();
        Sleep(20);
    }
    EXPECT_EQ(dialog.ReadOut(), "0%");
    Rendered shown;
    CaptureWindow(dialog.Picture1, shown);
    ExpectCharacterAt(dialog, shown.dib.hDC(), shown.size);

    // While the thumb is dragged, the preview is repainted at once, without waiting for the message loop.
    SendMessageA(dialog.hWnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 60), reinterpret_cast<LPARAM>(dialog.hsbOffset));
    EXPECT_EQ(fromSide, 60);
    Rendered dragged;
    CaptureWindow(dialog.Picture1, dragged);
    ExpectCharacterAt(dialog, dragged.dib.hDC(), dragged.size);
}

// ---- The modal loop ----

struct ModalProbe {
    frmDistance* dialog = nullptr;
    HWND owner = nullptr;
    bool ownerWasDisabled = false;
    bool dialogWasVisible = false;
    int ticks = 0;
};
ModalProbe* probe = nullptr;

void CALLBACK DriveModalDialog(HWND, UINT, UINT_PTR id, DWORD) {
    ++probe->ticks;
    HWND d = probe->dialog->hWnd();
    if (!d) return;
    KillTimer(nullptr, id);
    probe->ownerWasDisabled = !IsWindowEnabled(probe->owner);
    probe->dialogWasVisible = IsWindowVisible(d) != FALSE;
    SendMessageA(d, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), reinterpret_cast<LPARAM>(probe->dialog->hsbOffset));
    PostMessageA(d, WM_CLOSE, 0, 0);  // as the caption's close button does
}

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(owner, nullptr);
        state.owner = owner;
        probe = &state;
    }
    void TearDown() override {
        probe = nullptr;
        DestroyWindow(owner);
    }
    HWND owner = nullptr;
    ModalProbe state;
};

TEST_F(ModalTest, RunsUntilClosedWithTheOwnerDisabledAndCanBeOpenedAgain) {
    int32_t fromSide = 20;
    frmDistance dialog(fromSide);
    state.dialog = &dialog;
    for (int32_t expected : {30, 40}) {
        state = ModalProbe{&dialog, owner};
        SetTimer(nullptr, 0, 30, &DriveModalDialog);
        dialog.ShowModal(owner);
        EXPECT_TRUE(state.dialogWasVisible);
        EXPECT_TRUE(state.ownerWasDisabled);
        EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
        EXPECT_FALSE(dialog.IsLoaded()) << "closing destroys the window";
        EXPECT_EQ(fromSide, expected) << "the last value stays";
    }
}

TEST_F(ModalTest, AFailedLoadLeavesTheOwnerAsItWas) {
    platform::Host host;
    host.loadPicture = [](int id) -> platform::UniqueBitmap {
        throw platform::Error(platform::err::ResourceNotFound, platform::ExeName(),
                              "Resource with identifier '" + std::to_string(id) + "' not found");
    };
    platform::HostOverride injected(std::move(host));
    int32_t fromSide = 20;
    frmDistance dialog(fromSide);
    EXPECT_THROW(dialog.ShowModal(owner), platform::Error);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(fromSide, 20);
}

}  // namespace
