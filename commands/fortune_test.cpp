#include "commands/fortune.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// A draw times the last index, rounded halves to even: the first and the last answer have half as wide a share
// of the draws as the others, so they come half as often.
TEST(Fortune, IndexRoundsHalvesToEven) {
    const std::pair<float, size_t> cases[] = {{0.0f, 0}, {0.0249f, 0}, {0.025f, 0}, {0.0251f, 1}, {0.075f, 2},
                                              {0.125f, 2}, {0.5f, 10}, {0.974f, 19}, {0.975f, 20}, {0.99999994f, 20}};
    for (const auto& [r, index] : cases) EXPECT_EQ(FortuneIndex(r, 20), index) << r;
    EXPECT_EQ(FortuneIndex(0.7f, 0), 0u) << "a single answer";
}

TEST(Fortune, PicksFromTheListAndTellsNothingWithoutOne) {
    // The highest index is the last answer's: 0.5 of three answers is the middle one, 0.99 the last.
    const std::pair<float, std::optional<std::string>> picks[] = {{0.5f, "b"}, {0.99f, "c"}, {0.0f, "a"}};
    for (const auto& [r, answer] : picks) EXPECT_EQ(PickFortune("a|b|c", r), answer) << r;
    EXPECT_EQ(TellFortune(""), std::nullopt);
    EXPECT_EQ(TellFortune("only"), "only");
}
