#include "platform/number.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <limits>

#include "platform/error.h"
#include "platform/text.h"

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
    EXPECT_EQ(std::tuple(RoundHalfEvenClampedToInt32(1e12), RoundHalfEvenClampedToInt32(-1e12), RoundHalfEvenClampedToInt32(-7.5)),
              std::tuple(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), -8));
}

// Every program of ours, these tests included, carries the manifest: the UTF-8 code page, so that the
// ...A calls keep text in any script, and per-monitor DPI awareness.
TEST(Manifest, TextInAnyScriptSurvivesTheCodePageAndEveryWindowHasItsMonitorsDpi) {
    HWND window = CreateWindowExA(0, "STATIC", "Да, 日本語 ✓", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    wchar_t text[64] = {};  // read wide: the narrow text would come back as it went in under any single-byte code page
    GetWindowTextW(window, text, 64);
    EXPECT_EQ(std::pair(std::wstring(text), GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext())),
              std::pair(std::wstring(L"Да, 日本語 ✓"), DPI_AWARENESS_PER_MONITOR_AWARE));
    DestroyWindow(window);
}
