#pragma once
// The worn costume's picture, decoded from its file: the only file of a folder that is ever decoded.
#include <memory>
#include <string>

#include "costumes/folder.h"
#include "imaging/cDIBSection.h"

namespace costumes {

struct CostumePicture {
    std::unique_ptr<cDIBSection> picture;  // null when `refusal` says why
    int detail = 0;                        // pixels per pixel of the built-in art, 1 to 4
    Refusal refusal{};
};

// Decodes `fileName` of `folder` through WIC into a picture of the file's own size, in the form of the built-in
// costume pictures: 24-bit, what is not drawn pure red (platform::PictureColourKey).
// - A picture with transparency (an alpha channel, or a palette with a transparent colour) draws the pixels of
//   alpha 128 or more; one without (a 24-bit BMP) leaves out its pure red, as the built-in pictures do.
// - A drawn pure red becomes 254,0,0, and a drawn pure black, which the character's window leaves out
//   (platform::CharacterColourKey), becomes 1,1,1: what the artist drew stays drawn.
// The file is checked as the folder's scan checks it, then read whole (at most 8 MB), and its size is read from its
// header before a decoder sees it. Raises CreateFailed when the decoder or the picture cannot be made.
CostumePicture LoadCostume(const std::wstring& folder, const std::string& fileName);

}  // namespace costumes
