#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "imaging/cDIBSection.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/random.h"

namespace {

// A pattern that tells every pixel of a small image from every other, and from black.
COLORREF Pattern(int32_t x, int32_t y) { return RGB(x * 9 + 1, y * 11 + 2, (x * 7 + y * 5) & 0xFF); }

void Make(cDIBSection& b, int32_t w, int32_t h) {
    ASSERT_TRUE(b.Create(w, h));
    for (int32_t i = 0; i < w * h; ++i) SetPixelV(b.hDC(), i % w, i / w, Pattern(i % w, i / w));
}

std::vector<uint8_t> Bytes(const void* bits, int32_t size) {
    GdiFlush();
    return {static_cast<const uint8_t*>(bits), static_cast<const uint8_t*>(bits) + size};
}
std::vector<uint8_t> Bytes(const cDIBSection& b) { return Bytes(b.DIBSectionBitsPtr(), b.Height() * b.BytesPerScanLine()); }

auto Handles(const cDIBSection& b) { return std::tuple(b.hDC(), b.hDib(), b.DIBSectionBitsPtr()); }
bool Released(HDC dc, HBITMAP dib) { return GetObjectType(dc) == 0 && GetObjectType(dib) == 0; }

// A window of this thread destroyed while it owned the clipboard.
HWND destroyedOwner = nullptr;
LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND && GetClipboardOwner() == HWND(wParam)) destroyedOwner = HWND(wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(cDIBSection, CreateReleasesWhatItHeldThenMakesAllThreeHandlesOrNone) {
    cDIBSection b;
    HDC dc = nullptr;
    HBITMAP dib = nullptr;
    struct Case { int32_t w, h, scanLine; } cases[] = {  // scan line 0: refused, -1: overflows
        {10, 5, 32}, {0, 5, 0}, {1, 1, 4}, {7, 0, 0}, {77, 126, 232}, {-3, 4, 0}, {4, 4, 12}, {4, -3, 0},
        {715827882, 1, -1}, {6, 6, 20}, {1000, 0x7FFFFFFF, -1}, {2, 3, 8}};
    for (const auto& [w, h, scanLine] : cases) {
        try {
            EXPECT_TRUE(b.Create(w, h) == (scanLine > 0) && scanLine >= 0) << w << 'x' << h;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Number(), scanLine < 0 ? platform::err::Overflow : -1) << w << 'x' << h;
        }
        EXPECT_TRUE(dc == nullptr || Released(dc, dib)) << w;  // Create twice: the first pair is gone
        dc = b.hDC(), dib = b.hDib();
        DIBSECTION ds{};
        const bool made = GetObjectA(dib, sizeof ds, &ds) && ds.dsBmih.biSizeImage == DWORD(h * scanLine);
        EXPECT_EQ(std::tuple(made, dc != nullptr, b.DIBSectionBitsPtr() == ds.dsBm.bmBits, b.Width(), b.Height()),
                  std::tuple(scanLine > 0, scanLine > 0, true, w, h));
        EXPECT_TRUE(scanLine <= 0 || b.BytesPerScanLine() == scanLine);
    }
    b.ClearUp();
    EXPECT_TRUE(Released(dc, dib) && Handles(b) == Handles(cDIBSection()));
    EXPECT_EQ(std::tuple(b.Width(), b.Height(), b.BytesPerScanLine()), std::tuple(2, 3, 8));
}

// CreateDIB hands its bitmap to the caller: the object then holds nothing, and what it does cannot reach those pixels.
TEST(cDIBSection, AfterCreateDIBTheBufferIsEmptyAndLeavesTheCallersBitmapAlone) {
    cDIBSection b;
    Make(b, 4, 4);
    const HDC heldDC = b.hDC();
    const HBITMAP heldDib = b.hDib();
    platform::UniqueDC dc(CreateCompatibleDC(nullptr));
    HBITMAP handedOver = nullptr;
    ASSERT_TRUE(b.CreateDIB(dc.get(), 6, 5, handedOver));
    platform::UniqueBitmap callers(handedOver);
    DIBSECTION ds{};
    ASSERT_TRUE(GetObjectA(handedOver, sizeof ds, &ds) && ds.dsBmih.biHeight == 5);
    EXPECT_TRUE(Released(heldDC, heldDib) && Handles(b) == Handles(cDIBSection()) && b.Width() == 6);
    std::fill_n(static_cast<uint8_t*>(ds.dsBm.bmBits), 5 * 20, 0x5A);
    platform::ReseedRandom(777);
    const float firstOf777 = platform::NextRandom();
    platform::ReseedRandom(777);
    b.RandomiseBits(true), b.RandomiseBits(false);
    EXPECT_NE(platform::NextRandom(), firstOf777) << "nothing to fill, but reseeded from the clock all the same";
    const auto resampled = b.Resample(2, 3);  // nothing of its own to read: black
    EXPECT_EQ(Bytes(ds.dsBm.bmBits, 5 * 20), std::vector<uint8_t>(5 * 20, 0x5A));
    EXPECT_EQ(Bytes(*resampled), std::vector<uint8_t>(2 * 12));
    EXPECT_FALSE(b.CreateDIB(dc.get(), 6, -5, handedOver) || handedOver) << "no top-down bitmap";
}

TEST(cDIBSection, BlitsPlaceAtOffsetsAndTakeAnyNegativeSizeAsTheWholeBuffer) {
    cDIBSection small, big;
    Make(small, 8, 6);
    ASSERT_TRUE(big.Create(20, 16));
    small.PaintPicture(big.hDC(), 5, 5);               // all of it with its top left at (5, 5)
    small.PaintPicture(big.hDC(), 0, 0, -7, 2, 0, 3);  // its whole width, 2 rows from row 3
    for (int32_t i = 0, x = 0, y = 0; i < 20 * 16; ++i, x = i % 20, y = i / 20)
        ASSERT_EQ(GetPixel(big.hDC(), x, y), x >= 5 && x < 13 && y >= 5 && y < 11 ? Pattern(x - 5, y - 5)
                                             : x < 8 && y < 2                     ? Pattern(x, y + 3) : 0) << x << ',' << y;
    small.LoadPictureBlt(big.hDC(), 5, 5, 2, -5, NOTSRCCOPY);  // 2 columns, all 6 rows, from (5, 5), inverted
    for (int32_t i = 0; i < 8 * 6; ++i)
        ASSERT_EQ(GetPixel(small.hDC(), i % 8, i / 8), Pattern(i % 8, i / 8) ^ (i % 8 < 2 ? 0xFFFFFF : 0)) << i;
}

TEST(cDIBSection, ResampleCopiesAtTheSameSizeAndInterpolatesInMemoryRowOrderOtherwise) {
    cDIBSection source;
    Make(source, 11, 9);
    auto cut = source.Resample(8, 10);  // scales of exactly 1: memory rows 0-7 stay, the top row goes
    ASSERT_TRUE(cut);
    for (int32_t i = 0; i < 80; ++i) ASSERT_EQ(GetPixel(cut->hDC(), i % 10, i / 10), Pattern(i % 10, i / 10 + 1)) << i;
    auto same = cut->Resample(8, 10), wide = source.Resample(20, 40);
    EXPECT_EQ(std::tuple(Bytes(*same), wide->Width(), wide->Height()), std::tuple(Bytes(*cut), 40, 20));
    EXPECT_FALSE(source.Resample(0, 5) || source.Resample(5, -1) || source.Resample(-1, 5));
}

TEST(cDIBSection, RandomiseBitsFillsGreyOrRedAndGreenNoise) {
    for (bool gray : {true, false}) {
        cDIBSection b;
        ASSERT_TRUE(b.Create(13, 7));  // rows of 40 bytes, 39 of them pixels
        gray ? b.RandomiseBits(true) : b.RandomiseBits();
        int greens = 0;  // filled at all: only a few of 91 may be 0
        for (int32_t i = 0; i < 91; ++i) {
            const COLORREF p = GetPixel(b.hDC(), i % 13, i / 13);
            greens += GetGValue(p) != 0;
            ASSERT_EQ(p, gray ? RGB(GetGValue(p), GetGValue(p), GetGValue(p)) : p & 0xFFFF) << gray << ' ' << i;
        }
        EXPECT_GT(greens, 80);
    }
}

TEST(cDIBSection, CopyToClipboardAsDibOnlyShowsTheMessageAsBitmapItCopiesTheImageUnderAWindowOfItsOwn) {
    cDIBSection b, empty, copy;
    Make(b, 32, 48);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
    SetClipboardData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1));
    CloseClipboard();
    std::vector<std::pair<std::string, UINT>> shown;
    platform::Host host;
    host.messageBox = [&](HWND, const std::string& text, const std::string&, UINT flags) {
        return shown.emplace_back(text, flags & MB_TYPEMASK), IDOK;
    };
    platform::HostOverride over(std::move(host));
    EXPECT_FALSE(b.CopyToClipboard() || empty.CopyToClipboard(false));  // an empty buffer has nothing to copy
    ASSERT_EQ(shown, (decltype(shown){{"I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!", MB_OK}}));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT) && !IsClipboardFormatAvailable(CF_BITMAP));
    // Opened with no window, the clipboard has no owner, and Windows (not Wine) then refuses the bitmap.
    const HHOOK hook = SetWindowsHookExA(WH_CBT, WatchDestruction, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(b.CopyToClipboard(false));
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(destroyedOwner != nullptr && !IsWindow(destroyedOwner)) << "owned by a window the copy made and destroyed";
    ASSERT_TRUE(!IsClipboardFormatAvailable(CF_TEXT) && OpenClipboard(nullptr));
    copy.CreateFromPicture(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));  // a 32 x 48 screen bitmap, to 24 bits
    CloseClipboard();
    EXPECT_EQ(Bytes(copy), Bytes(b));
}
