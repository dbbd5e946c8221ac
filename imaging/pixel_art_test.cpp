#include "imaging/pixel_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

// Pixel (x, y) counted from the top left, clamped to the picture.
COLORREF At(const cDIBSection& b, int32_t x, int32_t y) {
    x = std::clamp(x, 0, b.Width() - 1), y = std::clamp(y, 0, b.Height() - 1);
    const auto* p = static_cast<const uint8_t*>(b.DIBSectionBitsPtr()) + (b.Height() - 1 - y) * b.BytesPerScanLine() + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

int Channel(COLORREF c, int i) { return c >> (8 * i) & 0xFF; }

// The colour inside the outline from its definition: the art enlarged k-fold (k = the scale rounded up), sampled
// centre to centre between the four nearest enlarged pixels, key ones left out.
int SharpBilinear(const cDIBSection& art, const cDIBSection& scaled, int32_t x, int32_t y, int channel, COLORREF key) {
    auto axis = [](int32_t i, int32_t from, int32_t to) {
        const int32_t k = (to + from - 1) / from;
        const double u = (i + 0.5) * k * from / to - 0.5, at = std::floor(u);
        return std::tuple(int32_t(at) / k, std::min(int32_t(at) + 1, k * from - 1) / k, u - at);
    };
    const auto [x0, x1, wx] = axis(x, art.Width(), scaled.Width());
    const auto [y0, y1, wy] = axis(y, art.Height(), scaled.Height());
    double sum = 0, total = 0;
    for (const auto& [sx, sy, w] : {std::tuple(x0, y0, (1 - wx) * (1 - wy)), std::tuple(x1, y0, wx * (1 - wy)),
                                    std::tuple(x0, y1, (1 - wx) * wy), std::tuple(x1, y1, wx * wy)})
        if (At(art, sx, sy) != key) sum += w * Channel(At(art, sx, sy), channel), total += w;
    return int(std::nearbyint(sum / total));
}

}  // namespace

// Character-sized pictures (77 x 126, and drawn at 2, 3 and 4 pixels a pixel): a third key, a sixth one level off
// the key in one channel, the rest any colour. Sizes are the art's at the scale, rounded to nearest, halves to even
// (115.5 to 116, 220.5 to 220), whatever the detail. Whole enlargements give exact blocks. At every scale, reductions
// of high-resolution art included, the key's outline is the nearest neighbour's, and a drawn pixel is the sharp
// bilinear colour of the opaque pixels only (nothing blends toward the key), never the key itself.
TEST(ScaleArt, WholeScalesGiveBlocksOthersKeepTheNearestOutlineAndDrawFromOpaqueNeighboursOnly) {
    const struct { int detail; double s; LONG cx, cy; } scales[] = {{1, 1, 77, 126}, {1, 2, 154, 252}, {1, 3, 231, 378},
        {1, 1.25, 96, 158}, {1, 1.5, 116, 189}, {1, 1.75, 135, 220}, {1, 2.25, 173, 284}, {1, 2.5, 192, 315},
        {1, 1.3, 100, 164}, {1, 0.001, 1, 1}, {2, 1, 77, 126}, {3, 1, 77, 126}, {4, 1, 77, 126}, {4, 1.5, 116, 189},
        {3, 2.5, 192, 315}, {3, 3, 231, 378}, {2, 4, 308, 504}};
    cDIBSection kept[std::size(scales)], empty, arts[4];  // the second key's pictures go into the first's buffers
    for (COLORREF key : {RGB(0, 0, 0), RGB(255, 0, 128)}) {
        std::mt19937 rng(7);
        for (int32_t d = 1; d <= 4; ++d) {
            cDIBSection& art = arts[d - 1];
            ASSERT_TRUE(art.Create(77 * d, 126 * d) && !imaging::ScaleArt(empty, art, 2, key));
            for (int32_t y = 0; y < art.Height(); ++y)
                for (int32_t x = 0; x < art.Width(); ++x) {
                    const uint32_t kind = rng() % 6, offKey = key ^ (1u << (8 * (rng() % 3)));
                    const COLORREF c = kind < 2 ? key : kind == 2 ? offKey : rng() & 0xFFFFFF;
                    auto* p = static_cast<uint8_t*>(art.DIBSectionBitsPtr()) + y * art.BytesPerScanLine() + 3 * x;
                    p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
                }
        }
        for (size_t n = 0; n < std::size(scales); ++n) {
            const auto& [detail, s, cx, cy] = scales[n];
            const cDIBSection& art = arts[detail - 1];
            cDIBSection& scaled = kept[n];
            const SIZE size = imaging::ScaledArtSize({77, 126}, s);
            ASSERT_TRUE(imaging::ScaleArt(art, scaled, s, key, detail));
            const int32_t w = scaled.Width(), h = scaled.Height(), whole = w % art.Width() == 0 ? w / art.Width() : 0;
            ASSERT_EQ(std::tuple(size.cx, size.cy, LONG{w}, LONG{h}), std::tuple(cx, cy, cx, cy)) << s;
            for (int32_t i = 0, x = 0, y = 0; i < w * h; ++i, x = i % w, y = i / w) {
                const auto nx = int32_t(std::floor((x + 0.5) * art.Width() / w)),
                           ny = int32_t(std::floor((y + 0.5) * art.Height() / h));
                const COLORREF drawn = At(scaled, x, y);
                ASSERT_TRUE(whole == 0 || drawn == At(art, x / whole, y / whole)) << s << ": " << x << ',' << y;
                ASSERT_EQ(drawn == key, At(art, nx, ny) == key) << detail << 'x' << s << ": " << x << ',' << y;
                for (int c = 0; c < 3 && drawn != key; ++c)
                    ASSERT_LE(std::abs(Channel(drawn, c) - SharpBilinear(art, scaled, x, y, c, key)), 1)
                        << detail << 'x' << s << ": " << x << ',' << y << " channel " << c;
            }
        }
    }
}

TEST(FirstRowShowing, PutsTheSeatRowOnTheFrameLineAtAnyScale) {
    // The art's 126 rows shown at 100 %, at 120 DPI (157.5, halves to even), 144, 192, 288 DPI x 300 % and at half size.
    const struct { int32_t height, butt; } cases[] = {{126, 92}, {158, 115}, {189, 138}, {252, 184}, {1134, 828}, {63, 46}};
    for (const auto& c : cases) EXPECT_EQ(imaging::FirstRowShowing(92, 126, c.height), c.butt) << c.height;
}
