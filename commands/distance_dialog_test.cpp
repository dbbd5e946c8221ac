// The distance dialog with the program's own resources, on the screen: read-out, setting, preview pixels,
// sizes and the modal loop.
#include <gtest/gtest.h>

#include <climits>

#include "commands/distance_dialog.h"
#include "commands/distance_layout.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/units.h"
#include "platform/window.h"
#include "tests/support/after.h"

namespace {

const COLORREF Face = GetSysColor(COLOR_BTNFACE);  // what the window system erases the preview to

// The preview box's pixels as the screen shows them.
void Capture(DistanceDialog& dialog, cDIBSection& out) {
    RECT box{};
    GetClientRect(dialog.Preview(), &box);
    ASSERT_TRUE(out.Create(box.right, box.bottom));
    BitBlt(out.hDC(), 0, 0, box.right, box.bottom, platform::WindowDC(dialog.Preview()).get(), 0, 0, SRCCOPY);
}

// Leftmost, topmost and rightmost pixel in rows [top, bottom) of dc that is neither `a` nor `b`.
RECT Extent(HDC dc, int width, int top, int bottom, COLORREF a, COLORREF b) {
    RECT e{INT_MAX, INT_MAX, INT_MIN, 0};
    for (int y = std::max(0, top); y < bottom; ++y)
        for (int x = 0; x < width; ++x)
            if (COLORREF c = GetPixel(dc, x, y); c != a && c != b)
                e = {std::min<LONG>(e.left, x), std::min<LONG>(e.top, y), std::max<LONG>(e.right, x), 0};
    return e;
}

int32_t FrameTop(int32_t H) { return H - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CXBORDER) - 2; }

// The preview shows the character at PreviewCharacterX for the slider's value, seated on the frame's inner top line.
void ExpectCharacterAt(DistanceDialog& dialog) {
    cDIBSection preview;
    Capture(dialog, preview);
    const cDIBSection& image = dialog.CharacterImage();
    const int32_t frameTop = FrameTop(preview.Height()), imageTop = frameTop + 2 - dialog.ButtHeight();
    // Above the frame only the character is drawn; black is what it leaves out.
    const RECT in = Extent(image.hDC(), image.Width(), -imageTop, frameTop - imageTop, RGB(0, 0, 0), Face);
    const RECT out = Extent(preview.hDC(), preview.Width(), 0, frameTop, Face, Face);
    ASSERT_NE(in.left, INT_MAX);
    const int32_t x = PreviewCharacterX(preview.Width(), image.Width(), dialog.SliderValue());
    EXPECT_EQ(out.left, x + in.left);
    EXPECT_EQ(out.right, x + in.right);
    EXPECT_EQ(out.top, imageTop + in.top);
}

void Scroll(DistanceDialog& dialog, int code, int thumb = 0) {
    SendMessageA(dialog.hwnd(), WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(dialog.Slider()));
}

class DistanceDialogTest : public ::testing::Test {
protected:
    void Open(int32_t stored) {
        fromSide = stored;
        dialog.Show();
        for (int i = 0; i < 5; ++i, Sleep(20)) platform::ProcessPendingEvents();
    }
    int32_t fromSide = 0;
    platform::Owned<DistanceDialog> dialog{fromSide};
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
        Open(c.start);
        EXPECT_EQ(dialog.ButtHeight(), 92);
        for (bool scrolled : {false, true}) {
            if (scrolled) Scroll(dialog, c.code, c.thumb);
            const int32_t shown = scrolled ? c.value : ClampDistance(c.start);
            EXPECT_EQ(dialog.SliderValue(), shown);
            EXPECT_EQ(dialog.ReadOut(), std::to_string(shown) + "%");
            EXPECT_EQ(fromSide, scrolled ? c.stored : c.start) << "opening alone never rewrites the setting";
            ExpectCharacterAt(dialog);
        }
        dialog.Destroy();
    }
}

TEST_F(DistanceDialogTest, ModalRunsUntilClosedKeepsTheLastValueAndLeavesTheOwnerUsable) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    bool shownOverDisabledOwner = false;
    testing_support::After(30, [&] {
        shownOverDisabledOwner = IsWindowVisible(dialog.hwnd()) && !IsWindowEnabled(owner);
        Scroll(dialog, SB_PAGERIGHT);
        PostMessageA(dialog.hwnd(), WM_CLOSE, 0, 0);  // as the caption's close button does
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
