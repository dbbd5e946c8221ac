#include "platform/picture.h"

#include "platform/error.h"
#include "platform/screen.h"

namespace platform {

void PictureHolder::SetPicture(UniqueBitmap bitmap) {
    BITMAP info{};
    if (bitmap && GetObjectA(bitmap.get(), sizeof info, &info) == 0) {
        throw Error(err::CreateFailed, ExeName(), "Invalid picture");
    }
    if (!dc_) {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) throw Error(err::CreateFailed, ExeName(), "Cannot create a device context for a picture");
    }
    selection_.restore();
    bitmap_ = std::move(bitmap);
    width_ = bitmap_ ? info.bmWidth : 0;
    height_ = bitmap_ ? info.bmHeight : 0;
    if (bitmap_) selection_ = SelectedObject(dc_.get(), bitmap_.get());
}

float PictureHolder::ScaleWidth() const {
    return scale_ == ScaleMode::Twips ? static_cast<float>(width_ * TwipsPerPixelX()) : static_cast<float>(width_);
}

float PictureHolder::ScaleHeight() const {
    return scale_ == ScaleMode::Twips ? static_cast<float>(height_ * TwipsPerPixelY()) : static_cast<float>(height_);
}

}  // namespace platform
