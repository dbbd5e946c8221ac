#include "imaging/cDIBSection.h"

#include <limits>

#include "imaging/pixels.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/random.h"

namespace {

int32_t CheckedInt32(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        platform::RaiseOverflow();
    return static_cast<int32_t>(value);
}

}  // namespace

cDIBSection::~cDIBSection() { ClearUp(); }

int32_t cDIBSection::BytesPerScanLine() const {
    return CheckedInt32(int64_t{Width()} * 3 + 3) & ~int32_t{3};
}

int32_t cDIBSection::ImageSize() const { return CheckedInt32(int64_t{Height()} * BytesPerScanLine()); }

bool cDIBSection::Create(int32_t width, int32_t height) {
    ClearUp();
    // Owned locally until the whole buffer exists, so a failure (or an overflow) leaves nothing behind.
    platform::UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    void* bits = nullptr;
    platform::UniqueBitmap dib(MakeSection(dc.get(), width, height, &bits));
    if (!dib) return false;
    platform::SelectedObject selection(dc.get(), dib.get());
    if (!selection) return false;
    dc_ = std::move(dc);
    dib_ = std::move(dib);
    selection_ = std::move(selection);
    bits_ = bits;
    return true;
}

bool cDIBSection::CreateDIB(HDC dc, int32_t width, int32_t height, HBITMAP& dib) {
    ClearUp();
    // The bitmap and its pixels are the caller's: keeping their address would let RandomiseBits and
    // Resample reach into a bitmap this object neither holds nor outlives.
    void* bits = nullptr;
    dib = MakeSection(dc, width, height, &bits);
    return dib != nullptr;
}

HBITMAP cDIBSection::MakeSection(HDC dc, int32_t width, int32_t height, void** bits) {
    BITMAPINFOHEADER& header = info_.bmiHeader;
    header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(ImageSize());
    // A negative height would make a top-down bitmap, which every row computation here reads upside down.
    if (height < 0) return nullptr;
    return CreateDIBSection(dc, &info_, DIB_RGB_COLORS, bits, nullptr, 0);
}

void cDIBSection::CreateFromPicture(HBITMAP picture) {
    // A handle that is not a bitmap reads as 0 x 0, which Create refuses.
    BITMAP size{};
    if (picture != nullptr) GetObjectA(picture, sizeof size, &size);
    if (!Create(size.bmWidth, size.bmHeight)) return;

    platform::UniqueDC memory;
    {
        platform::WindowDC screen(GetDesktopWindow());
        if (!screen) return;
        memory.reset(CreateCompatibleDC(screen.get()));
    }
    if (!memory) return;
    // Fails when the bitmap is selected into some other device context; the buffer then stays black.
    platform::SelectedObject selected(memory.get(), picture);
    if (!selected) return;
    LoadPictureBlt(memory.get());
}

void cDIBSection::LoadPictureBlt(HDC source, int32_t sourceLeft, int32_t sourceTop, int32_t sourceWidth,
                                 int32_t sourceHeight, DWORD rop) {
    const int32_t w = sourceWidth < 0 ? Width() : sourceWidth;
    const int32_t h = sourceHeight < 0 ? Height() : sourceHeight;
    BitBlt(hDC(), 0, 0, w, h, source, sourceLeft, sourceTop, rop);
}

void cDIBSection::PaintPicture(HDC target, int32_t targetLeft, int32_t targetTop, int32_t targetWidth,
                               int32_t targetHeight, int32_t sourceLeft, int32_t sourceTop, DWORD rop) const {
    const int32_t w = targetWidth < 0 ? Width() : targetWidth;
    const int32_t h = targetHeight < 0 ? Height() : targetHeight;
    BitBlt(target, targetLeft, targetTop, w, h, hDC(), sourceLeft, sourceTop, rop);
}

void cDIBSection::ClearUp() {
    // Select the DIB section out before deleting it, and delete it before its device context.
    selection_.restore();
    dib_.reset();
    dc_.reset();
    bits_ = nullptr;
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t newHeight, int32_t newWidth) const {
    auto result = std::make_unique<cDIBSection>();
    if (!result->Create(newWidth, newHeight)) return nullptr;
    if (newWidth == Width() && newHeight == Height()) {
        result->LoadPictureBlt(hDC());
    } else if (bits_ != nullptr) {
        GdiFlush();  // drawing still queued in GDI must reach the pixel memory first
        imaging::ResampleBilinear(
            {static_cast<const uint8_t*>(bits_), Width(), Height(), BytesPerScanLine()},
            {static_cast<uint8_t*>(result->bits_), result->Width(), result->Height(), result->BytesPerScanLine()});
    }
    return result;
}

void cDIBSection::RandomiseBits(bool gray) {
    platform::ReseedRandom(platform::SecondsSinceMidnight());
    if (bits_ == nullptr) return;
    GdiFlush();
    imaging::FillNoise({static_cast<uint8_t*>(bits_), Width(), Height(), BytesPerScanLine()}, gray,
                       platform::NextRandom);
}

bool cDIBSection::CopyToClipboard(bool asDib) const {
    platform::WindowDC screen(GetDesktopWindow());
    if (!screen) return false;
    platform::UniqueDC memory(CreateCompatibleDC(screen.get()));
    if (!memory) return false;

    if (asDib) {
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
    // Opened without a window, the clipboard would have no owner after EmptyClipboard, and Windows then
    // refuses SetClipboardData: a message-only window owns it for the length of the copy.
    platform::UniqueWindow owner(
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!owner || !OpenClipboard(owner.get())) return false;
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
    if (taken) bitmap.release();
    CloseClipboard();
    return taken;
}
