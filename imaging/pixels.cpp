#include "imaging/pixels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {
namespace {

// Round half to even for 0 <= v < 2^22: adding 1.5 * 2^23 leaves no fraction bits, so the addition itself
// rounds in the default mode. Plain float arithmetic, which the compiler can vectorise (lrintf it cannot).
inline float RoundHalfEven(float v) {
    constexpr float kShift = 12582912.0f;
    return (v + kShift) - kShift;
}

inline uint8_t ToByte(float v) {
    float r = std::clamp(RoundHalfEven(v), 0.0f, 255.0f);
    return static_cast<uint8_t>(r);
}

inline ptrdiff_t RowOffset(int32_t row, int32_t stride) { return static_cast<ptrdiff_t>(row) * stride; }

// Where destination column x takes its two neighbours from, as byte offsets into the vertically
// interpolated source row, with the horizontal weights.
struct Column {
    ptrdiff_t left;
    ptrdiff_t right;
    float leftWeight;  // 1 - wx
    float rightWeight;  // wx
};

// The two source samples on either side of destination position i (the second clamped to the edge, so a
// one-pixel source is never read past) and the weight of the second.
struct Neighbours {
    int32_t low;
    int32_t high;
    float weight;
};

Neighbours NeighboursOf(float scale, int32_t i, int32_t last) {
    const float f = scale * static_cast<float>(i);
    const float c = std::floor(f);
    const int32_t low = std::min(static_cast<int32_t>(c), last);
    return {low, std::min(low + 1, last), f - c};
}

}  // namespace

void ResampleBilinear(const SourcePixels& source, const TargetPixels& target) {
    if (source.width < 1 || source.height < 1 || target.width < 1 || target.height < 1) return;

    const float xScale = static_cast<float>(static_cast<double>(source.width - 1) / target.width);
    const float yScale = static_cast<float>(static_cast<double>(source.height - 1) / target.height);
    const int32_t lastColumn = source.width - 1;
    const int32_t lastRow = source.height - 1;

    std::vector<Column> columns(static_cast<size_t>(target.width));
    for (int32_t x = 0; x < target.width; ++x) {
        const Neighbours n = NeighboursOf(xScale, x, lastColumn);
        columns[static_cast<size_t>(x)] = {3 * static_cast<ptrdiff_t>(n.low), 3 * static_cast<ptrdiff_t>(n.high),
                                           1.0f - n.weight, n.weight};
    }
    // The vertical stage only needs the source columns that some destination column reads.
    const ptrdiff_t spanEnd = columns.back().right + 3;

    // One source row interpolated vertically, each value already rounded: the "left" and "right"
    // values of every destination pixel in this row come from here, so each is computed only once.
    // One spare value at the end lets a pixel be read as four floats.
    std::vector<float> vertical(static_cast<size_t>(spanEnd) + 1, 0.0f);
    float* const v = vertical.data();
    int32_t cachedRow = -1;
    float cachedWeight = -1.0f;

    for (int32_t r = 0; r < target.height; ++r) {
        const Neighbours n = NeighboursOf(yScale, r, lastRow);
        const int32_t top = n.low;
        const int32_t bottom = n.high;
        const float wy = n.weight;

        if (top != cachedRow || wy != cachedWeight) {
            const uint8_t* row0 = source.bits + RowOffset(top, source.stride);
            const uint8_t* row1 = source.bits + RowOffset(bottom, source.stride);
            const float w0 = 1.0f - wy;
            for (ptrdiff_t i = 0; i < spanEnd; ++i) v[i] = RoundHalfEven(w0 * row0[i] + wy * row1[i]);
            cachedRow = top;
            cachedWeight = wy;
        }

        uint8_t* out = target.bits + RowOffset(r, target.stride);
        const Column* c = columns.data();
        const Column* const last = c + (columns.size() - 1);
#if defined(__SSE2__)
        // A pixel at a time as four lanes (blue, green, red, spare), the same operations in the same order
        // as below. Its four-byte store spills into the next pixel's blue, which that pixel then writes;
        // the row's last pixel goes the byte-wise way so that the alignment bytes stay untouched.
        const __m128 shift = _mm_set1_ps(12582912.0f), low = _mm_setzero_ps(), high = _mm_set1_ps(255.0f);
        for (; c != last; ++c, out += 3) {
            const __m128 mixed = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(c->leftWeight), _mm_loadu_ps(v + c->left)),
                                            _mm_mul_ps(_mm_set1_ps(c->rightWeight), _mm_loadu_ps(v + c->right)));
            const __m128 rounded = _mm_sub_ps(_mm_add_ps(mixed, shift), shift);
            const __m128i whole = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(rounded, low), high));
            const __m128i words = _mm_packs_epi32(whole, whole);
            const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
            std::memcpy(out, &bytes, 4);
        }
#endif
        for (; c <= last; ++c, out += 3) {
            const float* left = v + c->left;
            const float* right = v + c->right;
            out[0] = ToByte(c->leftWeight * left[0] + c->rightWeight * right[0]);
            out[1] = ToByte(c->leftWeight * left[1] + c->rightWeight * right[1]);
            out[2] = ToByte(c->leftWeight * left[2] + c->rightWeight * right[2]);
        }
    }
}

void FillNoise(const TargetPixels& target, bool gray, float (*draw)()) {
    if (target.bits == nullptr) return;
    if (gray) {
        for (int32_t r = 0; r < target.height; ++r) {
            uint8_t* p = target.bits + RowOffset(r, target.stride);
            for (int32_t x = 0; x < target.width; ++x, p += 3) p[0] = p[1] = p[2] = ToByte(draw() * 255.0f);
        }
    } else {
        for (int32_t x = 0; x < target.width; ++x) {
            for (int32_t r = 0; r < target.height; ++r) {
                uint8_t* p = target.bits + RowOffset(r, target.stride) + 3 * static_cast<ptrdiff_t>(x);
                p[0] = 0;
                p[1] = ToByte(draw() * 255.0f);
                p[2] = ToByte(draw() * 255.0f);
            }
        }
    }
}

}  // namespace imaging
