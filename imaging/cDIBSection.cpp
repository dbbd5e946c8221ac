#include "imaging/cDIBSection.h"

#include <limits>

#include "imaging/pixels.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/random.h"

namespace {

int32_t CheckedLong(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        platform::RaiseOverflow();
    return static_cast<int32_t>(value);
}

}  // namespace

cDIBSection::~cDIBSection() { ClearUp(); }

int32_t cDIBSection::BytesPerScanLine() const {
    return CheckedLong(int64_t{Width()} * 3 + 3) & ~int32_t{3};
}

int32_t cDIBSection::ImageSize() const { return CheckedLong(int64_t{Height()} * BytesPerScanLine()); }

bool cDIBSection::Create(int32_t lWidth, int32_t lHeight) {
    ClearUp();
    // Owned locally until the whole buffer exists, so a failure (or an overflow) leaves nothing behind.
    platform::UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    HBITMAP made = nullptr;
    if (!CreateDIB(dc.get(), lWidth, lHeight, made)) return false;
    platform::UniqueBitmap dib(made);
    platform::SelectedObject selection(dc.get(), dib.get());
    if (!selection) {
        bits_ = nullptr;
        return false;
    }
    dc_ = std::move(dc);
    dib_ = std::move(dib);
    selection_ = std::move(selection);
    return true;
}

bool cDIBSection::CreateDIB(HDC lHDC, int32_t lWidth, int32_t lHeight, HBITMAP& hDib) {
    ClearUp();
    BITMAPINFOHEADER& header = info_.bmiHeader;
    header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = lWidth;
    header.biHeight = lHeight;  // positive: bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(ImageSize());

    void* bits = nullptr;
    hDib = CreateDIBSection(lHDC, &info_, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = hDib != nullptr ? bits : nullptr;
    return hDib != nullptr;
}

void cDIBSection::CreateFromPicture(HBITMAP picThis) {
    // A handle that is not a bitmap reads as 0 x 0, which Create refuses.
    BITMAP picture{};
    if (picThis != nullptr) GetObjectA(picThis, sizeof picture, &picture);
    if (!Create(picture.bmWidth, picture.bmHeight)) return;

    platform::UniqueDC memory;
    {
        platform::WindowDC screen(GetDesktopWindow());
        if (!screen) return;
        memory.reset(CreateCompatibleDC(screen.get()));
    }
    if (!memory) return;
    // Fails when the bitmap is selected into some other device context; the buffer then stays black.
    platform::SelectedObject selected(memory.get(), picThis);
    if (!selected) return;
    LoadPictureBlt(memory.get());
}

void cDIBSection::LoadPictureBlt(HDC lHDC, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth,
                                 int32_t lSrcHeight, DWORD eRop) {
    const int32_t w = lSrcWidth < 0 ? Width() : lSrcWidth;
    const int32_t h = lSrcHeight < 0 ? Height() : lSrcHeight;
    BitBlt(hDC(), 0, 0, w, h, lHDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(HDC lHDC, int32_t lDestLeft, int32_t lDestTop, int32_t lDestWidth,
                               int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop, DWORD eRop) const {
    const int32_t w = lDestWidth < 0 ? Width() : lDestWidth;
    const int32_t h = lDestHeight < 0 ? Height() : lDestHeight;
    BitBlt(lHDC, lDestLeft, lDestTop, w, h, hDC(), lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::ClearUp() {
    // Select the DIB section out before deleting it, and delete it before its device context.
    selection_.restore();
    dib_.reset();
    dc_.reset();
    bits_ = nullptr;
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) const {
    auto result = std::make_unique<cDIBSection>();
    if (!result->Create(lNewWidth, lNewHeight)) return nullptr;
    if (lNewWidth == Width() && lNewHeight == Height()) {
        result->LoadPictureBlt(hDC());
    } else if (bits_ != nullptr) {
        GdiFlush();  // drawing still queued in GDI must reach the pixel memory first
        imaging::ResampleBilinear(
            {static_cast<const uint8_t*>(bits_), Width(), Height(), BytesPerScanLine()},
            {static_cast<uint8_t*>(result->bits_), result->Width(), result->Height(), result->BytesPerScanLine()});
    }
    return result;
}

void cDIBSection::RandomiseBits(bool bGray) {
    platform::ReseedRandom(platform::SecondsSinceMidnight());
    if (bits_ == nullptr) return;
    GdiFlush();
    imaging::FillNoise({static_cast<uint8_t*>(bits_), Width(), Height(), BytesPerScanLine()}, bGray,
                       platform::NextRandom);
}

bool cDIBSection::CopyToClipboard(bool bAsDIB) const {
    platform::WindowDC screen(GetDesktopWindow());
    if (!screen) return false;
    platform::UniqueDC memory(CreateCompatibleDC(screen.get()));
    if (!memory) return false;

    if (bAsDIB) {
        platform::ShowMessage("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!", MB_OK);
        return false;
    }
    // An empty buffer has nothing to copy (CreateCompatibleBitmap would hand out a 1 x 1 bitmap).
    if (!dc_) return false;

    platform::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), Width(), Height()));
    if (!bitmap) return false;
    {
        platform::SelectedObject selected(memory.get(), bitmap.get());
        if (!selected) return false;
        PaintPicture(memory.get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    }

    // The clipboard owns the bitmap only once SetClipboardData took it; otherwise it is deleted here.
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
    if (taken) bitmap.release();
    CloseClipboard();
    return taken;
}
