// The composed frames: layer order, the red key of the pictures, the blink frames and mirroring, on real pixels.
#include "sitter/frame_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 160, 0), Yellow = RGB(255, 255, 0),
                   Magenta = RGB(255, 0, 255), White = RGB(255, 255, 255);

// Fills `picture` with a w x h image whose pixel colours come from `colour(x, y)`.
template <class Colour> void Paint(cDIBSection& picture, int w, int h, Colour colour) {
    ASSERT_TRUE(picture.Create(w, h));
    for (int i = 0; i < w * h; ++i) SetPixel(picture.hDC(), i % w, i / w, colour(i % w, i / w));
}

struct Frames : ::testing::Test {
    void SetUp() override {
        Paint(p.base, 77, 126, [](int x, int) { return x < 70 ? Blue : Green; });
        Paint(p.costume[1], 60, 60, [](int x, int) { return x >= 30 ? Green : Red; });    // layer 2
        Paint(p.blinkHalf, 40, 32, [](int, int y) { return y < 16 ? Yellow : Red; });
        Paint(p.blinkClosed, 40, 32, [](int, int y) { return y < 16 ? Magenta : Red; });
        Paint(p.costume[0], 77, 30, [](int x, int) { return x < 20 ? White : Red; });     // layer 1
    }
    CharacterPictures p;
    FrameSet frames;
};

TEST_F(Frames, LayersComposeInOrderThroughTheRedKeyPlainAndMirrored) {
    frames.Compose(p, POINT{16, 24}, 1.0);
    struct Probe { int x, y; COLORREF open, half, closed; const char* why; } probes[] = {
        {5, 5, White, White, White, "layer 1 on top"},
        {25, 5, Blue, Blue, Blue, "red of both costumes leaves the base"},
        {35, 5, Green, Green, Green, "layer 2 over the base"},
        {35, 30, Green, Yellow, Magenta, "the blink frame over layer 2"},
        {40, 45, Green, Green, Green, "red of the blink frame leaves layer 2"},
        {18, 26, White, White, White, "layer 1 over the blink frame"},
        {60, 100, Blue, Blue, Blue, "the base fills the frame"}};
    for (const bool mirrored : {false, true})
        for (const Probe& probe : probes) {
            const COLORREF expected[] = {probe.open, probe.half, probe.closed};
            const int x = mirrored ? 76 - probe.x : probe.x;
            for (const BlinkPhase phase : {BlinkPhase::Open, BlinkPhase::HalfClosed, BlinkPhase::Closed})
                EXPECT_EQ(GetPixel(frames.Frame(phase, mirrored).hDC(), x, probe.y), expected[static_cast<int>(phase)])
                    << probe.why << (mirrored ? ", mirrored" : "") << ", phase " << static_cast<int>(phase);
        }
}

// At every scale the frames are the art times the scale, and the blink frame lands where the art says,
// rounded: on a bare base (all key), its first pixel at 16 and 24 times the scale, by the outline's rule.
TEST_F(Frames, AreDrawnAtTheScaleWithTheBlinkWhereTheArtPutsIt) {
    Paint(p.base, 77, 126, [](int, int) { return RGB(0, 0, 0); });
    Paint(p.costume[0], 2, 2, [](int, int) { return Red; });
    Paint(p.costume[1], 2, 2, [](int, int) { return Red; });
    for (const double scale : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0, 4.5}) {
        frames.Compose(p, POINT{16, 24}, scale);
        const cDIBSection& closed = frames.Frame(BlinkPhase::Closed, false);
        const LONG width = std::lround(std::nearbyint(77 * scale));
        EXPECT_EQ(std::pair(LONG(closed.Width()), LONG(closed.Height())), std::pair(width, std::lround(std::nearbyint(126 * scale))));
        POINT first{-1, -1};
        for (int y = 0; y < closed.Height() && first.x < 0; ++y)
            for (int x = 0; x < closed.Width() && first.x < 0; ++x)
                if (GetPixel(closed.hDC(), x, y) != 0) first = POINT{x, y};
        EXPECT_EQ(std::pair(first.x, first.y), std::pair(std::lround(std::nearbyint(16 * scale)), std::lround(std::nearbyint(24 * scale)))) << scale;
        EXPECT_NE(GetPixel(frames.Frame(BlinkPhase::Closed, true).hDC(), width - 1 - first.x, first.y), 0u) << "mirrored, " << scale;
    }
}

// A costume drawn at twice the built-in art's detail in 2 x 2 blocks gives the frames of the same costume at the art's
// own detail, at every scale both are drawn at exactly; a finer pixel of it shows.
TEST_F(Frames, ACostumeOfMoreDetailKeepsItAndChangesNothingElse) {
    const double scales[] = {1.0, 2.0, 4.0};
    FrameSet plain[3], fine;
    for (int i = 0; i < 3; ++i) plain[i].Compose(p, POINT{16, 24}, scales[i]);
    Paint(p.costume[0], 154, 60, [](int x, int) { return x < 40 ? White : Red; });
    p.detail[0] = 2;
    auto same = [](const cDIBSection& a, const cDIBSection& b) {
        return a.Width() == b.Width() && a.Height() == b.Height() &&
               std::memcmp(a.DIBSectionBitsPtr(), b.DIBSectionBitsPtr(), size_t(a.BytesPerScanLine()) * a.Height()) == 0;
    };
    for (int i = 0; i < 3; ++i) {
        fine.Compose(p, POINT{16, 24}, scales[i]);
        for (const BlinkPhase phase : {BlinkPhase::Open, BlinkPhase::HalfClosed, BlinkPhase::Closed})
            for (const bool mirrored : {false, true})
                EXPECT_TRUE(same(plain[i].Frame(phase, mirrored), fine.Frame(phase, mirrored))) << scales[i] << ", phase " << int(phase);
    }
    SetPixel(p.costume[0].hDC(), 1, 1, Blue);
    fine.Compose(p, POINT{16, 24}, 2.0);
    const HDC frame = fine.Frame(BlinkPhase::Open, false).hDC();
    EXPECT_EQ(std::tuple(GetPixel(frame, 1, 1), GetPixel(frame, 0, 1), GetPixel(frame, 1, 0)), std::tuple(Blue, White, White));
}

}  // namespace
