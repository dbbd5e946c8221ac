#include "imaging/pixels.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace imaging;

namespace {

constexpr uint8_t kSentinel = 0xA5;

// A bottom-up 24-bit grid with DIB row alignment, in a vector of its own.
struct Grid {
    int32_t width, height, stride;
    std::vector<uint8_t> bytes;

    Grid(int32_t w, int32_t h, uint8_t fill = kSentinel)
        : width(w), height(h), stride((3 * w + 3) & ~3), bytes(static_cast<size_t>(stride) * h, fill) {}
    uint8_t& at(int32_t x, int32_t r, int c) { return bytes[static_cast<size_t>(r) * stride + 3 * x + c]; }
    uint8_t at(int32_t x, int32_t r, int c) const { return bytes[static_cast<size_t>(r) * stride + 3 * x + c]; }
    SourcePixels source() const { return {bytes.data(), width, height, stride}; }
    TargetPixels target() { return {bytes.data(), width, height, stride}; }
};

Grid RandomGrid(int32_t w, int32_t h, std::mt19937& rng) {
    Grid g(w, h);
    for (auto& b : g.bytes) b = static_cast<uint8_t>(rng());  // alignment bytes too: they must not leak in
    return g;
}

// Written straight from the formulas, one byte at a time, neighbours beyond the edge taken from the edge.
Grid ReferenceResample(const Grid& s, int32_t wd, int32_t hd) {
    Grid d(wd, hd);
    const float xScale = static_cast<float>(static_cast<double>(s.width - 1) / wd);
    const float yScale = static_cast<float>(static_cast<double>(s.height - 1) / hd);
    auto S = [&](int32_t x, int32_t r, int c) { return s.at(std::min(x, s.width - 1), std::min(r, s.height - 1), c); };
    for (int32_t r = 0; r < hd; ++r) {
        const float fy = yScale * static_cast<float>(r);
        const int32_t ry = static_cast<int32_t>(std::floor(fy));
        const float wy = fy - static_cast<float>(ry);
        for (int32_t x = 0; x < wd; ++x) {
            const float fx = xScale * static_cast<float>(x);
            const int32_t cx = static_cast<int32_t>(std::floor(fx));
            const float wx = fx - static_cast<float>(cx);
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

Grid Resampled(const Grid& s, int32_t wd, int32_t hd) {
    Grid d(wd, hd);
    ResampleBilinear(s.source(), d.target());
    return d;
}

}  // namespace

TEST(ResampleBilinear, MatchesTheFormulasByteForByteOnRandomImages) {
    struct Size { int32_t ws, hs, wd, hd; } sizes[] = {
        {77, 126, 154, 252}, {131, 67, 45, 29}, {3, 3, 4, 4}, {11, 11, 10, 10}, {33, 17, 97, 5}, {255, 3, 7, 201},
        {5, 9, 5, 9}, {2, 2, 1, 1}, {1, 1, 5, 3}, {1, 7, 4, 9}, {7, 1, 9, 4}, {9, 13, 1, 1}, {101, 99, 303, 1},
        {640, 3, 17, 17}, {4, 4, 999, 3},
    };
    std::mt19937 rng(20240611);
    for (const auto& z : sizes) {
        for (int round = 0; round < 3; ++round) {
            const Grid s = RandomGrid(z.ws, z.hs, rng);
            const Grid fast = Resampled(s, z.wd, z.hd);
            const Grid slow = ReferenceResample(s, z.wd, z.hd);
            ASSERT_EQ(fast.bytes, slow.bytes) << z.ws << 'x' << z.hs << " -> " << z.wd << 'x' << z.hd;
        }
    }
}

TEST(ResampleBilinear, ScaleOfOneCopiesAndDropsTheLastColumnAndRow) {
    std::mt19937 rng(7);
    const Grid s = RandomGrid(11, 11, rng);
    const Grid d = Resampled(s, 10, 10);
    for (int32_t r = 0; r < 10; ++r)
        for (int32_t x = 0; x < 10; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(d.at(x, r, c), s.at(x, r, c)) << x << ',' << r;
}

TEST(ResampleBilinear, HalfStepsRoundToEven) {
    // 3 x 3 to 4 x 4 has a scale of 0.5: column 1 of row 0 is the mean of source columns 0 and 1.
    Grid s(3, 3, 0);
    const uint8_t left[3] = {10, 10, 0}, right[3] = {21, 23, 255};
    for (int c = 0; c < 3; ++c) {
        s.at(0, 0, c) = left[c];
        s.at(1, 0, c) = right[c];
    }
    const Grid d = Resampled(s, 4, 4);
    EXPECT_EQ(d.at(1, 0, 0), 16);   // 15.5
    EXPECT_EQ(d.at(1, 0, 1), 16);   // 16.5
    EXPECT_EQ(d.at(1, 0, 2), 128);  // 127.5
    EXPECT_EQ(d.at(0, 0, 0), 10);
}

TEST(ResampleBilinear, LeavesRowAlignmentBytesAlone) {
    std::mt19937 rng(3);
    const Grid s = RandomGrid(6, 5, rng);
    const Grid d = Resampled(s, 7, 3);  // 21 bytes of pixels in rows of 24
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t i = 21; i < 24; ++i) EXPECT_EQ(d.bytes[static_cast<size_t>(r) * 24 + i], kSentinel);
}

TEST(ResampleBilinear, ThinSourcesStayInsideTheirMemory) {
    // Each source ends exactly at a page that may not be read: a read past its last row faults.
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    auto* region = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(region, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(region + page, page, PAGE_NOACCESS, &old));

    struct Size { int32_t ws, hs, wd, hd; } sizes[] = {{1, 1, 5, 3}, {1, 9, 4, 20}, {12, 1, 30, 6}, {1, 1, 1, 2}};
    std::mt19937 rng(11);
    for (const auto& z : sizes) {
        const Grid s = RandomGrid(z.ws, z.hs, rng);
        uint8_t* at = region + page - s.bytes.size();
        std::copy(s.bytes.begin(), s.bytes.end(), at);
        Grid d(z.wd, z.hd);
        ResampleBilinear({at, s.width, s.height, s.stride}, d.target());
        EXPECT_EQ(d.bytes, ReferenceResample(s, z.wd, z.hd).bytes) << z.ws << 'x' << z.hs;
        if (z.ws == 1 && z.hs == 1) {
            for (int32_t r = 0; r < z.hd; ++r)
                for (int32_t x = 0; x < z.wd; ++x)
                    for (int c = 0; c < 3; ++c) EXPECT_EQ(d.at(x, r, c), s.at(0, 0, c));
        }
    }
    VirtualFree(region, 0, MEM_RELEASE);
}

TEST(ResampleBilinear, EmptyGridsAreLeftAlone) {
    Grid s(4, 4, 1);
    Grid d(3, 3);
    ResampleBilinear({s.bytes.data(), 0, 4, s.stride}, d.target());
    ResampleBilinear(s.source(), {d.bytes.data(), 3, 0, d.stride});
    EXPECT_TRUE(std::all_of(d.bytes.begin(), d.bytes.end(), [](uint8_t b) { return b == kSentinel; }));
}

namespace {

// Draw k gives k / 255, so every byte tells which draw it came from.
int g_draws = 0;
float CountingDraw() { return static_cast<float>(g_draws++) / 255.0f; }

}  // namespace

TEST(FillNoise, GreyGoesRowByRowWithOneDrawPerPixel) {
    g_draws = 0;
    Grid g(5, 3);
    FillNoise(g.target(), true, CountingDraw);
    EXPECT_EQ(g_draws, 15);
    for (int32_t r = 0; r < 3; ++r) {
        for (int32_t x = 0; x < 5; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(g.at(x, r, c), r * 5 + x) << x << ',' << r;
        EXPECT_EQ(g.bytes[static_cast<size_t>(r) * 16 + 15], kSentinel);
    }
}

TEST(FillNoise, ColourGoesColumnByColumnGreenThenRedOnZeroBlue) {
    g_draws = 0;
    Grid g(3, 4);
    FillNoise(g.target(), false, CountingDraw);
    EXPECT_EQ(g_draws, 24);
    for (int32_t x = 0; x < 3; ++x) {
        for (int32_t r = 0; r < 4; ++r) {
            const int first = 2 * (x * 4 + r);
            EXPECT_EQ(g.at(x, r, 0), 0);
            EXPECT_EQ(g.at(x, r, 1), first) << x << ',' << r;
            EXPECT_EQ(g.at(x, r, 2), first + 1) << x << ',' << r;
        }
    }
    for (int32_t r = 0; r < 4; ++r)
        for (int i = 9; i < 12; ++i) EXPECT_EQ(g.bytes[static_cast<size_t>(r) * 12 + i], kSentinel);
}

TEST(FillNoise, DrawsScaleToWholeBytes) {
    static const float draws[] = {0.0f, 0.9999999f, 0.998f, 0.5f};
    static int next = 0;
    next = 0;
    Grid g(4, 1);
    FillNoise(g.target(), true, [] { return draws[next++]; });
    EXPECT_EQ(g.at(0, 0, 0), 0);
    EXPECT_EQ(g.at(1, 0, 0), 255);
    EXPECT_EQ(g.at(2, 0, 0), 254);  // 254.49
    EXPECT_EQ(g.at(3, 0, 0), 128);  // 127.5
}
