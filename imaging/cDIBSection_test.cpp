#include "imaging/cDIBSection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/error.h"
#include "platform/host.h"

namespace {

uint8_t* PixelAt(const cDIBSection& b, int32_t x, int32_t yFromTop) {
    return static_cast<uint8_t*>(b.DIBSectionBitsPtr()) +
           static_cast<ptrdiff_t>(b.Height() - 1 - yFromTop) * b.BytesPerScanLine() + 3 * x;
}

// A pattern that tells every pixel of a small image from every other.
COLORREF Pattern(int32_t x, int32_t y) { return RGB(x * 9 + 1, y * 11 + 2, (x * 7 + y * 5) & 0xFF); }

void DrawPattern(cDIBSection& b) {
    for (int32_t y = 0; y < b.Height(); ++y)
        for (int32_t x = 0; x < b.Width(); ++x) {
            uint8_t* p = PixelAt(b, x, y);
            COLORREF c = Pattern(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
}

COLORREF ColourAt(const cDIBSection& b, int32_t x, int32_t y) {
    const uint8_t* p = PixelAt(b, x, y);
    return RGB(p[2], p[1], p[0]);
}

// More GDI objects than a process may hold (10 000 on Windows, about 65 500 under Wine, whose
// GetGuiResources always reports 0): an operation that leaks one object per call fails within this many calls.
constexpr int kBeyondGdiLimit = 66000;

}  // namespace

TEST(cDIBSection, NewObjectHoldsNothing) {
    cDIBSection b;
    EXPECT_EQ(b.hDC(), nullptr);
    EXPECT_EQ(b.hDib(), nullptr);
    EXPECT_EQ(b.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.BytesPerScanLine(), 0);
}

TEST(cDIBSection, CreateMakesA24BitBottomUpSectionOfTheRowSize) {
    struct Case { int32_t w, h, scanLine; } cases[] = {{10, 5, 32}, {1, 1, 4}, {2, 3, 8}, {4, 2, 12}, {77, 126, 232}};
    for (const auto& c : cases) {
        cDIBSection b;
        ASSERT_TRUE(b.Create(c.w, c.h)) << c.w << 'x' << c.h;
        EXPECT_EQ(b.Width(), c.w);
        EXPECT_EQ(b.Height(), c.h);
        EXPECT_EQ(b.BytesPerScanLine(), c.scanLine);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(b.hDib(), sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidth, c.w);
        EXPECT_EQ(ds.dsBm.bmHeight, c.h);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, c.scanLine);
        EXPECT_EQ(ds.dsBm.bmBits, b.DIBSectionBitsPtr());
        EXPECT_GT(ds.dsBmih.biHeight, 0);
        EXPECT_EQ(ds.dsBmih.biSizeImage, DWORD(c.h * c.scanLine));
        EXPECT_EQ(GetCurrentObject(b.hDC(), OBJ_BITMAP), b.hDib());
    }
}

TEST(cDIBSection, PixelMemoryIsBottomUpInBlueGreenRedOrder) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(5, 4));
    SetPixel(b.hDC(), 3, 1, RGB(10, 20, 30));
    GdiFlush();
    const uint8_t* p = static_cast<uint8_t*>(b.DIBSectionBitsPtr()) + (4 - 1 - 1) * 16 + 3 * 3;
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    PixelAt(b, 0, 0)[2] = 0xFF;
    EXPECT_EQ(GetPixel(b.hDC(), 0, 0), RGB(0xFF, 0, 0));
}

TEST(cDIBSection, CreateAgainReleasesTheFirstBitmapAndContext) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(8, 8));
    const HDC firstDC = b.hDC();
    const HBITMAP firstDib = b.hDib();
    ASSERT_TRUE(b.Create(16, 4));
    ASSERT_NE(b.hDC(), firstDC);
    ASSERT_NE(b.hDib(), firstDib);
    EXPECT_EQ(GetObjectType(firstDC), 0u);
    EXPECT_EQ(GetObjectType(firstDib), 0u);
    EXPECT_EQ(GetObjectType(b.hDC()), DWORD(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(b.hDib()), DWORD(OBJ_BITMAP));
    for (int i = 0; i < kBeyondGdiLimit; ++i) ASSERT_TRUE(b.Create(3 + i % 5, 7)) << "call " << i;
}

TEST(cDIBSection, ClearUpReleasesHandlesButKeepsTheSize) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(10, 5));
    const HDC dc = b.hDC();
    const HBITMAP dib = b.hDib();
    b.ClearUp();
    EXPECT_EQ(b.hDC(), nullptr);
    EXPECT_EQ(b.hDib(), nullptr);
    EXPECT_EQ(b.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(dib), 0u);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_EQ(b.BytesPerScanLine(), 32);
    b.ClearUp();  // twice is harmless
    EXPECT_TRUE(b.Create(2, 2));
}

TEST(cDIBSection, DestructionReleasesTheHandles) {
    HDC dc;
    HBITMAP dib;
    {
        cDIBSection b;
        ASSERT_TRUE(b.Create(6, 6));
        dc = b.hDC();
        dib = b.hDib();
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(dib), 0u);
}

TEST(cDIBSection, FailedCreateHoldsNothingAndReportsTheRequestedSize) {
    struct Case { int32_t w, h; } cases[] = {{0, 5}, {7, 0}, {-3, 4}, {0, 0}};
    for (const auto& c : cases) {
        cDIBSection b;
        ASSERT_TRUE(b.Create(4, 4));
        const HDC oldDC = b.hDC();
        EXPECT_FALSE(b.Create(c.w, c.h)) << c.w << 'x' << c.h;
        EXPECT_EQ(b.hDC(), nullptr);
        EXPECT_EQ(b.hDib(), nullptr);
        EXPECT_EQ(b.DIBSectionBitsPtr(), nullptr);
        EXPECT_EQ(GetObjectType(oldDC), 0u);
        EXPECT_EQ(b.Width(), c.w);
        EXPECT_EQ(b.Height(), c.h);
    }
    cDIBSection b;
    for (int i = 0; i < kBeyondGdiLimit; ++i) b.Create(0, 5);
    EXPECT_TRUE(b.Create(4, 4));
}

TEST(cDIBSection, SizesBeyond32BitsRaiseOverflowAndLeaveNothingBehind) {
    struct Case { int32_t w, h; } cases[] = {{715827882, 1}, {715827881, 2}, {1000, 0x7FFFFFFF}, {1, -0x7FFFFFFF}};
    for (const auto& c : cases) {
        cDIBSection b;
        try {
            b.Create(c.w, c.h);
            ADD_FAILURE() << "no overflow for " << c.w << 'x' << c.h;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Number(), platform::err::Overflow);
        }
        EXPECT_EQ(b.hDC(), nullptr);
        EXPECT_EQ(b.Width(), c.w);
    }
    cDIBSection b;
    for (int i = 0; i < kBeyondGdiLimit; ++i) EXPECT_THROW(b.Create(715827882, 1), platform::Error);
    EXPECT_TRUE(b.Create(4, 4));
}

TEST(cDIBSection, CreateFromPictureCopiesThePictureAt24Bits) {
    // A 32-bit picture with a pattern, and a monochrome one (bit set = white).
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -48, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    platform::UniqueBitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(colour);
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 32; ++x) {
            COLORREF c = Pattern(x, y);
            static_cast<uint32_t*>(bits)[y * 32 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    std::vector<uint16_t> monoRows(48);  // one 16-bit aligned row each: bit 15 is column 0
    for (int32_t y = 0; y < 48; ++y) monoRows[y] = static_cast<uint16_t>(y % 3 == 0 ? 0x00FF : 0xF000);
    std::vector<uint8_t> monoBytes(96);
    for (int32_t y = 0; y < 48; ++y) {
        monoBytes[2 * y] = static_cast<uint8_t>(monoRows[y] >> 8);
        monoBytes[2 * y + 1] = static_cast<uint8_t>(monoRows[y] & 0xFF);
    }
    platform::UniqueBitmap mono(CreateBitmap(16, 48, 1, 1, monoBytes.data()));
    ASSERT_TRUE(mono);

    cDIBSection b;
    b.CreateFromPicture(colour.get());
    ASSERT_NE(b.hDC(), nullptr);
    ASSERT_EQ(b.Width(), 32);
    ASSERT_EQ(b.Height(), 48);
    GdiFlush();
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(ColourAt(b, x, y), Pattern(x, y)) << x << ',' << y;

    b.CreateFromPicture(mono.get());
    ASSERT_EQ(b.Width(), 16);
    ASSERT_EQ(b.Height(), 48);
    GdiFlush();
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 16; ++x) {
            const bool set = (monoRows[y] >> (15 - x)) & 1;
            ASSERT_EQ(ColourAt(b, x, y), set ? RGB(255, 255, 255) : RGB(0, 0, 0)) << x << ',' << y;
        }

    b.CreateFromPicture(nullptr);  // not a bitmap: nothing held
    EXPECT_EQ(b.hDC(), nullptr);
}

TEST(cDIBSection, LoadPictureBltCopiesFromTheTopLeftOfTheSource) {
    cDIBSection source;
    ASSERT_TRUE(source.Create(20, 16));
    DrawPattern(source);
    struct Case { int32_t left, top, width, height; DWORD rop; int32_t copiedW, copiedH; } cases[] = {
        {0, 0, -1, -1, SRCCOPY, 8, 6},  {3, 2, -1, -1, SRCCOPY, 8, 6},    {0, 0, 2, -5, SRCCOPY, 2, 6},
        {1, 1, -7, 3, SRCCOPY, 8, 3},   {4, 0, 5, 2, NOTSRCCOPY, 5, 2},
    };
    for (const auto& c : cases) {
        cDIBSection b;
        ASSERT_TRUE(b.Create(8, 6));
        std::memset(b.DIBSectionBitsPtr(), 0x11, static_cast<size_t>(6 * b.BytesPerScanLine()));
        if (c.left == 0 && c.top == 0 && c.width == -1 && c.height == -1) b.LoadPictureBlt(source.hDC());
        else b.LoadPictureBlt(source.hDC(), c.left, c.top, c.width, c.height, c.rop);
        GdiFlush();
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 8; ++x) {
                COLORREF expected = RGB(0x11, 0x11, 0x11);
                if (x < c.copiedW && y < c.copiedH) {
                    expected = Pattern(x + c.left, y + c.top);
                    if (c.rop == NOTSRCCOPY) expected = ~expected & 0xFFFFFF;
                }
                ASSERT_EQ(ColourAt(b, x, y), expected) << "case " << (&c - cases) << " at " << x << ',' << y;
            }
    }
}

TEST(cDIBSection, PaintPictureDrawsTheBufferAtTheDestination) {
    cDIBSection b;
    ASSERT_TRUE(b.Create(6, 4));
    DrawPattern(b);
    struct Case { int32_t destLeft, destTop, width, height, srcLeft, srcTop; bool defaults; RECT drawn; } cases[] = {
        {0, 0, -1, -1, 0, 0, true, {0, 0, 6, 4}},    {5, 5, -1, -1, 0, 0, true, {5, 5, 11, 9}},
        {5, 5, -7, -1, 0, 0, false, {5, 5, 11, 9}},  {1, 2, 3, 2, 2, 1, false, {1, 2, 4, 4}},
        {9, 0, -3, 1, 0, 3, false, {9, 0, 15, 1}},
    };
    for (const auto& c : cases) {
        cDIBSection target;
        ASSERT_TRUE(target.Create(20, 16));
        std::memset(target.DIBSectionBitsPtr(), 0x22, static_cast<size_t>(16 * target.BytesPerScanLine()));
        if (c.defaults && c.destLeft == 0) b.PaintPicture(target.hDC());
        else if (c.defaults) b.PaintPicture(target.hDC(), c.destLeft, c.destTop);
        else b.PaintPicture(target.hDC(), c.destLeft, c.destTop, c.width, c.height, c.srcLeft, c.srcTop);
        GdiFlush();
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 20; ++x) {
                const bool inside = x >= c.drawn.left && x < c.drawn.right && y >= c.drawn.top && y < c.drawn.bottom;
                const COLORREF expected = inside ? Pattern(x - c.destLeft + c.srcLeft, y - c.destTop + c.srcTop)
                                                 : RGB(0x22, 0x22, 0x22);
                ASSERT_EQ(ColourAt(target, x, y), expected) << "case " << (&c - cases) << " at " << x << ',' << y;
            }
    }
}
