#include "platform/number.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/error.h"
#include "platform/font.h"
#include "platform/text.h"
#include "platform/units.h"

using namespace platform;

TEST(ReadNumber, TakesTheLongestLeadingNumberAndIgnoresBlanks) {
    struct Case { const char* text; double expected; } cases[] = {
        {" 92", 92}, {"9 2", 92}, {" - 1 6", -16}, {"16px", 16}, {"1.5e2x", 150}, {"1.5e", 1.5},
        {".5", 0.5}, {"7.", 7}, {"+3", 3}, {"", 0}, {"abc", 0}, {"e5", 0}, {"-", 0}, {".", 0},
        {"12:34", 12}, {"1e+", 1}, {"\t2\t4", 24},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Rounding, HalvesGoToEvenAndOverflowRaises) {
    struct Case { double value; int32_t expected; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2147483647.4, 2147483647}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEvenToInt32(c.value), c.expected) << c.value;
    EXPECT_EQ(RoundHalfEvenToInt16(32767.4), 32767);
    for (double bad : {2147483647.5, -2147483648.6, std::numeric_limits<double>::quiet_NaN()}) {
        try { RoundHalfEvenToInt32(bad); ADD_FAILURE() << bad; } catch (const Error& e) { EXPECT_EQ(e.Number(), err::Overflow); }
    }
    EXPECT_THROW(RoundHalfEvenToInt16(32767.5), Error);
    EXPECT_THROW(RoundHalfEvenToInt16(-32769), Error);
    EXPECT_EQ(RoundHalfEvenClampedToInt32(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundHalfEvenClampedToInt32(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundHalfEvenClampedToInt32(-7.5), -8);
}

TEST(Split, CutsAtEverySeparator) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(Split("Normal, Catgirl, Persocon", ", "), (Parts{"Normal", "Catgirl", "Persocon"}));
    EXPECT_EQ(Split("a||b|", "|"), (Parts{"a", "", "b", ""}));
    EXPECT_EQ(Split("a,b", ", "), Parts{"a,b"});
    EXPECT_TRUE(Split("", "|").empty());
}

// The face and the lengths of the 96-DPI design at other scales: halves to even, like every conversion.
TEST(Rounding, FontHeightsAndScaledLengthsAtEveryDpi) {
    const struct { int dpi, font, balloonWidth, balloonHeight; } cases[] = {
        {96, -11, 247, 129}, {120, -14, 309, 161}, {144, -16, 370, 194}, {192, -22, 494, 258}, {288, -33, 741, 387}};
    for (const auto& c : cases)
        EXPECT_EQ(std::tuple(TahomaHeight(c.dpi), ScaledForDpi(247, c.dpi), ScaledForDpi(129, c.dpi)),
                  std::tuple(c.font, c.balloonWidth, c.balloonHeight)) << c.dpi;
}

// Every program of ours, these tests included, carries the manifest: the UTF-8 code page, so that the
// ...A calls keep text in any script, and per-monitor DPI awareness.
TEST(Manifest, TextInAnyScriptSurvivesTheCodePageAndEveryWindowHasItsMonitorsDpi) {
    const std::string text = "Да, 日本語 ✓";
    EXPECT_EQ(Narrow(Widen(text)), text);
    HWND window = CreateWindowExA(0, "STATIC", text.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    char back[64] = {};
    GetWindowTextA(window, back, sizeof back);
    wchar_t wide[64] = {};
    GetWindowTextW(window, wide, 64);
    EXPECT_EQ(std::pair(std::string(back), std::wstring(wide)), std::pair(text, std::wstring(L"Да, 日本語 ✓")));
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()), DPI_AWARENESS_PER_MONITOR_AWARE);
    EXPECT_EQ(WindowDpi(window), SystemDpi());
    DestroyWindow(window);
}
