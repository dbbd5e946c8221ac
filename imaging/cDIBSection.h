#pragma once
// An off-screen 24-bit bottom-up DIB section selected into a memory device context of its own, so that
// frames can be composed off-screen, copied in one blit, and their pixels addressed directly.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/handles.h"

class cDIBSection {
public:
    cDIBSection() = default;
    ~cDIBSection();
    // The selection and the bits address tie the object to its handles: neither copied nor moved.
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Releases what is held, then makes a buffer of this size; false (holding nothing) when it cannot,
    // a negative width or height included. Raises Overflow when the row or image size does not fit in 32 bits.
    bool Create(int32_t width, int32_t height);
    // Fills the header and makes a DIB section through `dc`, handed to the caller in `dib` with its pixels.
    // Whatever the object held is released first, and it keeps no bits address: hDC, hDib and DIBSectionBitsPtr
    // stay 0.
    bool CreateDIB(HDC dc, int32_t width, int32_t height, HBITMAP& dib);
    // Makes the buffer the picture's size and copies the picture into it; success shows in hDC().
    // The bitmap must not be selected into another device context at the time.
    void CreateFromPicture(HBITMAP picture);

    // The size last asked for: kept after ClearUp and after a failed Create.
    int32_t BytesPerScanLine() const;
    int32_t Width() const { return info_.bmiHeader.biWidth; }
    int32_t Height() const { return info_.bmiHeader.biHeight; }

    HDC hDC() const { return dc_.get(); }
    HBITMAP hDib() const { return dib_.get(); }
    void* DIBSectionBitsPtr() const { return bits_; }

    // Negative sizes stand for the buffer's full width or height. Blit results are not examined.
    void LoadPictureBlt(HDC source, int32_t sourceLeft = 0, int32_t sourceTop = 0, int32_t sourceWidth = -1,
                        int32_t sourceHeight = -1, DWORD rop = SRCCOPY);
    void PaintPicture(HDC target, int32_t targetLeft = 0, int32_t targetTop = 0, int32_t targetWidth = -1,
                      int32_t targetHeight = -1, int32_t sourceLeft = 0, int32_t sourceTop = 0, DWORD rop = SRCCOPY) const;

    void ClearUp();

    // A new buffer of newWidth x newHeight (the height comes first) with this image resampled bilinearly,
    // or nothing when that buffer cannot be made. An empty source gives a black buffer.
    std::unique_ptr<cDIBSection> Resample(int32_t newHeight, int32_t newWidth) const;
    // Fills the pixels with noise, reseeding the program's generator from the time of day first:
    // grey noise, or red and green noise on a zero blue channel.
    void RandomiseBits(bool gray = false);
    // Puts a screen-compatible copy of the image on the clipboard as CF_BITMAP; true when it was taken.
    // The clipboard's owner is a message-only window of the calling thread, destroyed once the copy is done.
    // Only the bitmap form is offered: asking for a DIB shows a message and copies nothing.
    bool CopyToClipboard(bool asDib = true) const;

private:
    int32_t ImageSize() const;
    // Fills the header with this size and makes the DIB section; 0 for a negative height.
    HBITMAP MakeSection(HDC dc, int32_t width, int32_t height, void** bits);

    BITMAPINFO info_{};  // header of the last requested size; no colour table at 24 bits
    platform::UniqueDC dc_;
    platform::UniqueBitmap dib_;
    platform::SelectedObject selection_;  // puts the previous bitmap back before the DIB section is deleted
    void* bits_ = nullptr;
};
