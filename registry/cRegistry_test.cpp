#include "registry/cRegistry.h"

#include <windows.h>

#include "registry/registry_test_support.h"

using namespace std::string_literals;
using platform::ByteArray;
using platform::Variant;
using namespace regtest;

namespace {
const std::string kSource = "registry_tests.cRegistry";

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}
}  // namespace

class RegistryValue : public RegistryTest {};

TEST_F(RegistryValue, FreshObjectReadsEmptyAndCannotWrite) {
    cRegistry reg;
    EXPECT_EQ(reg.ClassKey(), 0);
    EXPECT_EQ(reg.ValueType(), 0);
    EXPECT_TRUE(reg.Value().IsEmpty());

    reg.SetValueType(REG_DWORD);
    platform::Error e = ErrorOf([&] { reg.SetValue(int32_t{1}); });
    EXPECT_EQ(e.Number(), 26001);
    EXPECT_EQ(e.Source(), kSource);
    EXPECT_EQ(e.Description(), "Failed to set registry value Key: '0',Section: '',Key: '' to value: '1'");
}

TEST_F(RegistryValue, MissingValueOrKeyYieldsDefaultAndKeepsType) {
    RawSet("there", REG_DWORD, {1, 0, 0, 0});
    for (const char* sub : {"", "NoSuchKey"}) {
        cRegistry reg = At("missing", REG_BINARY, sub);
        EXPECT_TRUE(reg.Value().IsEmpty()) << sub;
        reg.SetDefault("fallback");
        EXPECT_EQ(reg.Value(), Variant("fallback")) << sub;
        EXPECT_EQ(reg.ValueType(), REG_BINARY) << sub;
    }
    EXPECT_FALSE(KeyPresent("NoSuchKey")) << "a read must not create the key";
}

struct StoredCase {
    const char* what;
    DWORD type;
    Bytes stored;
    Variant expected;
};

class RegistryRead : public RegistryTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(RegistryRead, YieldsTheStoredValueAndType) {
    SetEnvironmentVariableA("PELLORY_TEST_DIR", "C:\\Pellory Dir");
    const StoredCase& c = GetParam();
    RawSet("v", c.type, c.stored);
    cRegistry reg = At("v");
    EXPECT_EQ(reg.Value(), c.expected);
    EXPECT_EQ(reg.ValueType(), static_cast<int32_t>(c.type));
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegistryRead,
    ::testing::Values(
        StoredCase{"sz", REG_SZ, ToBytes("Hello\0"s), Variant("Hello")},
        StoredCase{"sz_only_terminator", REG_SZ, {0}, Variant("")},
        StoredCase{"sz_size_zero", REG_SZ, {}, Variant("")},
        StoredCase{"sz_no_terminator_keeps_last", REG_SZ, ToBytes("abc"), Variant("abc")},
        StoredCase{"sz_long", REG_SZ, ToBytes(std::string(3000, 'x') + '\0'), Variant(std::string(3000, 'x'))},
        StoredCase{"multi_sz", REG_MULTI_SZ, ToBytes("a\0bc\0\0"s), Variant("a\0bc\0"s)},
        StoredCase{"multi_sz_size_zero", REG_MULTI_SZ, {}, Variant("")},
        StoredCase{"expand_sz", REG_EXPAND_SZ, ToBytes("%PELLORY_TEST_DIR%\\x.txt\0"s), Variant("C:\\Pellory Dir\\x.txt")},
        StoredCase{"expand_sz_unknown_name", REG_EXPAND_SZ, ToBytes("%PELLORY_NO_SUCH%\0"s), Variant("%PELLORY_NO_SUCH%")},
        StoredCase{"expand_sz_size_zero", REG_EXPAND_SZ, {}, Variant("")},
        StoredCase{"dword", REG_DWORD, {0x01, 0x00, 0x00, 0x80}, Variant(int32_t(0x80000001))},
        StoredCase{"dword_true_flag", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, Variant(int32_t{-1})},
        StoredCase{"dword_short_data", REG_DWORD, {0x34, 0x12}, Variant(int32_t{0x1234})},
        StoredCase{"dword_big_endian", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, Variant(int32_t{1})},
        StoredCase{"dword_big_endian_mixed", REG_DWORD_BIG_ENDIAN, {0x80, 0x01, 0x02, 0x03}, Variant(int32_t(0x80010203))},
        StoredCase{"binary", REG_BINARY, {1, 2, 0xFF}, Variant(ByteArray{1, 2, 0xFF})},
        StoredCase{"binary_empty", REG_BINARY, {}, Variant(ByteArray{})},
        StoredCase{"none", REG_NONE, {7}, Variant(ByteArray{7})},
        StoredCase{"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}, Variant(ByteArray{1, 2, 3, 4, 5, 6, 7, 8})}),
    [](const auto& p) { return std::string(p.param.what); });

struct WriteCase {
    const char* what;
    int32_t valueType;
    Variant value;
    std::optional<Raw> stored;  // nullopt: nothing written
};

class RegistryWrite : public RegistryTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(RegistryWrite, StoresTheExpectedTypeAndBytes) {
    const WriteCase& c = GetParam();
    cRegistry reg = At("w", c.valueType);
    reg.SetValue(c.value);
    EXPECT_EQ(RawGet("w"), c.stored);
    EXPECT_EQ(reg.ValueType(), c.valueType) << "a write keeps the caller's type";
    EXPECT_TRUE(KeyPresent()) << "the key is created even when nothing is written";
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegistryWrite,
    ::testing::Values(
        WriteCase{"sz", REG_SZ, Variant("abc"), Raw{REG_SZ, ToBytes("abc\0"s)}},
        WriteCase{"sz_empty", REG_SZ, Variant(""), Raw{REG_SZ, {0}}},
        WriteCase{"sz_number_as_text", REG_SZ, Variant(int32_t{42}), Raw{REG_SZ, ToBytes("42\0"s)}},
        WriteCase{"sz_trailing_percent", REG_SZ, Variant("50%"), Raw{REG_SZ, ToBytes("50%\0"s)}},
        WriteCase{"sz_adjacent_percents", REG_SZ, Variant("100%%"), Raw{REG_SZ, ToBytes("100%%\0"s)}},
        WriteCase{"sz_with_reference", REG_SZ, Variant("%TEMP%\\a.txt"), Raw{REG_EXPAND_SZ, ToBytes("%TEMP%\\a.txt\0"s)}},
        WriteCase{"expand_sz_plain_text", REG_EXPAND_SZ, Variant("plain"), Raw{REG_SZ, ToBytes("plain\0"s)}},
        WriteCase{"dword_integer", REG_DWORD, Variant(int16_t{3}), Raw{REG_DWORD, {3, 0, 0, 0}}},
        WriteCase{"dword_true", REG_DWORD, Variant(int32_t{-1}), Raw{REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}},
        WriteCase{"big_endian_written_little", REG_DWORD_BIG_ENDIAN, Variant(int16_t{3}), Raw{REG_DWORD, {3, 0, 0, 0}}},
        WriteCase{"dword_text_skipped", REG_DWORD, Variant("12"), std::nullopt},
        WriteCase{"dword_double_skipped", REG_DWORD, Variant(2.0), std::nullopt},
        WriteCase{"binary", REG_BINARY, Variant(ByteArray{0, 1, 0xFE}), Raw{REG_BINARY, {0, 1, 0xFE}}},
        WriteCase{"binary_empty", REG_BINARY, Variant(ByteArray{}), Raw{REG_BINARY, {}}}),
    [](const auto& p) { return std::string(p.param.what); });

TEST_F(RegistryValue, WrittenValuesReadBack) {
    cRegistry reg = At("round", REG_DWORD);
    reg.SetValue(int32_t{-2147483647});
    reg.SetValueType(0);
    EXPECT_EQ(reg.Value(), Variant(int32_t{-2147483647}));
    EXPECT_EQ(reg.ValueType(), REG_DWORD);

    reg.SetValueType(REG_SZ);
    reg.SetValue("text");
    EXPECT_EQ(reg.Value(), Variant("text"));
}

TEST_F(RegistryValue, UnsupportedTypesRaiseTheFailureTextAndWriteNothing) {
    for (int32_t type : {0, -1, REG_LINK, REG_MULTI_SZ, REG_QWORD}) {
        cRegistry reg = At("Costume", type);
        platform::Error e = ErrorOf([&] { reg.SetValue(int16_t{3}); });
        EXPECT_EQ(e.Number(), static_cast<int32_t>(0x800469A9)) << type;
        EXPECT_EQ(e.Number(), -2147194455) << type;
        EXPECT_EQ(e.Source(), kSource);
        EXPECT_EQ(e.Description(),
                  "Failed to set registry value Key: '-2147483647',Section: '" + section_ + "',Key: 'Costume' to value: '3'");
        EXPECT_FALSE(RawGet("Costume")) << type;
        EXPECT_EQ(reg.ValueType(), type) << "a raised error leaves the fields";
    }
    // A byte array has no text to store as a string; the failure text shows its bytes.
    cRegistry reg = At("bytes", REG_SZ);
    platform::Error e = ErrorOf([&] { reg.SetValue(ByteArray{1, 0xAB}); });
    EXPECT_EQ(e.Number(), cRegistry::ErrSetValueFailed);
    EXPECT_EQ(e.Description(), "Failed to set registry value Key: '-2147483647',Section: '" + section_ +
                                   "',Key: 'bytes' to value: '01 AB'");
}

TEST_F(RegistryValue, BinaryOfSomethingElseRaisesTheBareNumber) {
    cRegistry reg = At("bin", REG_BINARY);
    for (const Variant& v : {Variant("01"), Variant(int32_t{1}), Variant()}) {
        platform::Error e = ErrorOf([&] { reg.SetValue(v); });
        EXPECT_EQ(e.Number(), 26001);
        EXPECT_EQ(e.Description(), "");
    }
    EXPECT_FALSE(RawGet("bin"));
}

TEST(RegistryMachine, NameIsNormalised) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"ab", ""}, {"\\\\", ""}, {"abc", "\\\\abc"}, {"\\abc", "\\\\\\abc"}, {"\\\\abc", "\\\\abc"},
    };
    for (const auto& [given, held] : cases) {
        cRegistry reg;
        reg.SetMachine("\\\\previous");
        reg.SetMachine(given);
        EXPECT_EQ(reg.Machine(), held) << given;
    }
}

TEST_F(RegistryValue, MachineNamesTheRegistryUsed) {
    RawSet("m", REG_DWORD, {5, 0, 0, 0});
    const std::string here = ComputerName();
    ASSERT_FALSE(here.empty());

    cRegistry reg = At("m");
    reg.SetMachine(here);
    EXPECT_EQ(reg.Value(), Variant(int32_t{5})) << "the local machine by name";

    // An unreachable machine: reads fall back, writes refuse.
    reg = At("m", REG_DWORD);
    reg.SetDefault("unreachable");
    reg.SetMachine("PelloryNoSuchHost");
    EXPECT_EQ(reg.Value(), Variant("unreachable"));

    reg.SetClassKey(cRegistry::HKeyCurrentUser);
    reg.SetSectionKey("Software\\Quarrystone\\Pellory");
    reg.SetValueKey("Costume");
    platform::Error e = ErrorOf([&] { reg.SetValue(int16_t{3}); });
    EXPECT_EQ(e.Number(), 26001);
    EXPECT_EQ(e.Source(), kSource);
    EXPECT_EQ(e.Description(),
              "Failed to set registry value Key: '-2147483647',Section: 'Software\\Quarrystone\\Pellory',Key: "
              "'Costume' to value: '3'");
}

TEST_F(RegistryValue, ValueExSetsTheFieldsThenReads) {
    RawSet("x", REG_SZ, ToBytes("stored\0"s));
    cRegistry reg;
    EXPECT_EQ(reg.ValueEx(cRegistry::HKeyCurrentUser, section_, "x", REG_DWORD, "dflt"), Variant("stored"));
    EXPECT_EQ(reg.ClassKey(), cRegistry::HKeyCurrentUser);
    EXPECT_EQ(reg.SectionKey(), section_);
    EXPECT_EQ(reg.ValueKey(), "x");
    EXPECT_EQ(reg.ValueType(), REG_SZ) << "replaced by the stored type";
    EXPECT_EQ(reg.Default(), Variant("dflt"));
    EXPECT_EQ(reg.ValueEx(cRegistry::HKeyCurrentUser, section_, "nope", REG_DWORD, "dflt"), Variant("dflt"));
}

TEST_F(RegistryValue, ValueExLetReplacesAnEmptyStringByDefault) {
    cRegistry reg;
    Variant newValue = "";
    reg.SetValueEx(cRegistry::HKeyCurrentUser, section_, "a", REG_SZ, "dflt", newValue);
    EXPECT_EQ(newValue, Variant("dflt")) << "the caller's variable is replaced too";
    EXPECT_EQ(RawGet("a"), (Raw{REG_SZ, ToBytes("dflt\0"s)}));

    newValue = Variant();
    reg.SetValueEx(cRegistry::HKeyCurrentUser, section_, "b", REG_SZ, int32_t{7}, newValue);
    EXPECT_EQ(RawGet("b"), (Raw{REG_SZ, ToBytes("7\0"s)}));

    newValue = "given";
    reg.SetValueEx(cRegistry::HKeyCurrentUser, section_, "c", REG_SZ, "dflt", newValue);
    EXPECT_EQ(newValue, Variant("given"));
    EXPECT_EQ(RawGet("c"), (Raw{REG_SZ, ToBytes("given\0"s)}));

    // Only the string type falls back: an empty dword writes nothing.
    newValue = Variant();
    reg.SetValueEx(cRegistry::HKeyCurrentUser, section_, "d", REG_DWORD, int32_t{9}, newValue);
    EXPECT_TRUE(newValue.IsEmpty());
    EXPECT_FALSE(RawGet("d"));
}
