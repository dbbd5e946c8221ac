#include "costumes/header.h"

#include <cstring>

namespace costumes {
namespace {

uint32_t BigEndian32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }
uint32_t LittleEndian32(const uint8_t* p) { return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]; }
uint16_t LittleEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }

bool StartsWith(std::span<const uint8_t> bytes, const char* magic, size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
}

}  // namespace

ImageHeader ReadImageHeader(std::span<const uint8_t> bytes) {
    const uint8_t* p = bytes.data();
    if (StartsWith(bytes, "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) && bytes.size() >= 24)
        return {ImageFormat::Png, BigEndian32(p + 16), BigEndian32(p + 20)};
    if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) {
        if (bytes.size() < 10) return {};
        return {ImageFormat::Gif, LittleEndian16(p + 6), LittleEndian16(p + 8)};
    }
    if (StartsWith(bytes, "BM", 2) && bytes.size() >= 26) {
        // The core header of 12 bytes has 16-bit sides; every later one (16 bytes and up) 32-bit signed ones.
        const uint32_t infoSize = LittleEndian32(p + 14);
        if (infoSize == 12) return {ImageFormat::Bmp, LittleEndian16(p + 18), LittleEndian16(p + 20)};
        if (infoSize < 16) return {};
        const auto height = static_cast<int32_t>(LittleEndian32(p + 22));  // negative: rows top-down
        return {ImageFormat::Bmp, static_cast<int32_t>(LittleEndian32(p + 18)), height < 0 ? -int64_t{height} : height};
    }
    return {};
}

int DetailOf(int64_t width, int64_t height) {
    for (int64_t k = 1; k <= MostDetail; ++k)
        if (width == k * ArtWidth && height == k * ArtHeight) return static_cast<int>(k);
    return 0;
}

}  // namespace costumes
