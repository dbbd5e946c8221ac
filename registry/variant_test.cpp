#include "registry/variant.h"

#include <gtest/gtest.h>

#include "platform/error.h"

using namespace platform;

static int32_t ErrorOf(auto&& f) {
    try { f(); } catch (const Error& e) { return e.Number(); }
    return 0;
}

TEST(Variant, ConvertsLikeTheProgramExpects) {
    EXPECT_EQ(Variant().ToString() + "|" + Variant(int16_t{3}).ToString() + "|" + Variant(int32_t{-7}).ToString() + "|" +
                  Variant(1.5).ToString() + "|" + Variant(ByteArray{1, 0xFF}).DisplayText(), "|3|-7|1.5|01 FF");
    EXPECT_EQ(Variant().ToLong(), 0);
    EXPECT_EQ(Variant(" 12 ").ToLong(), 12);
    EXPECT_EQ(Variant("2.5").ToLong(), 2);
    EXPECT_TRUE(Variant().EqualsNumber(0) && Variant("0").EqualsNumber(0));

    EXPECT_EQ(ErrorOf([] { Variant("abc").ToLong(); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant("").ToInteger(); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant(ByteArray{1}).ToString(); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant("abc").EqualsNumber(0); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant(int32_t{40000}).ToInteger(); }), err::Overflow);
}
