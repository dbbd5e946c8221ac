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
    double frameWidth() const { return 77 * tpp(); }
    SeatTwips Seat(RECT r, int32_t fromSide) const {
        return ComputeSeat(r, fromSide, butt(), frameWidth(), tpp(), tpp());
    }
    int Px(int32_t twips) const { return static_cast<int>(twips / tpp()); }
};

class SeatAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(SeatAtDpi, SitsOnTheTopEdgeFromTheRightEnd) {
    const Display d{GetParam()};
    const RECT window{100, 200, 600, 500};
    struct Case {
        int32_t fromSide;
        int left;
        int32_t fromLeft;
    } cases[] = {
        {0, 523, 0},    // right edges flush
        {50, 273, 0},   // middle; 50 is not beyond halfway
        {51, 268, -1},  // mirrored from here on
        {100, 23, -1},  // standing outside the window's left end
    };
    for (const Case& c : cases) {
        SeatTwips seat = d.Seat(window, c.fromSide);
        EXPECT_EQ(d.Px(seat.left), c.left) << "FromSide " << c.fromSide;
        EXPECT_EQ(d.Px(seat.top), 108);
        EXPECT_EQ(seat.fromLeft, c.fromLeft);
    }
    // At 96 DPI the same seat in twips.
    if (d.dpi == 96) {
        EXPECT_EQ(d.Seat(window, 0).left, 7845);
        EXPECT_EQ(d.Seat(window, 0).top, 1620);
    }
}

TEST_P(SeatAtDpi, ParksWhenTheTopEdgeIsOutOfReach) {
    const Display d{GetParam()};
    auto parked = [&](RECT r) { return d.Seat(r, 0).left == ParkedLeftTwips; };
    EXPECT_TRUE(parked({0, 1, 800, 600})) << "top at 1 px, as for a maximised window";
    EXPECT_FALSE(parked({0, 2, 800, 600})) << "top at 2 px is sat on";
    EXPECT_TRUE(parked({-8, -8, 1288, 1000})) << "maximised with borders";
    EXPECT_TRUE(parked({-32000, -32000, -31840, -31972})) << "minimised";
    EXPECT_TRUE(parked({0, 0, 0, 0})) << "no window";
    EXPECT_EQ(d.Seat({0, 0, 0, 0}, 0).top, -d.butt());
}

INSTANTIATE_TEST_SUITE_P(Seat, SeatAtDpi, ::testing::Values(96, 120, 144),
                         [](const auto& p) { return std::to_string(p.param) + "dpi"; });

TEST(Seat, ExtremeDistancesAreClampedNotWrapped) {
    const RECT window{0, 200, 2000, 900};
    const auto max = std::numeric_limits<int32_t>::max();
    const auto min = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(ComputeSeat(window, max, 1380, 1155, 15, 15).left, min);
    EXPECT_EQ(ComputeSeat(window, min, 1380, 1155, 15, 15).left, max - 1155);
    EXPECT_EQ(ComputeSeat({min, 200, max, 900}, 0, 1380, 1155, 15, 15).left, max - 1155);
    EXPECT_EQ(ComputeSeat({0, min, 10, 0}, 0, 1380, 1155, 15, 15).top, min);
}

// The visible frame: the system's answer where there is one, the window rectangle where not.
HWND MakeWindow(int x, int y, int w, int h) {
    return CreateWindowExA(0, "STATIC", "perch", WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

bool Inset(HWND window, RECT& bounds) {
    GetWindowRect(window, &bounds);
    InflateRect(&bounds, -7, 0);
    bounds.bottom -= 7;
    return true;
}

bool Refuse(HWND, RECT&) { return false; }

TEST(VisibleFrame, UsesTheFrameBoundsAndFallsBackToTheWindowRectangle) {
    HWND window = MakeWindow(100, 200, 500, 300);
    ASSERT_NE(window, nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);

    EXPECT_EQ(VisibleFrame(window, &Inset).left, rect.left + 7);
    EXPECT_EQ(VisibleFrame(window, &Inset).right, rect.right - 7);
    EXPECT_EQ(VisibleFrame(window, &Refuse).left, rect.left);
    EXPECT_EQ(VisibleFrame(window, nullptr).right, rect.right) << "no desktop window manager";
    EXPECT_TRUE(EqualRect(&rect, &rect));

    // Whatever this system's window manager answers, the result is a real frame inside the window.
    RECT system = VisibleFrame(window);
    EXPECT_GE(system.left, rect.left);
    EXPECT_LE(system.right, rect.right);
    EXPECT_EQ(system.top, rect.top);

    DestroyWindow(window);
    RECT gone = VisibleFrame(window);
    EXPECT_TRUE(IsRectEmpty(&gone) && gone.left == 0 && gone.top == 0) << "a vanished window gives zeros";
    RECT none = VisibleFrame(nullptr, &Inset);
    EXPECT_EQ(none.right, 0);
}

}  // namespace
