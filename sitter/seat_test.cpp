// Where the character sits: the arithmetic at several DPIs, and the rectangle it is computed from.
#include <gtest/gtest.h>

#include <limits>

#include "platform/screen.h"
#include "sitter/frame_bounds.h"
#include "sitter/seat.h"

namespace {

struct Display {
    int dpi;
    double tpp() const { return platform::TwipsPerPixelAt(dpi); }
    int32_t butt() const { return static_cast<int32_t>(92 * tpp()); }
    SeatTwips Seat(RECT r, int32_t fromSide) const { return ComputeSeat(r, fromSide, butt(), 77 * tpp(), tpp(), tpp()); }
    int Px(int32_t twips) const { return static_cast<int>(twips / tpp()); }
};

class SeatAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(SeatAtDpi, SitsOnTheTopEdgeFromTheRightEnd) {
    const Display d{GetParam()};
    const RECT window{100, 200, 600, 500};
    // FromSide, left in pixels, FromLeft: right edges flush; the middle (50 is not beyond halfway); mirrored
    // from 51 on; standing outside the window's left end.
    struct Case { int32_t fromSide; int left; int32_t fromLeft; } cases[] = {{0, 523, 0}, {50, 273, 0}, {51, 268, -1}, {100, 23, -1}};
    for (const Case& c : cases) {
        SeatTwips seat = d.Seat(window, c.fromSide);
        EXPECT_EQ(d.Px(seat.left), c.left) << "FromSide " << c.fromSide;
        EXPECT_EQ(d.Px(seat.top), 108);
        EXPECT_EQ(seat.fromLeft, c.fromLeft);
    }
    // At 96 DPI the same seat in twips.
    EXPECT_TRUE(d.dpi != 96 || (d.Seat(window, 0).left == 7845 && d.Seat(window, 0).top == 1620));
}

TEST_P(SeatAtDpi, ParksWhenTheTopEdgeIsOutOfReach) {
    const Display d{GetParam()};
    auto parked = [&](RECT r) { return d.Seat(r, 0).left == ParkedLeftTwips; };
    EXPECT_TRUE(parked({0, 1, 800, 600})) << "top at 1 px, as for a maximised window";
    EXPECT_FALSE(parked({0, 2, 800, 600})) << "top at 2 px is sat on";
    EXPECT_TRUE(parked({-8, -8, 1288, 1000}) && parked({-32000, -32000, -31840, -31972})) << "maximised with borders; minimised";
    EXPECT_TRUE(parked({0, 0, 0, 0}) && d.Seat({0, 0, 0, 0}, 0).top == -d.butt()) << "no window";
}

INSTANTIATE_TEST_SUITE_P(Seat, SeatAtDpi, ::testing::Values(96, 120, 144), [](const auto& p) { return std::to_string(p.param) + "dpi"; });

TEST(Seat, ExtremeDistancesAreClampedNotWrapped) {
    const auto max = std::numeric_limits<int32_t>::max(), min = std::numeric_limits<int32_t>::min();
    auto seat = [](RECT r, int32_t fromSide) { return ComputeSeat(r, fromSide, 1380, 1155, 15, 15); };
    EXPECT_EQ(seat({0, 200, 2000, 900}, max).left, min);
    EXPECT_EQ(seat({0, 200, 2000, 900}, min).left, max - 1155);
    EXPECT_EQ(seat({min, 200, max, 900}, 0).left, max - 1155);
    EXPECT_EQ(seat({0, min, 10, 0}, 0).top, min);
}

// The visible frame: the system's answer where there is one, the window rectangle where not.
bool Inset(HWND window, RECT& bounds) {
    GetWindowRect(window, &bounds), InflateRect(&bounds, -7, 0), bounds.bottom -= 7;
    return true;
}
bool Refuse(HWND, RECT&) { return false; }

TEST(VisibleFrame, UsesTheFrameBoundsAndFallsBackToTheWindowRectangle) {
    HWND window = CreateWindowExA(0, "STATIC", "perch", WS_OVERLAPPEDWINDOW, 100, 200, 500, 300, nullptr, nullptr, nullptr, nullptr);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(VisibleFrame(window, &Inset).left, rect.left + 7);
    EXPECT_EQ(VisibleFrame(window, &Inset).right, rect.right - 7);
    EXPECT_EQ(VisibleFrame(window, &Refuse).left, rect.left);
    EXPECT_EQ(VisibleFrame(window, nullptr).right, rect.right) << "no desktop window manager";
    // Whatever this system's window manager answers, the result is a real frame inside the window.
    RECT system = VisibleFrame(window);
    EXPECT_TRUE(system.left >= rect.left && system.right <= rect.right && system.top == rect.top);
    DestroyWindow(window);
    RECT gone = VisibleFrame(window);
    EXPECT_TRUE(IsRectEmpty(&gone) && gone.left == 0 && gone.top == 0) << "a vanished window gives zeros";
    EXPECT_EQ(VisibleFrame(nullptr, &Inset).right, 0);
}

}  // namespace
