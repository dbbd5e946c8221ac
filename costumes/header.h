#pragma once
// The size of a costume picture from the first bytes of its file, read by our own code so that a hostile header
// never reaches a decoder: the decoder only ever sees files whose size is already known to fit.
#include <cstdint>
#include <span>

namespace costumes {

enum class ImageFormat { None, Png, Bmp, Gif };

struct ImageHeader {
    ImageFormat format = ImageFormat::None;  // None: not a picture of a format we wear
    int64_t width = 0;
    int64_t height = 0;
};

// Enough of a file's start for every format's size.
inline constexpr size_t HeaderBytes = 32;

// PNG: the IHDR chunk that must come first. BMP: the info header, whatever its version (a bottom-up or top-down
// height alike). GIF: the logical screen, which the first frame must fill.
ImageHeader ReadImageHeader(std::span<const uint8_t> bytes);

// The art's size: 77 x 126 pixels, drawn at 1 to 4 pixels per pixel of the built-in art.
inline constexpr int64_t ArtWidth = 77, ArtHeight = 126, MostDetail = 4;

// How many pixels per pixel of the built-in art a picture of this size holds; 0 when it is no whole multiple
// from 1 to MostDetail of the art's size.
int DetailOf(int64_t width, int64_t height);

}  // namespace costumes
