#include "imaging/pixels.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace imaging;

namespace {

// A bottom-up 24-bit grid with DIB row alignment; alignment bytes start as 0xA5 and must stay so.
// Reads beyond the last column or row give the edge, as the resampling's neighbours do.
struct Grid {
    int32_t width, height, stride;
    std::vector<uint8_t> bytes;
    Grid(int32_t w, int32_t h) : width(w), height(h), stride((3 * w + 3) & ~3), bytes(size_t(stride) * h, 0xA5) {}
    uint8_t& at(int32_t x, int32_t r, int c) { return bytes[size_t(std::min(r, height - 1)) * stride + 3 * std::min(x, width - 1) + c]; }
};

// Written straight from the formulas, one byte at a time: vertical, rounded, then horizontal, rounded.
Grid ReferenceResample(Grid s, int32_t wd, int32_t hd) {
    Grid d(wd, hd);
    const float xScale = float(double(s.width - 1) / wd), yScale = float(double(s.height - 1) / hd);
    for (int32_t i = 0; i < wd * hd * 3; ++i) {
        const int32_t x = i / 3 % wd, r = i / 3 / wd, c = i % 3;
        const float fx = xScale * float(x), fy = yScale * float(r), wx = fx - std::floor(fx), wy = fy - std::floor(fy);
        const int32_t cx = int32_t(std::floor(fx)), ry = int32_t(std::floor(fy));
        auto column = [&](int32_t at) { return std::nearbyint((1 - wy) * s.at(at, ry, c) + wy * s.at(at, ry + 1, c)); };
        d.at(x, r, c) = uint8_t(std::clamp(std::nearbyint((1 - wx) * column(cx) + wx * column(cx + 1)), 0.0f, 255.0f));
    }
    return d;
}

}  // namespace

// Half steps (3 to 4 has a scale of 0.5) round to even; 11 to 10 has a scale of 1; thin sources are their own neighbours.
TEST(ResampleBilinear, MatchesTheFormulasByteForByteOnRandomImages) {
    // Each source ends where an unreadable page begins: a read past its last row faults, even one of weight 0.
    const size_t room = 64 * 1024, page = 4096;
    auto* region = static_cast<uint8_t*>(VirtualAlloc(nullptr, room + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    ASSERT_TRUE(region != nullptr && VirtualProtect(region + room, page, PAGE_NOACCESS, &old));
    const int32_t sizes[][4] = {{77, 126, 154, 252}, {131, 67, 45, 29}, {3, 3, 4, 4}, {11, 11, 10, 10}, {33, 17, 97, 5}, {5, 9, 5, 9},
                                {2, 2, 1, 1}, {101, 99, 303, 1}, {640, 3, 17, 17}, {4, 4, 999, 3}, {1, 1, 5, 3}, {1, 1, 1, 2}, {1, 9, 4, 20},
                                {12, 1, 30, 6}, {7, 1, 9, 4}, {255, 3, 7, 201}, {9, 13, 1, 1}};
    std::mt19937 rng(20240611);
    for (const auto& [ws, hs, wd, hd] : sizes) {
        Grid s(ws, hs), d(wd, hd);
        for (auto& b : s.bytes) b = static_cast<uint8_t>(rng());  // alignment bytes too: they must not leak in
        const uint8_t* at = std::copy(s.bytes.begin(), s.bytes.end(), region + room - s.bytes.size()) - s.bytes.size();
        ResampleBilinear({at, ws, hs, s.stride}, {d.bytes.data(), wd, hd, d.stride});
        ASSERT_EQ(d.bytes, ReferenceResample(s, wd, hd).bytes) << ws << 'x' << hs << " to " << wd << 'x' << hd;
    }
    VirtualFree(region, 0, MEM_RELEASE);
}

// Draw k gives byte k. Grey: one draw a pixel, row by row; colour: blue 0, a draw for green then one for red,
// column by column. The alignment bytes stay as they were.
TEST(FillNoise, GreyGoesRowByRowColourColumnByColumnGreenThenRedOnZeroBlue) {
    static int draws;
    for (bool gray : {true, false}) {
        Grid g(2, 2);  // rows of 8 bytes, 6 of them pixels
        draws = 0;
        FillNoise({g.bytes.data(), 2, 2, g.stride}, gray, [] { return float(draws++) / 255.0f; });
        EXPECT_EQ(g.bytes, (gray ? std::vector<uint8_t>{0, 0, 0, 1, 1, 1, 0xA5, 0xA5, 2, 2, 2, 3, 3, 3, 0xA5, 0xA5}
                                 : std::vector<uint8_t>{0, 0, 1, 0, 4, 5, 0xA5, 0xA5, 0, 2, 3, 0, 6, 7, 0xA5, 0xA5}));
    }
}
