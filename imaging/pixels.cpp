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

int32_t SourceUnderCentre(int32_t i, int32_t targetSize, int32_t sourceSize) {
    const int64_t at = (2 * int64_t{i} + 1) * sourceSize / (2 * int64_t{targetSize});  // in whole numbers
    return static_cast<int32_t>(std::min<int64_t>(at, sourceSize - 1));
}

namespace {

// Round half to even for 0 <= v < 2^22: adding 1.5 * 2^23 leaves no fraction bits, so the addition itself
// rounds in the default mode. Plain float arithmetic, which the compiler can vectorise (lrintf it cannot).
inline float RoundHalfEven(float v) {
    constexpr float kShift = 12582912.0f;
    return (v + kShift) - kShift;
}

// min and max rather than std::clamp: they compile to two instructions, not two branches.
inline uint8_t ToByte(float v) { return static_cast<uint8_t>(std::min(std::max(RoundHalfEven(v), 0.0f), 255.0f)); }

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

// Where target pixel i of one side takes its colour from: the source pixel under its centre, the one the
// enlargement blends it with (the same one when none), and the weight of the latter.
struct Tap {
    int32_t nearest;
    int32_t other;
    float otherWeight;
    bool operator==(const Tap&) const = default;
};

// In the k-fold enlargement (k = target / source rounded up) target pixel i samples at
// u = (i + 0.5) x k x source / target - 0.5, between enlarged pixels floor(u) and floor(u) + 1, which come from
// source pixels floor(u) / k and (floor(u) + 1) / k. Kept as an exact fraction, so that the one of the two under
// the centre is always the nearest source pixel: the outline and the colour share one mapping, and the nearest
// weighs at least a half.
Tap TapOf(int32_t i, int32_t targetSize, int32_t sourceSize) {
    const int32_t nearest = SourceUnderCentre(i, targetSize, sourceSize);
    const int64_t k = std::max<int64_t>(1, (int64_t{targetSize} + sourceSize - 1) / sourceSize);
    const int64_t numerator = (2 * int64_t{i} + 1) * k * sourceSize - targetSize;  // u = numerator / denominator
    const int64_t denominator = 2 * int64_t{targetSize};
    const int64_t enlarged = numerator / denominator;
    const auto upperWeight =
        static_cast<float>(static_cast<double>(numerator % denominator) / static_cast<double>(denominator));
    const auto lower = static_cast<int32_t>(enlarged / k);
    const auto upper = static_cast<int32_t>(std::min<int64_t>((enlarged + 1) / k, sourceSize - 1));
    if (lower == upper) return {nearest, nearest, 0.0f};
    return nearest == lower ? Tap{lower, upper, upperWeight} : Tap{upper, lower, 1.0f - upperWeight};
}

}  // namespace

void ScalePixelArt(const SourcePixels& source, const TargetPixels& target, uint32_t key) {
    if (source.width < 1 || source.height < 1 || target.width < 1 || target.height < 1) return;
    const uint8_t keyBlue = static_cast<uint8_t>(key >> 16), keyGreen = static_cast<uint8_t>(key >> 8),
                  keyRed = static_cast<uint8_t>(key);
    auto isKey = [&](const uint8_t* p) { return p[0] == keyBlue && p[1] == keyGreen && p[2] == keyRed; };
    // 1 or 0 without a branch: in small art key and opaque pixels alternate too often to predict.
    auto opaque = [&](const uint8_t* p) {
        return static_cast<float>(((p[0] ^ keyBlue) | (p[1] ^ keyGreen) | (p[2] ^ keyRed)) != 0);
    };

    std::vector<Tap> columns(static_cast<size_t>(target.width));
    for (int32_t x = 0; x < target.width; ++x) columns[static_cast<size_t>(x)] = TapOf(x, target.width, source.width);
    const size_t rowBytes = 3 * static_cast<size_t>(target.width);

    Tap previous{-1, -1, 0.0f};
    for (int32_t y = 0; y < target.height; ++y) {
        uint8_t* out = target.bits + RowOffset(y, target.stride);
        const Tap row = TapOf(y, target.height, source.height);
        // Whole scales repeat each row k times, fractional ones some rows twice: the same tap, the same row.
        if (row == previous) {
            std::memcpy(out, out - target.stride, rowBytes);
            continue;
        }
        previous = row;
        const uint8_t* nearestRow = source.bits + RowOffset(row.nearest, source.stride);
        const uint8_t* otherRow = source.bits + RowOffset(row.other, source.stride);
        const float wy = row.otherWeight;
        for (const Tap& column : columns) {
            const uint8_t* nearest = nearestRow + 3 * static_cast<ptrdiff_t>(column.nearest);
            const float wx = column.otherWeight;
            if ((wx == 0.0f && wy == 0.0f) || isKey(nearest)) {
                std::memcpy(out, nearest, 3);
                out += 3;
                continue;
            }
            // The nearest pixel always takes part (it weighs at least a quarter); the others unless they are the key.
            const ptrdiff_t other = 3 * static_cast<ptrdiff_t>(column.other);
            const uint8_t* const s0 = nearest;
            const uint8_t* const s1 = nearestRow + other;
            const uint8_t* const s2 = otherRow + (nearest - nearestRow);
            const uint8_t* const s3 = otherRow + other;
            const float w0 = (1 - wx) * (1 - wy), w1 = wx * (1 - wy) * opaque(s1), w2 = (1 - wx) * wy * opaque(s2),
                        w3 = wx * wy * opaque(s3);
            const float scale = 1 / (w0 + w1 + w2 + w3);
            for (int c = 0; c < 3; ++c) out[c] = ToByte((w0 * s0[c] + w1 * s1[c] + w2 * s2[c] + w3 * s3[c]) * scale);
            // Near-key neighbours can round to the key itself, which would punch a hole in the art.
            for (int c = 0; c < 3 && isKey(out); ++c)
                if (out[c] != nearest[c]) out[c] = static_cast<uint8_t>(out[c] < nearest[c] ? out[c] + 1 : out[c] - 1);
            out += 3;
        }
    }
}

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
