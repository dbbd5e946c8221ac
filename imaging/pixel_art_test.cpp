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

// A character-sized picture: a third key, a sixth one level off the key in one channel, the rest any colour.
// Sizes round to nearest, halves to even (115.5 to 116, 220.5 to 220). Whole scales give exact blocks. At every
// scale the key's outline is the nearest neighbour's, and a drawn pixel is the sharp bilinear colour of the opaque
// pixels only (nothing blends toward the key), never the key itself.
TEST(ScaleArt, WholeScalesGiveBlocksOthersKeepTheNearestOutlineAndDrawFromOpaqueNeighboursOnly) {
    const struct { double s; LONG cx, cy; } scales[] = {{1, 77, 126}, {2, 154, 252}, {3, 231, 378}, {1.25, 96, 158},
        {1.5, 116, 189}, {1.75, 135, 220}, {2.25, 173, 284}, {2.5, 192, 315}, {1.3, 100, 164}, {0.001, 1, 1}};
    cDIBSection kept[std::size(scales)], empty;  // the second key's pictures go into the first's buffers
    for (COLORREF key : {RGB(0, 0, 0), RGB(255, 0, 128)}) {
        cDIBSection art;
        ASSERT_TRUE(art.Create(77, 126) && !imaging::ScaleArt(empty, art, 2, key));
        std::mt19937 rng(7);
        for (int32_t i = 0; i < 77 * 126; ++i) {
            const uint32_t kind = rng() % 6, offKey = key ^ (1u << (8 * (rng() % 3)));
            SetPixelV(art.hDC(), i % 77, i / 77, kind < 2 ? key : kind == 2 ? offKey : rng() & 0xFFFFFF);
        }
        for (size_t n = 0; n < std::size(scales); ++n) {
            const auto& [s, cx, cy] = scales[n];
            cDIBSection& scaled = kept[n];
            const SIZE size = imaging::ScaledArtSize({77, 126}, s);
            ASSERT_TRUE(imaging::ScaleArt(art, scaled, s, key));
            const int32_t w = scaled.Width(), h = scaled.Height(), whole = s == std::floor(s) ? int32_t(s) : 0;
            ASSERT_EQ(std::tuple(size.cx, size.cy, LONG{w}, LONG{h}), std::tuple(cx, cy, cx, cy)) << s;
            for (int32_t i = 0, x = 0, y = 0; i < w * h; ++i, x = i % w, y = i / w) {
                const auto nx = int32_t(std::floor((x + 0.5) * 77 / w)), ny = int32_t(std::floor((y + 0.5) * 126 / h));
                const COLORREF drawn = At(scaled, x, y);
                ASSERT_TRUE(whole == 0 || drawn == At(art, x / whole, y / whole)) << s << ": " << x << ',' << y;
                ASSERT_EQ(drawn == key, At(art, nx, ny) == key) << s << ": " << x << ',' << y;
                for (int c = 0; c < 3 && drawn != key; ++c)
                    ASSERT_LE(std::abs(Channel(drawn, c) - SharpBilinear(art, scaled, x, y, c, key)), 1) << s << ": " << x << ',' << y << " channel " << c;
            }
        }
    }
}

TEST(FirstRowShowing, PutsTheSeatRowOnTheFrameLineAtAnyScale) {
    // The art's 126 rows shown at 100 %, at 120 DPI (157.5, halves to even), 144, 192, 288 DPI x 300 % and at half size.
    const struct { int32_t height, butt; } cases[] = {{126, 92}, {158, 115}, {189, 138}, {252, 184}, {1134, 828}, {63, 46}};
    for (const auto& c : cases) EXPECT_EQ(imaging::FirstRowShowing(92, 126, c.height), c.butt) << c.height;
}
