#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "imaging/cDIBSection.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/random.h"

namespace {

// A pattern that tells every pixel of a small image from every other.
COLORREF Pattern(int32_t x, int32_t y) { return RGB(x * 9 + 1, y * 11 + 2, (x * 7 + y * 5) & 0xFF); }

// A buffer of this size with the pattern drawn through its device context, or all of it grey `fill`.
void Make(cDIBSection& b, int32_t w, int32_t h, int fill = -1) {
    ASSERT_TRUE(b.Create(w, h));
    for (int32_t i = 0; i < w * h; ++i)
        SetPixelV(b.hDC(), i % w, i / w, fill < 0 ? Pattern(i % w, i / w) : RGB(fill, fill, fill));
}

std::vector<uint8_t> Bytes(const cDIBSection& b) {
    GdiFlush();
    auto* p = static_cast<const uint8_t*>(b.DIBSectionBitsPtr());
    return {p, p + static_cast<ptrdiff_t>(b.Height()) * b.BytesPerScanLine()};
}

bool Released(HDC dc, HBITMAP dib) { return GetObjectType(dc) == 0 && GetObjectType(dib) == 0; }

}  // namespace

TEST(cDIBSection, CreateReleasesWhatItHeldThenMakesABufferOrNothing) {
    cDIBSection b;
    HDC dc = nullptr;
    HBITMAP dib = nullptr;
    struct Case { int32_t w, h, scanLine; } cases[] = {  // scan line 0: refused, -1: overflows
        {10, 5, 32}, {0, 5, 0}, {1, 1, 4}, {7, 0, 0}, {77, 126, 232}, {-3, 4, 0}, {4, 4, 12},
        {715827882, 1, -1}, {6, 6, 20}, {1000, 0x7FFFFFFF, -1}, {2, 3, 8}};
    for (const auto& c : cases) {
        try {
            EXPECT_TRUE(b.Create(c.w, c.h) == (c.scanLine > 0) && c.scanLine >= 0) << c.w << 'x' << c.h;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Number(), c.scanLine < 0 ? platform::err::Overflow : -1) << c.w << 'x' << c.h;
        }
        EXPECT_TRUE(dc == nullptr || Released(dc, dib)) << c.w;  // Create twice: the first pair is gone
        dc = b.hDC(), dib = b.hDib();
        const bool made = c.scanLine > 0;  // all three handles or none; the layout shows in the pixel tests below
        EXPECT_EQ(std::tuple(dc != nullptr, dib != nullptr, b.DIBSectionBitsPtr() != nullptr, b.Width(), b.Height()),
                  std::tuple(made, made, made, c.w, c.h));
        DIBSECTION ds{};
        EXPECT_TRUE(!made || (GetObjectA(dib, sizeof ds, &ds) && ds.dsBmih.biSizeImage == DWORD(c.h * c.scanLine) &&
                              b.BytesPerScanLine() == c.scanLine)) << c.w;
    }
    b.ClearUp();
    EXPECT_TRUE(Released(dc, dib) && b.hDC() == nullptr && b.hDib() == nullptr && b.DIBSectionBitsPtr() == nullptr);
    EXPECT_EQ(std::tuple(b.Width(), b.Height(), b.BytesPerScanLine()), std::tuple(2, 3, 8));
    // More objects than a process may hold in GDI (about 65 500 under Wine, whose GetGuiResources says 0):
    // one leaked by destruction or by a refused or overflowing Create makes a later Create fail.
    for (int i = 0; i < 66000; ++i) {
        ASSERT_TRUE(cDIBSection().Create(3 + i % 5, 7)) << "call " << i;
        ASSERT_FALSE(b.Create(0, 5));
        ASSERT_THROW(b.Create(715827882, 1), platform::Error);
    }
}

TEST(cDIBSection, BlitsPlaceAtOffsetsAndTakeAnyNegativeSizeAsTheWholeBuffer) {
    cDIBSection small, big;
    Make(small, 8, 6);
    Make(big, 20, 16, 0x11);
    small.PaintPicture(big.hDC(), 5, 5);               // all of it with its top left at (5, 5)
    small.PaintPicture(big.hDC(), 0, 0, -7, 2, 0, 3);  // its whole width, 2 rows from row 3
    for (int32_t i = 0; i < 20 * 16; ++i) {
        const int32_t x = i % 20, y = i / 20;
        const COLORREF expected = x >= 5 && x < 13 && y >= 5 && y < 11 ? Pattern(x - 5, y - 5)
                                  : x < 8 && y < 2                     ? Pattern(x, y + 3)
                                                                       : RGB(0x11, 0x11, 0x11);
        ASSERT_EQ(GetPixel(big.hDC(), x, y), expected) << x << ',' << y;
    }
    small.LoadPictureBlt(big.hDC(), 5, 5, 2, -5, NOTSRCCOPY);  // 2 columns, all 6 rows, from (5, 5), inverted
    for (int32_t i = 0; i < 8 * 6; ++i)
        ASSERT_EQ(GetPixel(small.hDC(), i % 8, i / 8), Pattern(i % 8, i / 8) ^ (i % 8 < 2 ? 0xFFFFFF : 0)) << i;
}

TEST(Resample, CopiesAtTheSameSizeAndInterpolatesInMemoryRowOrderOtherwise) {
    cDIBSection source;
    Make(source, 11, 11);
    auto cut = source.Resample(10, 10);  // scales of exactly 1: memory rows 0-9 stay, the top row goes
    ASSERT_TRUE(cut);
    for (int32_t i = 0; i < 100; ++i) ASSERT_EQ(GetPixel(cut->hDC(), i % 10, i / 10), Pattern(i % 10, i / 10 + 1)) << i;
    auto same = cut->Resample(10, 10), wide = source.Resample(20, 40);
    ASSERT_TRUE(same && wide);
    EXPECT_EQ(Bytes(*same), Bytes(*cut));
    EXPECT_EQ(std::tuple(wide->Width(), wide->Height(), wide->hDC() != nullptr), std::tuple(40, 20, true));
    EXPECT_FALSE(source.Resample(0, 5) || source.Resample(5, -1));
    source.ClearUp();  // nothing to read from: black
    auto black = source.Resample(2, 5);
    ASSERT_TRUE(black);
    EXPECT_EQ(Bytes(*black), std::vector<uint8_t>(2 * 16));
}

TEST(RandomiseBits, FillsThePixelsFromAGeneratorReseededByTheClock) {
    for (bool gray : {true, false}) {
        cDIBSection b;
        ASSERT_TRUE(b.Create(13, 7));  // rows of 40 bytes, 39 of them pixels
        gray ? b.RandomiseBits(true) : b.RandomiseBits();
        int greens = 0;
        for (int32_t i = 0; i < 91; ++i) {
            const COLORREF p = GetPixel(b.hDC(), i % 13, i / 13);
            EXPECT_TRUE(gray ? p == RGB(GetGValue(p), GetGValue(p), GetGValue(p)) : GetBValue(p) == 0) << i;
            greens += GetGValue(p) != 0;
        }
        EXPECT_GT(greens, 80);  // filled at all
    }
    platform::ReseedRandom(777);
    const float firstOf777 = platform::NextRandom();
    platform::ReseedRandom(777);
    cDIBSection().RandomiseBits();  // nothing to fill, nothing to crash on, but reseeded from the clock all the same
    EXPECT_NE(platform::NextRandom(), firstOf777);
}

TEST(CopyToClipboard, AsDibItOnlyShowsTheMessageAsBitmapItCopiesTheImage) {
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
    ASSERT_TRUE(b.CopyToClipboard(false));
    ASSERT_TRUE(!IsClipboardFormatAvailable(CF_TEXT) && OpenClipboard(nullptr));
    copy.CreateFromPicture(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));  // a 32 x 48 screen bitmap, to 24 bits
    CloseClipboard();
    EXPECT_EQ(Bytes(copy), Bytes(b));
}

TEST(CopyToClipboard, ABusyClipboardGetsNothingAndTheBitmapIsReleased) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(2, 2));
    std::atomic<int> stage{0};  // a window of another thread holds the clipboard open until stage 2
    std::thread holder([&] {
        HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        stage = OpenClipboard(window) ? 1 : -1;
        while (stage == 1) Sleep(1);
        CloseClipboard();
        DestroyWindow(window);
    });
    while (stage == 0) Sleep(1);
    int taken = 0;  // more refusals than a process may hold GDI objects: a bitmap kept by each exhausts them
    for (int i = 0; i < 66000; ++i) taken += b.CopyToClipboard(false);
    EXPECT_EQ(stage.exchange(2), 1);
    holder.join();
    EXPECT_EQ(taken, 0);
    EXPECT_TRUE(b.CopyToClipboard(false));
}
