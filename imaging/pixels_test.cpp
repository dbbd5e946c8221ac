#include "imaging/pixels.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

using namespace imaging;

namespace {

// A bottom-up 24-bit grid with DIB row alignment; alignment bytes start as 0xA5 and must stay so.
struct Grid {
    int32_t width, height, stride;
    std::vector<uint8_t> bytes;
    Grid(int32_t w, int32_t h) : width(w), height(h), stride((3 * w + 3) & ~3), bytes(size_t(stride) * h, 0xA5) {}
    uint8_t& at(int32_t x, int32_t r, int c) { return bytes[size_t(r) * stride + 3 * x + c]; }
    TargetPixels target() { return {bytes.data(), width, height, stride}; }
};

// Written straight from the formulas, one byte at a time, neighbours beyond the edge taken from the edge.
Grid ReferenceResample(Grid s, int32_t wd, int32_t hd) {
    Grid d(wd, hd);
    const float xScale = static_cast<float>(static_cast<double>(s.width - 1) / wd);
    const float yScale = static_cast<float>(static_cast<double>(s.height - 1) / hd);
    auto S = [&](int32_t x, int32_t r, int c) { return s.at(std::min(x, s.width - 1), std::min(r, s.height - 1), c); };
    for (int32_t r = 0; r < hd; ++r) {
        const float fy = yScale * static_cast<float>(r), wy = fy - std::floor(fy);
        const int32_t ry = static_cast<int32_t>(std::floor(fy));
        for (int32_t x = 0; x < wd; ++x) {
            const float fx = xScale * static_cast<float>(x), wx = fx - std::floor(fx);
            const int32_t cx = static_cast<int32_t>(std::floor(fx));
            for (int c = 0; c < 3; ++c) {
                const float left = std::nearbyint((1 - wy) * S(cx, ry, c) + wy * S(cx, ry + 1, c));
                const float right = std::nearbyint((1 - wy) * S(cx + 1, ry, c) + wy * S(cx + 1, ry + 1, c));
                const float result = std::nearbyint((1 - wx) * left + wx * right);
                d.at(x, r, c) = static_cast<uint8_t>(std::clamp(result, 0.0f, 255.0f));
            }
        }
    }
    return d;
}

}  // namespace

TEST(ResampleBilinear, MatchesTheFormulasByteForByteOnRandomImages) {
    // Each source ends exactly where an unreadable page begins: a read past its last row faults.
    const size_t room = 64 * 1024, page = 4096;
    auto* region = static_cast<uint8_t*>(VirtualAlloc(nullptr, room + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    ASSERT_TRUE(region != nullptr && VirtualProtect(region + room, page, PAGE_NOACCESS, &old));
    struct Size { int32_t ws, hs, wd, hd; } sizes[] = {
        {77, 126, 154, 252}, {131, 67, 45, 29}, {3, 3, 4, 4}, {11, 11, 10, 10}, {33, 17, 97, 5}, {255, 3, 7, 201},
        {5, 9, 5, 9}, {2, 2, 1, 1}, {9, 13, 1, 1}, {101, 99, 303, 1}, {640, 3, 17, 17}, {4, 4, 999, 3},
        {1, 1, 5, 3}, {1, 1, 1, 2}, {1, 9, 4, 20}, {12, 1, 30, 6}, {7, 1, 9, 4},  // thin: the edge is its own neighbour
    };
    std::mt19937 rng(20240611);
    for (const auto& z : sizes) {
        Grid s(z.ws, z.hs), d(z.wd, z.hd);
        for (auto& b : s.bytes) b = static_cast<uint8_t>(rng());  // alignment bytes too: they must not leak in
        uint8_t* at = region + room - s.bytes.size();
        std::copy(s.bytes.begin(), s.bytes.end(), at);
        ResampleBilinear({at, s.width, s.height, s.stride}, d.target());
        ASSERT_EQ(d.bytes, ReferenceResample(s, z.wd, z.hd).bytes) << "size " << (&z - sizes);
    }
    VirtualFree(region, 0, MEM_RELEASE);
}

TEST(ResampleBilinear, HalfStepsRoundToEven) {
    // 3 x 3 to 4 x 4 has a scale of 0.5: column 1 of row 0 is the mean of source columns 0 and 1.
    Grid s(3, 3), d(4, 4);
    const uint8_t left[3] = {10, 10, 0}, right[3] = {21, 23, 255}, mean[3] = {16, 16, 128};  // 15.5 16.5 127.5
    for (int c = 0; c < 3; ++c) s.at(0, 0, c) = left[c], s.at(1, 0, c) = right[c];
    ResampleBilinear({s.bytes.data(), 3, 3, s.stride}, d.target());
    for (int c = 0; c < 3; ++c) EXPECT_EQ(d.at(1, 0, c), mean[c]) << c;
    EXPECT_EQ(d.at(0, 0, 0), 10);
}

TEST(FillNoise, GreyGoesRowByRowColourColumnByColumnGreenThenRedOnZeroBlue) {
    for (bool gray : {true, false}) {
        static int draws;
        draws = 0;
        Grid g(5, 3);  // rows of 16 bytes, 15 of them pixels
        FillNoise(g.target(), gray, [] { return static_cast<float>(draws++) / 255.0f; });  // draw k gives byte k
        for (int32_t i = 0; i < 15; ++i) {
            const int32_t x = i % 5, r = i / 5, k = gray ? i : 2 * (x * 3 + r);
            EXPECT_EQ(std::tuple(int(g.at(x, r, 0)), int(g.at(x, r, 1)), int(g.at(x, r, 2))),
                      std::tuple(gray ? k : 0, k, gray ? k : k + 1)) << gray << ' ' << x << ',' << r;
        }
        EXPECT_EQ(g.bytes[15], 0xA5);
    }
}
