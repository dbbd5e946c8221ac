#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "imaging/cDIBSection.h"
#include "platform/error.h"
#include "platform/host.h"

namespace {

// A pattern that tells every pixel of a small image from every other, and from black.
COLORREF Pattern(int32_t x, int32_t y) { return RGB(x * 9 + 1, y * 11 + 2, (x * 7 + y * 5) & 0xFF); }

std::vector<uint8_t> Bytes(const void* bits, int32_t n) { GdiFlush(); auto* p = static_cast<const uint8_t*>(bits); return {p, p + n}; }
std::vector<uint8_t> Bytes(const cDIBSection& b) { return Bytes(b.DIBSectionBitsPtr(), b.Height() * b.BytesPerScanLine()); }

// Holds nothing, the handles it held are gone, and the size last asked for stays.
void ExpectLetGo(const cDIBSection& b, HDC dc, HBITMAP dib, int32_t w, int32_t h) {
    EXPECT_EQ(std::tuple(b.hDC(), b.hDib(), b.DIBSectionBitsPtr(), GetObjectType(dc), GetObjectType(dib), b.Width(), b.Height()),
              std::tuple(HDC{}, HBITMAP{}, nullptr, DWORD{0}, DWORD{0}, w, h));
}

// A window of this thread destroyed while it owned the clipboard.
HWND destroyedOwner = nullptr;
LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND && GetClipboardOwner() == HWND(wParam)) destroyedOwner = HWND(wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(cDIBSection, CreateMakesAllThreeHandlesOrNoneRandomisesThemAndLetsGoOnClearUpOrCreateDIB) {
    cDIBSection b;
    DIBSECTION ds{};
    // Scan line 0: refused (a negative height would be a top-down bitmap); -1: the size overflows.
    struct Case { int32_t w, h, scanLine; } cases[] = {{10, 5, 32}, {0, 5, 0}, {1, 1, 4}, {7, 0, 0}, {-3, 4, 0}, {6, 6, 20},
                                                       {4, -3, 0}, {715827882, 1, -1}, {1000, 0x7FFFFFFF, -1}, {13, 7, 40}};
    for (const auto& [w, h, scanLine] : cases) {
        int32_t raised = 0;
        try { EXPECT_EQ(b.Create(w, h), scanLine > 0) << w << 'x' << h; } catch (const platform::Error& e) { raised = e.Number(); }
        const bool made = GetObjectA(b.hDib(), sizeof ds, &ds) && b.DIBSectionBitsPtr() == ds.dsBm.bmBits;
        EXPECT_EQ(std::tuple(raised, made, b.hDC() != nullptr, b.DIBSectionBitsPtr() != nullptr, b.Width(), b.Height(),
                             scanLine > 0 ? b.BytesPerScanLine() : 0),
                  std::tuple(scanLine < 0 ? platform::err::Overflow : 0, scanLine > 0, scanLine > 0, scanLine > 0, w, h, std::max(scanLine, 0)));
    }
    // Rows of 40 bytes, 39 of them pixels: grey noise, then red and green noise on zero blue; noise, so many colours.
    for (bool gray : {true, false}) {
        std::set<COLORREF> seen;
        b.RandomiseBits(gray);
        for (int32_t i = 0; i < 91; ++i) seen.insert(GetPixel(b.hDC(), i % 13, i / 13));
        auto fits = [&](COLORREF p) { return p == (gray ? RGB(GetGValue(p), GetGValue(p), GetGValue(p)) : p & 0xFFFF); };
        EXPECT_TRUE(seen.size() > 60 && std::all_of(seen.begin(), seen.end(), fits)) << gray << ' ' << seen.size();
    }
    HDC dc = b.hDC();
    HBITMAP dib = b.hDib();
    b.ClearUp();
    ExpectLetGo(b, dc, dib, 13, 7);
    // CreateDIB lets go of what was held too, and keeps no way into the bitmap it hands over.
    ASSERT_TRUE(b.Create(4, 4));
    dc = b.hDC(), dib = b.hDib();
    platform::UniqueDC memory(CreateCompatibleDC(nullptr));
    HBITMAP handedOver = nullptr;
    ASSERT_TRUE(b.CreateDIB(memory.get(), 6, 5, handedOver));
    platform::UniqueBitmap callers(handedOver);
    ASSERT_TRUE(GetObjectA(handedOver, sizeof ds, &ds) && ds.dsBmih.biHeight == 5);
    ExpectLetGo(b, dc, dib, 6, 5);
    std::fill_n(static_cast<uint8_t*>(ds.dsBm.bmBits), 5 * 20, 0x5A);
    b.RandomiseBits(true), b.RandomiseBits(false);
    const auto resampled = b.Resample(2, 3);  // nothing of its own to read: black
    EXPECT_EQ(std::pair(Bytes(ds.dsBm.bmBits, 5 * 20), Bytes(*resampled)),
              std::pair(std::vector<uint8_t>(5 * 20, 0x5A), std::vector<uint8_t>(2 * 12)));
    EXPECT_FALSE(b.CreateDIB(memory.get(), 6, -5, handedOver) || handedOver) << "no top-down bitmap";
}

// The pixel loop's own tests hold it to its formulas; here, what reaches it, and the blits and clipboard around it.
TEST(cDIBSection, APictureBlitsResamplesAndGoesToTheClipboardAsABitmapOnly) {
    cDIBSection source, big, copy, empty;
    ASSERT_TRUE(source.Create(11, 9) && big.Create(20, 16));
    for (int32_t i = 0; i < 11 * 9; ++i) SetPixelV(source.hDC(), i % 11, i / 11, Pattern(i % 11, i / 11));
    source.PaintPicture(big.hDC(), 5, 5);                // all of it with its top left at (5, 5)
    source.PaintPicture(big.hDC(), 0, 0, -7, 2, 0, 3);  // its whole width, 2 rows from row 3
    for (int32_t i = 0, x = 0, y = 0; i < 20 * 16; ++i, x = i % 20, y = i / 20)
        ASSERT_EQ(GetPixel(big.hDC(), x, y), x >= 5 && x < 16 && y >= 5 && y < 14 ? Pattern(x - 5, y - 5)
                                             : x < 11 && y < 2                    ? Pattern(x, y + 3) : 0) << x << ',' << y;

    auto cut = source.Resample(8, 10), wide = source.Resample(20, 40);  // cut: scales of exactly 1, the top row goes
    ASSERT_TRUE(cut && wide);
    for (int32_t i = 0; i < 80; ++i) ASSERT_EQ(GetPixel(cut->hDC(), i % 10, i / 10), Pattern(i % 10, i / 10 + 1)) << i;
    EXPECT_EQ(std::tuple(Bytes(*cut->Resample(8, 10)), wide->Width(), wide->Height()), std::tuple(Bytes(*cut), 40, 20));
    EXPECT_FALSE(source.Resample(0, 5) || source.Resample(5, -1) || source.Resample(-1, 5));

    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    std::vector<std::pair<std::string, UINT>> shown;
    platform::Host host;
    host.messageBox = [&](HWND, const std::string& text, const std::string&, UINT flags) { return shown.emplace_back(text, flags), IDOK; };
    platform::HostOverride over(std::move(host));
    EXPECT_FALSE(source.CopyToClipboard() || empty.CopyToClipboard(false) || IsClipboardFormatAvailable(CF_BITMAP));
    ASSERT_EQ(shown, (decltype(shown){{"I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!", MB_OK}}));
    // Opened with no window, the clipboard has no owner, and Windows (not Wine) then refuses the bitmap.
    const HHOOK hook = SetWindowsHookExA(WH_CBT, WatchDestruction, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(source.CopyToClipboard(false));
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(destroyedOwner != nullptr && !IsWindow(destroyedOwner)) << "owned by a window the copy made and destroyed";
    ASSERT_TRUE(OpenClipboard(nullptr));
    copy.CreateFromPicture(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));  // a screen bitmap, to 24 bits
    CloseClipboard();
    EXPECT_EQ(Bytes(copy), Bytes(source));
    // Inverted, 2 columns of all 9 rows from (5, 5) of the big picture: the source's own top left corner.
    source.LoadPictureBlt(big.hDC(), 5, 5, 2, -5, NOTSRCCOPY);
    for (int32_t i = 0; i < 11 * 9; ++i)
        ASSERT_EQ(GetPixel(source.hDC(), i % 11, i / 11), Pattern(i % 11, i / 11) ^ (i % 11 < 2 ? 0xFFFFFF : 0)) << i;
}
