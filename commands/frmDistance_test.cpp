// The distance dialog with the program's own resources: read-out, setting, preview pixels, sizes and the
// modal loop.
#include <gtest/gtest.h>

#include <climits>

#include "commands/distance_preview.h"
#include "commands/frmDistance.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/screen.h"

namespace {

const COLORREF Background = GetSysColor(COLOR_BTNFACE);

struct Extent {
    int left = INT_MAX, right = INT_MIN, top = INT_MAX;
};

// Where rows [top, bottom) of dc hold anything but the colours to ignore.
Extent FindExtent(HDC dc, int width, int top, int bottom, COLORREF ignore, COLORREF alsoIgnore) {
    Extent e;
    for (int y = std::max(0, top); y < bottom; ++y)
        for (int x = 0; x < width; ++x)
            if (COLORREF c = GetPixel(dc, x, y); c != ignore && c != alsoIgnore)
                e = {std::min(e.left, x), std::max(e.right, x), std::min(e.top, y)};
    return e;
}

// The preview box's pixels: drawn into a DIB erased as the window system would, or read off the screen.
void Capture(frmDistance& dialog, cDIBSection& out, bool fromScreen) {
    RECT box{};
    GetClientRect(dialog.Picture1, &box);
    ASSERT_TRUE(out.Create(box.right, box.bottom));
    if (fromScreen) {
        platform::WindowDC screen(dialog.Picture1);
        BitBlt(out.hDC(), 0, 0, box.right, box.bottom, screen.get(), 0, 0, SRCCOPY);
    } else {
        FillRect(out.hDC(), &box, GetSysColorBrush(COLOR_BTNFACE));
        dialog.Picture1_Paint(out.hDC());
    }
}

int32_t FrameTop(int32_t H) { return H - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CXBORDER) - 2; }

// The character stands at PreviewSitterX for the slider's value, seated on the frame's inner top line.
void ExpectCharacterAt(frmDistance& dialog, const cDIBSection& preview) {
    const cDIBSection& image = dialog.SitterImage();
    ASSERT_EQ(image.Width(), 77);
    const int32_t frameTop = FrameTop(preview.Height());
    const int32_t imageTop = frameTop + 2 - dialog.ButtHeight();
    // Above the frame only the character is drawn; black is what it leaves out.
    const Extent inImage = FindExtent(image.hDC(), 77, -imageTop, frameTop - imageTop, RGB(0, 0, 0), Background);
    const Extent inPreview = FindExtent(preview.hDC(), preview.Width(), 0, frameTop, Background, Background);
    ASSERT_NE(inImage.left, INT_MAX);
    ASSERT_NE(inPreview.left, INT_MAX) << "no character above the frame";
    const int32_t x = PreviewSitterX(preview.Width(), 77, dialog.Value());
    EXPECT_EQ(inPreview.left, x + inImage.left);
    EXPECT_EQ(inPreview.right, x + inImage.right);
    EXPECT_EQ(inPreview.top, imageTop + inImage.top);
}

void Scroll(frmDistance& dialog, int code, int thumb = 0) {
    SendMessageA(dialog.hWnd(), WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(dialog.hsbOffset));
}

class DistanceDialogTest : public ::testing::Test {
protected:
    int32_t fromSide = 0;
    frmDistance dialog{fromSide};
};

TEST_F(DistanceDialogTest, ShowsTheSettingClampedAndDrawsTheCharacterThere) {
    const struct { int32_t stored, shown; } cases[] = {
        {0, 0}, {1, 1}, {50, 50}, {99, 99}, {100, 100}, {101, 100}, {250, 100}, {-7, 0}, {INT32_MIN, 0}, {INT32_MAX, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        fromSide = c.stored;
        dialog.Load();
        EXPECT_EQ(dialog.ButtHeight(), 92);
        EXPECT_EQ(dialog.Value(), c.shown);
        EXPECT_EQ(dialog.ReadOut(), std::to_string(c.shown) + "%");
        cDIBSection preview;
        Capture(dialog, preview, false);
        ExpectCharacterAt(dialog, preview);
        EXPECT_EQ(fromSide, c.stored) << "opening alone never rewrites the setting";
        dialog.Unload();
    }
}

TEST_F(DistanceDialogTest, ScrollMessagesMoveTheSliderAndWriteTheSetting) {
    const struct { int32_t start; int code, thumb; int32_t value, stored; } cases[] = {
        {0, SB_LINERIGHT, 0, 1, 1}, {50, SB_LINELEFT, 0, 49, 49}, {0, SB_LINELEFT, 0, 0, 0},
        {0, SB_PAGERIGHT, 0, 10, 10}, {95, SB_PAGERIGHT, 0, 100, 100}, {5, SB_PAGELEFT, 0, 0, 0},
        {10, SB_THUMBTRACK, 73, 73, 73}, {10, SB_THUMBPOSITION, 42, 42, 42}, {30, SB_LEFT, 0, 0, 0},
        {30, SB_RIGHT, 0, 100, 100}, {30, SB_ENDSCROLL, 0, 30, 30},
        {250, SB_LINELEFT, 0, 99, 99}, {250, SB_LINERIGHT, 0, 100, 250},  // the slider did not move: kept
        {-7, SB_LINERIGHT, 0, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.start << " code " << c.code);
        fromSide = c.start;
        dialog.Load();
        Scroll(dialog, c.code, c.thumb);
        EXPECT_EQ(GetScrollPos(dialog.hsbOffset, SB_CTL), c.value);
        EXPECT_EQ(dialog.ReadOut(), std::to_string(c.value) + "%");
        EXPECT_EQ(fromSide, c.stored);
        dialog.Unload();
    }
}

TEST_F(DistanceDialogTest, DrawsTheRaisedFrameAndTheCaptionBar) {
    fromSide = 100;  // the character stands at the left, away from the right side
    dialog.Load();
    cDIBSection preview;
    Capture(dialog, preview, false);
    HDC dc = preview.hDC();
    const int W = preview.Width(), H = preview.Height(), top = FrameTop(H);
    const int captionTop = H - GetSystemMetrics(SM_CYCAPTION), y = (top + 2 + captionTop) / 2;

    EXPECT_EQ(GetPixel(dc, W - 20, top - 1), Background);
    EXPECT_EQ(GetPixel(dc, W - 20, top), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(dc, W - 20, top + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, W - 1, y), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, W - 2, y), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 1, y), GetSysColor(COLOR_BTNHIGHLIGHT));

    // The caption bar ends in an active caption colour two pixels and a border short of the right edge.
    const int border = GetSystemMetrics(SM_CXBORDER), midY = (captionTop + H) / 2;
    const COLORREF end = GetPixel(dc, W - border - 3, midY);
    EXPECT_TRUE(end == GetSysColor(COLOR_GRADIENTACTIVECAPTION) || end == GetSysColor(COLOR_ACTIVECAPTION)) << end;
    EXPECT_EQ(GetPixel(dc, W - border - 2, midY), Background);
}

TEST_F(DistanceDialogTest, HasItsSizeFontAndFrameAtTheCurrentDpi) {
    dialog.Load();
    const DistanceLayout layout = DistanceLayoutAt(platform::ScreenDpiX(), platform::ScreenDpiY());
    RECT client{};
    GetClientRect(dialog.hWnd(), &client);
    EXPECT_EQ(client.right, layout.client.cx);
    EXPECT_EQ(client.bottom, layout.client.cy);

    for (auto [control, expected] : {std::pair{dialog.hsbOffset, layout.hsbOffset},
                                     std::pair{dialog.lblOffset, layout.lblOffset},
                                     std::pair{dialog.Picture1, layout.Picture1}}) {
        RECT placed{};
        GetWindowRect(control, &placed);
        MapWindowPoints(nullptr, dialog.hWnd(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(EqualRect(&placed, &expected)) << placed.left << "," << placed.top << " " << placed.right;
    }
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog.lblOffset, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfHeight, DialogFontHeight(platform::ScreenDpiY()));

    char text[64] = {};
    GetWindowTextA(dialog.hWnd(), text, sizeof text);
    EXPECT_STREQ(text, "Set Distance");
    const LONG_PTR style = GetWindowLongPtrA(dialog.hWnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_CAPTION | WS_SYSMENU);
    EXPECT_NE(SendMessageA(dialog.hWnd(), WM_GETICON, ICON_SMALL, 0), 0);
    GetClassNameA(dialog.hsbOffset, text, sizeof text);
    EXPECT_STRCASEEQ(text, "ScrollBar");
    int low = -1, high = -1;
    GetScrollRange(dialog.hsbOffset, SB_CTL, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 100);
}

TEST_F(DistanceDialogTest, ShownWithZeroPaintsThePreviewAndFollowsTheThumb) {
    dialog.Show();
    for (int i = 0; i < 5; ++i, Sleep(20)) platform::DoEvents();
    cDIBSection shown;
    Capture(dialog, shown, true);
    ExpectCharacterAt(dialog, shown);

    Scroll(dialog, SB_THUMBTRACK, 60);  // repainted at once, not at the next turn of the message loop
    EXPECT_EQ(fromSide, 60);
    cDIBSection dragged;
    Capture(dialog, dragged, true);
    ExpectCharacterAt(dialog, dragged);
}

// ---- The modal loop, driven from a thread timer that runs inside it ----

struct ModalProbe {
    frmDistance* dialog;
    HWND owner;
    bool ownerDisabled = false, dialogVisible = false;
};
ModalProbe* probe = nullptr;

void CALLBACK DriveModalDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND d = probe->dialog->hWnd();
    if (!d) return;
    KillTimer(nullptr, id);
    probe->ownerDisabled = !IsWindowEnabled(probe->owner);
    probe->dialogVisible = IsWindowVisible(d) != FALSE;
    Scroll(*probe->dialog, SB_PAGERIGHT);
    PostMessageA(d, WM_CLOSE, 0, 0);  // as the caption's close button does
}

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(owner, nullptr); }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    int32_t fromSide = 20;
    frmDistance dialog{fromSide};
};

TEST_F(ModalTest, RunsUntilClosedWithTheOwnerDisabledAndOpensAgain) {
    for (int32_t expected : {30, 40}) {
        ModalProbe state{&dialog, owner};
        probe = &state;
        SetTimer(nullptr, 0, 30, &DriveModalDialog);
        dialog.ShowModal(owner);
        EXPECT_TRUE(state.dialogVisible);
        EXPECT_TRUE(state.ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_FALSE(dialog.IsLoaded()) << "closing destroys the window";
        EXPECT_EQ(fromSide, expected) << "the last value stays";
    }
}

TEST_F(ModalTest, AFailedLoadLeavesTheOwnerAsItWas) {
    platform::Host host;
    host.loadPicture = [](int) -> platform::UniqueBitmap {
        throw platform::Error(platform::err::ResourceNotFound, platform::ExeName(), "no picture");
    };
    platform::HostOverride injected(std::move(host));
    EXPECT_THROW(dialog.ShowModal(owner), platform::Error);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(fromSide, 20);
}

}  // namespace
