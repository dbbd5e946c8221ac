// Pixel-art sources as text, and the exact bitmap, icon and preview bytes made from them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace artgen {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};

// One text source: a header (output file, size, bit depth, optional icon mask character), a legend
// whose order is the palette order, then one row of characters per pixel row, top row first.
// A source may instead be made from another one (`from:`), see Recipe.
struct PixelMap {
    std::string source;  // file name, for messages
    std::string output;  // "109.bmp", "distance.ico", "template.png"
    int width = 0;
    int height = 0;
    int bits = 0;  // 4, 8 or 24
    std::vector<std::pair<char, Rgb>> legend;
    std::optional<char> mask;  // icons and PNGs: pixels of this character are transparent
    int alpha = 255;           // PNGs: the opacity of the other pixels
    std::vector<std::string> rows;

    // A map made from another: the source's rows resampled to the size, or enlarged `scale` times
    // (2, or 2.5: every pixel 2 or 3 wide by turns) and centred by its pixels other than the `fill`
    // character on a field of it. It
    // keeps the source's colours, bit depth and mask unless it restates them; a `colour` line here
    // recolours one of the source's characters.
    struct Recipe {
        std::string from;      // the source's file name
        int scalePercent = 0;  // 250 for `scale: 2.5`; 0: resample to the size
        std::optional<char> fill;
    };
    std::optional<Recipe> recipe;

    int IndexOf(char c) const;  // position in the legend, -1 when absent
    Rgb ColourAt(int x, int y) const;
};

// Throws std::runtime_error naming the source and line on anything malformed.
PixelMap ParseMap(std::string_view text, const std::string& source);
// Fills in a map made from another from its source; throws naming the map on a bad recipe.
PixelMap MakeFrom(const PixelMap& source, const PixelMap& made);
// Every source of the folder, the ones made from another already made.
std::vector<PixelMap> LoadDir(const std::filesystem::path& dir);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first

    Image() = default;
    Image(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image ToImage(const PixelMap& map);

// Bottom-up, uncompressed, 40-byte BITMAPINFOHEADER.
Bytes EncodeBmp(const PixelMap& map);
// Every map is one image of the icon; ordered by size, then by depth. A 256-pixel image is stored as a
// PNG, as Windows expects at that size; the others as bitmaps with an AND mask.
Bytes EncodeIcon(std::vector<PixelMap> images);
// Groups the maps by output file and encodes each file; throws when a .bmp or .png has more than one source.
std::map<std::string, Bytes> BuildAll(const std::vector<PixelMap>& maps);

// Reading back what EncodeBmp writes (and any bottom-up uncompressed 4/8/24-bit BMP).
struct DecodedBmp {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint32_t headerSize = 0;
    std::vector<Rgb> palette;
    Image image;
};
DecodedBmp DecodeBmp(const Bytes& file);  // throws std::runtime_error

struct IconEntry {
    int width = 0;
    int height = 0;
    int bits = 0;
    int colourCount = 0;
    bool png = false;                 // a PNG image: only its size is read into xorImage
    DecodedBmp xorImage;              // height is the image's own, not the doubled one
    std::vector<bool> transparent;    // AND mask, top row first
};
std::vector<IconEntry> DecodeIcon(const Bytes& file);  // throws std::runtime_error

// Costume and blink layers: key-coloured pixels leave the frame as it was.
void DrawKeyed(Image& frame, const Image& layer, int x, int y, Rgb key);
Image Scale(const Image& image, int factor);
// 8-bit RGB, or RGBA when `transparent` (top row first) marks pixels to leave out, the others `opacity`;
// compressed.
Bytes EncodePng(const Image& image, const std::vector<bool>& transparent = {}, std::uint8_t opacity = 255);

Bytes ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace artgen

namespace artgen {

inline constexpr int kBlinkX = 16;
inline constexpr int kBlinkY = 24;
inline constexpr int kSeatY = 92;

// Base opaque, then costume layer 2, the blink frame at the blink position and costume layer 1,
// each through the red key; any layer may be absent.
Image ComposeFrame(const Image& base, const Image* layer2, const Image* blink, const Image* layer1);

}  // namespace artgen
