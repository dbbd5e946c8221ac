#pragma once
// A hidden holder of one bitmap: it takes the bitmap's size and offers a device context to copy from.
#include <windows.h>

#include "platform/handles.h"

namespace platform {

class PictureHolder {
public:
    enum class ScaleMode { Pixels, Twips };

    PictureHolder() = default;
    PictureHolder(const PictureHolder&) = delete;
    PictureHolder& operator=(const PictureHolder&) = delete;

    // Takes the bitmap and sizes the holder to it; the previous bitmap is released.
    void SetPicture(UniqueBitmap bitmap);
    HBITMAP Picture() const { return bitmap_.get(); }
    // A memory device context holding the picture (0 while there is none).
    HDC hDC() const { return bitmap_ ? dc_.get() : nullptr; }

    int PixelWidth() const { return width_; }
    int PixelHeight() const { return height_; }

    ScaleMode Scale() const { return scale_; }
    void SetScale(ScaleMode scale) { scale_ = scale; }
    // Inner size in the holder's scale unit.
    float ScaleWidth() const;
    float ScaleHeight() const;

private:
    UniqueDC dc_;
    UniqueBitmap bitmap_;
    SelectedObject selection_;  // declared last: restored before the bitmap and the DC go
    int width_ = 0;
    int height_ = 0;
    ScaleMode scale_ = ScaleMode::Pixels;
};

}  // namespace platform
