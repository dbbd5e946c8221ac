// Where the character sits: the arithmetic at several DPIs and Sizes, and the rectangle it is computed from.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "imaging/pixel_art.h"
#include "platform/desktop.h"
#include "sitter/seat.h"

namespace {

// The art's own pixels at a DPI: the character as it was drawn before it took the display's scale.
SeatMetrics At(int dpi) { return SeatMetricsAt(92, SIZE{77, 126}, dpi, 1.0); }

// At every display scale and Size the character's window is its art times the scale, and it sits on the
// edge as in the art's own pixels: the butt row 92 x scale below its top, rounded halves to even.
class SeatAtScale : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SeatAtScale, SitsOnTheTopEdgeFromTheRightEndAtItsSize) {
    const auto [dpi, size] = GetParam();
    const double scale = imaging::CharacterScale(dpi, size);
    const SIZE frame = imaging::ScaledArtSize(SIZE{77, 126}, scale);
    EXPECT_EQ(std::pair(frame.cx, frame.cy), std::pair(std::lround(std::nearbyint(77 * scale)), std::lround(std::nearbyint(126 * scale))));
    const SeatMetrics m = SeatMetricsAt(92, frame, dpi, scale);
    // An odd top: a butt height of half pixels would round the seat to the even one.
    const LONG top = 201 - std::lround(std::nearbyint(92 * scale));
    // Distance, the character's right edge: flush with the window's; the middle (50 is not beyond halfway);
    // mirrored from 51 on; at the window's left end, the character standing outside it.
    const std::tuple<int32_t, LONG, bool> cases[] = {{0, 600, false}, {50, 350, false}, {51, 345, true}, {100, 100, true}};
    for (const auto& [distance, right, mirrored] : cases) {
        const Seat seat = SeatOn(RECT{100, 201, 600, 500}, 0, distance, m);
        EXPECT_EQ(std::tuple(seat.bounds.left, seat.bounds.top, seat.bounds.right, seat.bounds.bottom, seat.mirrored),
                  std::tuple(right - frame.cx, top, right, top + frame.cy, mirrored)) << "distance " << distance;
    }
    // Parked far left while the window's top edge is less than 16 twips below its monitor's: a pixel at 96 DPI,
    // three at 288.
    const LONG parked = std::lround(std::nearbyint(ParkedLeftTwips * dpi / 1440.0));
    for (const LONG below : {1, 2, 3, 4})
        EXPECT_EQ(SeatOn(RECT{100, below, 600, 500}, 0, 0, m).bounds.left == parked, below * 1440.0 / dpi < 16) << below;
}

INSTANTIATE_TEST_SUITE_P(Seat, SeatAtScale, ::testing::Combine(::testing::Values(96, 120, 144, 192, 288),
                                                               ::testing::Values(100, 150, 200, 300)),
                         [](const auto& p) { return std::to_string(std::get<0>(p.param)) + "dpi" + std::to_string(std::get<1>(p.param)); });

class SeatAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(SeatAtDpi, ParksOutsideEveryMonitor) {
    const SeatMetrics m = At(GetParam());
    const LONG usual = static_cast<LONG>(std::nearbyint(-10000 / m.twipsPerPixelX));  // -667 at 96 DPI
    const std::pair<RECT, POINT> cases[] = {
        {{0, 0, 1280, 1024}, {usual, usual}},            // one monitor: as ever
        {{-1920, 0, 1280, 1080}, {-1997, usual}},        // one to the left
        {{0, -900, 1600, 1024}, {usual, -1026}},         // one above
        {{-3000, -2000, 3200, 1024}, {-3077, -2126}},    // left and above, beyond the usual place
        {{0, 0, 2560, 2048}, {usual, usual}}};           // right of and below the primary: as ever
    for (const auto& [screen, at] : cases) {
        const POINT parked = ParkedOutside(screen, m);
        EXPECT_EQ(std::pair(parked.x, parked.y), std::pair(at.x, at.y)) << screen.left << "," << screen.top;
    }
}

INSTANTIATE_TEST_SUITE_P(Seat, SeatAtDpi, ::testing::Values(96, 120, 144), [](const auto& p) { return std::to_string(p.param) + "dpi"; });

// The visible frame: the system's answer where there is one, the window rectangle where not, zeros for none.
bool Inset(HWND window, RECT& bounds) { return GetWindowRect(window, &bounds) && InflateRect(&bounds, -7, 0); }
bool Refuse(HWND, RECT&) { return false; }

TEST(VisibleFrame, UsesTheFrameBoundsAndFallsBackToTheWindowRectangle) {
    HWND window = CreateWindowExA(0, "STATIC", "perch", WS_OVERLAPPEDWINDOW, 100, 200, 500, 300, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::tuple(platform::VisibleFrame(window, &Inset).left, platform::VisibleFrame(window, &Refuse).left, platform::VisibleFrame(window, nullptr).left),
              std::tuple(107L, 100L, 100L));
    DestroyWindow(window);
    const RECT gone = platform::VisibleFrame(window);
    EXPECT_TRUE(IsRectEmpty(&gone) && gone.left == 0 && gone.top == 0) << "a vanished window gives zeros";
}

}  // namespace
