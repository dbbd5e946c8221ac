#include "registry/variant.h"

#include <gtest/gtest.h>

// Text to number and its errors are met through the settings read at start-up; these are the conversions they do not reach.
TEST(Variant, ConvertsLikeTheProgramExpects) {
    EXPECT_EQ(std::tuple(Variant(1.5).ToString(), Variant().ToString(), Variant().ToInt32(), Variant().EqualsNumber(0)),
              std::tuple("1.5", "", 0, true));
}
