// The composed frames: layer order, the red key of the pictures, the blink frames and mirroring, on real pixels.
#include "sitter/frame_set.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 160, 0), Yellow = RGB(255, 255, 0),
                   Magenta = RGB(255, 0, 255), White = RGB(255, 255, 255);

// Fills `picture` with a w x h image whose pixel colours come from `colour(x, y)`.
template <class Colour> void Paint(cDIBSection& picture, int w, int h, Colour colour) {
    ASSERT_TRUE(picture.Create(w, h));
    for (int i = 0; i < w * h; ++i) SetPixel(picture.hDC(), i % w, i / w, colour(i % w, i / w));
}

TEST(FrameSet, LayersComposeInOrderThroughTheRedKeyPlainAndMirrored) {
    CharacterPictures p;
    Paint(p.base, 77, 126, [](int x, int) { return x < 70 ? Blue : Green; });
    Paint(p.costume[1], 60, 60, [](int x, int) { return x >= 30 ? Green : Red; });    // layer 2
    Paint(p.blinkHalf, 40, 32, [](int, int y) { return y < 16 ? Yellow : Red; });
    Paint(p.blinkClosed, 40, 32, [](int, int y) { return y < 16 ? Magenta : Red; });
    Paint(p.costume[0], 77, 30, [](int x, int) { return x < 20 ? White : Red; });     // layer 1
    FrameSet frames;
    frames.Compose(p, POINT{16, 24});
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
    // What the window is shown: one copy of the frame.
    cDIBSection window;
    ASSERT_TRUE(window.Create(77, 126));
    frames.Show(window.hDC(), BlinkPhase::Closed, true);
    EXPECT_EQ(std::pair(GetPixel(window.hDC(), 76 - 35, 30), GetPixel(window.hDC(), 2, 100)), std::pair(Magenta, Green));
}

}  // namespace
