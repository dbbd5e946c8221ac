#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "imaging/cDIBSection.h"
#include "platform/host.h"
#include "platform/random.h"

namespace {

// Memory committed by the process (GetGuiResources, which would count GDI objects, is a stub under Wine).
size_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

std::vector<uint8_t> Bytes(const cDIBSection& b) {
    GdiFlush();
    auto* p = static_cast<const uint8_t*>(b.DIBSectionBitsPtr());
    return {p, p + static_cast<ptrdiff_t>(b.Height()) * b.BytesPerScanLine()};
}

void FillRandom(cDIBSection& b, uint32_t seed) {
    std::mt19937 rng(seed);
    auto* p = static_cast<uint8_t*>(b.DIBSectionBitsPtr());
    for (int32_t i = 0; i < b.Height() * b.BytesPerScanLine(); ++i) p[i] = static_cast<uint8_t>(rng());
}

const uint8_t* MemoryPixel(const cDIBSection& b, int32_t x, int32_t r) {
    return static_cast<const uint8_t*>(b.DIBSectionBitsPtr()) + static_cast<ptrdiff_t>(r) * b.BytesPerScanLine() + 3 * x;
}

COLORREF Pattern(int32_t x, int32_t y) { return RGB(x * 23 + 5, y * 19 + 1, (x * y * 7) & 0xFF); }

}  // namespace

TEST(Resample, MakesABufferOfTheNewSizeHeightFirstAndLeavesTheSourceAlone) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(13, 9));
    FillRandom(source, 1);
    const auto before = Bytes(source);
    auto result = source.Resample(20, 40);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Width(), 40);
    EXPECT_EQ(result->Height(), 20);
    EXPECT_NE(result->hDC(), nullptr);
    EXPECT_EQ(Bytes(source), before);
}

TEST(Resample, SameSizeIsAPlainCopy) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(10, 10));
    FillRandom(source, 2);
    auto result = source.Resample(10, 10);
    ASSERT_TRUE(result);
    EXPECT_NE(result->hDib(), source.hDib());
    GdiFlush();
    for (int32_t r = 0; r < 10; ++r)  // the pixels; the two alignment bytes of each row are not the image
        ASSERT_EQ(std::memcmp(MemoryPixel(*result, 0, r), MemoryPixel(source, 0, r), 30), 0) << "row " << r;
}

TEST(Resample, WorksInMemoryRowOrderOnWhatGdiDrew) {
    // Drawn through the device context: 11 x 11 to 10 x 10 keeps memory rows 0-9, i.e. drops the top row.
    cDIBSection source;
    ASSERT_TRUE(source.Create(11, 11));
    for (int32_t y = 0; y < 11; ++y)
        for (int32_t x = 0; x < 11; ++x) SetPixelV(source.hDC(), x, y, Pattern(x, y));
    auto result = source.Resample(10, 10);
    ASSERT_TRUE(result);
    GdiFlush();
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(GetPixel(result->hDC(), x, y), Pattern(x, y + 1)) << x << ',' << y;
}

TEST(Resample, GivesNothingWhenTheNewBufferCannotBeMade) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(4, 4));
    EXPECT_FALSE(source.Resample(0, 5));
    EXPECT_FALSE(source.Resample(5, -1));
}

TEST(Resample, AnEmptySourceGivesABlackBuffer) {
    cDIBSection never;
    cDIBSection cleared;
    ASSERT_TRUE(cleared.Create(6, 3));
    cleared.ClearUp();
    for (const cDIBSection* source : {&never, &cleared}) {
        for (auto size : {std::pair{3, 6}, std::pair{2, 5}}) {
            auto result = source->Resample(size.first, size.second);
            ASSERT_TRUE(result);
            const auto bytes = Bytes(*result);
            EXPECT_EQ(std::set<uint8_t>(bytes.begin(), bytes.end()), std::set<uint8_t>{0});
        }
    }
}

TEST(RandomiseBits, GreyNoiseHasEqualChannelsAndLeavesAlignmentBytes) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(13, 7));  // rows of 40 bytes, 39 of them pixels
    std::memset(b.DIBSectionBitsPtr(), 0x5A, 7 * 40);
    b.RandomiseBits(true);
    std::set<uint8_t> values;
    for (int32_t r = 0; r < 7; ++r) {
        for (int32_t x = 0; x < 13; ++x) {
            const uint8_t* p = MemoryPixel(b, x, r);
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[1], p[2]);
            values.insert(p[0]);
        }
        EXPECT_EQ(MemoryPixel(b, 13, r)[0], 0x5A);
    }
    EXPECT_GT(values.size(), 20u);
}

TEST(RandomiseBits, ColourNoiseIsRedAndGreenOnly) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(13, 7));
    std::memset(b.DIBSectionBitsPtr(), 0x5A, 7 * 40);
    b.RandomiseBits();
    std::set<uint8_t> greens, reds;
    for (int32_t r = 0; r < 7; ++r) {
        for (int32_t x = 0; x < 13; ++x) {
            const uint8_t* p = MemoryPixel(b, x, r);
            ASSERT_EQ(p[0], 0);
            greens.insert(p[1]);
            reds.insert(p[2]);
        }
        EXPECT_EQ(MemoryPixel(b, 13, r)[0], 0x5A);
    }
    EXPECT_GT(greens.size(), 20u);
    EXPECT_GT(reds.size(), 20u);
}

TEST(RandomiseBits, ReseedsTheProgramsGenerator) {
    platform::Randomize(777);
    platform::Rnd();
    const float secondOf777 = platform::Rnd();

    cDIBSection b;
    ASSERT_TRUE(b.Create(1, 1));
    platform::Randomize(777);
    b.RandomiseBits(true);  // one draw, but from a sequence seeded by the clock
    EXPECT_NE(platform::Rnd(), secondOf777);

    cDIBSection empty;
    empty.RandomiseBits();  // nothing to fill, nothing to crash on
}

namespace {

void PutTextOnClipboard(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

std::string TextOnClipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Holds the clipboard open for a window of another thread for as long as it lives.
class ClipboardHolder {
public:
    ClipboardHolder() : opened_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
            held_ = window != nullptr && OpenClipboard(window) != FALSE;
            SetEvent(opened_.get());
            WaitForSingleObject(done_.get(), INFINITE);
            if (held_) CloseClipboard();
            if (window) DestroyWindow(window);
        });
        WaitForSingleObject(opened_.get(), INFINITE);
    }
    ~ClipboardHolder() {
        SetEvent(done_.get());
        thread_.join();
    }
    bool held() const { return held_; }

private:
    platform::UniqueKernelHandle opened_, done_;
    bool held_ = false;
    std::thread thread_;
};

}  // namespace

TEST(CopyToClipboard, AskedForADibItShowsTheMessageAndCopiesNothing) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(5, 5));
    PutTextOnClipboard("keep me");
    std::vector<std::pair<std::string, UINT>> shown;
    platform::Host host;
    host.messageBox = [&](HWND, const std::string& text, const std::string&, UINT flags) {
        shown.emplace_back(text, flags);
        return IDOK;
    };
    platform::HostOverride over(std::move(host));
    EXPECT_FALSE(b.CopyToClipboard());
    EXPECT_FALSE(b.CopyToClipboard(true));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
    EXPECT_EQ(shown[0].second & MB_TYPEMASK, UINT(MB_OK));
    EXPECT_EQ(TextOnClipboard(), "keep me");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST(CopyToClipboard, AsBitmapPutsTheImageOnTheClipboard) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(17, 9));
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 17; ++x) SetPixelV(b.hDC(), x, y, Pattern(x, y));
    const auto before = Bytes(b);
    PutTextOnClipboard("old");
    ASSERT_TRUE(b.CopyToClipboard(false));
    EXPECT_EQ(Bytes(b), before);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    ASSERT_NE(GetObjectA(bitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 17);
    EXPECT_EQ(bm.bmHeight, 9);
    // Read back as top-down 32-bit rows.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 17, -9, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(17 * 9);
    platform::WindowDC screen(nullptr);
    ASSERT_EQ(GetDIBits(screen.get(), bitmap, 0, 9, pixels.data(), &info, DIB_RGB_COLORS), 9);
    CloseClipboard();
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 17; ++x) {
            const COLORREF c = Pattern(x, y);
            const uint32_t expected = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            ASSERT_EQ(pixels[static_cast<size_t>(y * 17 + x)] & 0xFFFFFF, expected) << x << ',' << y;
        }
}

TEST(CopyToClipboard, ABusyClipboardGetsNothingAndTheBitmapIsReleased) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(1024, 1024));
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.held());
        ASSERT_FALSE(b.CopyToClipboard(false));
        // Each refused call makes and fills a 4 MB screen bitmap: kept, 25 of them would commit 100 MB.
        const size_t before = CommittedBytes();
        for (int i = 0; i < 25; ++i) ASSERT_FALSE(b.CopyToClipboard(false)) << "call " << i;
        EXPECT_LT(CommittedBytes() - before, size_t{20} << 20);
    }
    EXPECT_TRUE(b.CopyToClipboard(false));
}

TEST(CopyToClipboard, AnEmptyBufferHasNothingToCopy) {
    PutTextOnClipboard("still here");
    cDIBSection b;
    EXPECT_FALSE(b.CopyToClipboard(false));
    EXPECT_EQ(TextOnClipboard(), "still here");
}
