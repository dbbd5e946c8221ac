#include <windows.h>

#include <algorithm>
#include <functional>

#include "registry/cRegistry.h"
#include "registry/registry_test_support.h"

using namespace regtest;

namespace {
const std::string kRoot = "-2147483647";  // HKEY_CURRENT_USER as the texts show it

// Names as the registry itself enumerates them, in its order, with the unused entry 0 in front.
std::vector<std::string> RawValueNames(const std::string& section) {
    std::vector<std::string> names{""};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, section.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    char name[512];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        names.emplace_back(name, length);
    RegCloseKey(key);
    return names;
}
}  // namespace

class RegistryKeys : public RegistryTest {
protected:
    cRegistry Key(const std::string& sub = "") const { return At("", 0, sub); }
};

TEST_F(RegistryKeys, ExistsCreateDelete) {
    EXPECT_FALSE(cRegistry().KeyExists()) << "root 0 opens nothing";
    cRegistry reg = Key("Made\\Deeper");
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey());
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey()) << "an existing key counts as created";
    EXPECT_TRUE(reg.DeleteKey());
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_TRUE(Key("Made").KeyExists()) << "only the last component is deleted";

    // Machine is not consulted by the key operations.
    reg = Key("Made");
    reg.SetMachine("PelloryNoSuchHost");
    EXPECT_TRUE(reg.KeyExists());
}

TEST_F(RegistryKeys, FailuresRaiseWithTheirTexts) {
    struct Case {
        const char* what;
        std::function<void()> call;
        std::string description;
    };
    cRegistry fresh;
    fresh.SetSectionKey("Some\\Path");
    RawSet("present", REG_DWORD, {1, 0, 0, 0});
    const cRegistry missingKey = At("v", 0, "Missing");
    const cRegistry missingValue = At("nope");
    const Case cases[] = {
        {"create under root 0", [&] { fresh.CreateKey(); }, "Failed to create registry Key: 'Some\\Path"},
        {"delete missing key", [&] { missingKey.DeleteKey(); },
         "Failed to delete registry Key: '" + kRoot + "',Section: '" + section_ + "\\Missing"},
        {"delete value of missing key", [&] { missingKey.DeleteValue(); },
         "Failed to open key '" + kRoot + "',Section: '" + section_ + "\\Missing' for delete access"},
        {"delete missing value", [&] { missingValue.DeleteValue(); },
         "Failed to delete registry Key: '" + kRoot + "',Section: '" + section_ + "',Key: 'nope"},
    };
    for (const Case& c : cases) {
        platform::Error e = ErrorOf(c.call);
        EXPECT_EQ(e.Number(), 26001) << c.what;
        EXPECT_EQ(e.Source(), "registry_tests.cRegistry") << c.what;
        EXPECT_EQ(e.Description(), c.description) << c.what;
    }
    EXPECT_FALSE(KeyPresent("Missing")) << "DeleteValue must not create the key";
    EXPECT_TRUE(RawGet("present"));
}

TEST_F(RegistryKeys, DeleteValueRemovesOnlyThatValue) {
    RawSet("a", REG_DWORD, {1, 0, 0, 0});
    RawSet("b", REG_DWORD, {2, 0, 0, 0});
    EXPECT_TRUE(At("a").DeleteValue());
    EXPECT_FALSE(RawGet("a"));
    EXPECT_TRUE(RawGet("b"));
}

TEST_F(RegistryKeys, EnumerateValuesListsNamesFromOne) {
    RawSet("", REG_SZ, {'u', 0});
    RawSet("Named", REG_DWORD, {1, 0, 0, 0});
    std::vector<std::string> names{"stale"};
    int32_t count = -1;
    EXPECT_TRUE(Key().EnumerateValues(names, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, RawValueNames(section_)) << "registry order, entry 0 unused";
    EXPECT_EQ(std::count(names.begin() + 1, names.end(), ""), 1) << "the unnamed value is listed as empty";
    EXPECT_EQ(std::count(names.begin() + 1, names.end(), "Named"), 1);
}

TEST_F(RegistryKeys, EnumerationsOfMissingOrEmptyKeysAreEmpty) {
    ASSERT_TRUE(Key("Empty").CreateKey());
    for (const char* sub : {"Missing", "Empty"}) {
        std::vector<std::string> names{"stale", "stale"};
        int32_t count = 5;
        EXPECT_TRUE(Key(sub).EnumerateValues(names, count));
        EXPECT_EQ(count, 0) << sub;
        EXPECT_TRUE(names.empty()) << sub;
        names = {"stale"};
        count = 5;
        EXPECT_TRUE(Key(sub).EnumerateSections(names, count));
        EXPECT_EQ(count, 0) << sub;
        EXPECT_TRUE(names.empty()) << sub;
    }
}

// A key with a class string, and a value name longer than the usual buffer sizes.
TEST_F(RegistryKeys, EnumerateValuesOfAKeyWithAClassString) {
    HKEY key = nullptr;
    char keyClass[] = "PelloryTestClass";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Path("WithClass").c_str(), 0, keyClass, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string longName(300, 'n');
    RawSet("first", REG_DWORD, {1, 0, 0, 0}, "WithClass");
    RawSet(longName, REG_DWORD, {2, 0, 0, 0}, "WithClass");

    std::vector<std::string> names;
    int32_t count = 0;
    EXPECT_TRUE(Key("WithClass").EnumerateValues(names, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, RawValueNames(Path("WithClass")));
}

TEST_F(RegistryKeys, EnumerateSectionsListsSubkeysIncludingLongestNames) {
    ASSERT_TRUE(Key("alpha\\child").CreateKey());
    // Created relative to the test key: the ANSI path argument itself is limited in length.
    const std::string longest(255, 'k');
    HKEY parent = nullptr, child = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, section_.c_str(), 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
    EXPECT_EQ(RegCreateKeyExA(parent, longest.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(child);
    RegCloseKey(parent);
    ASSERT_TRUE(Key("zeta").CreateKey());

    std::vector<std::string> names;
    int32_t count = 0;
    EXPECT_TRUE(Key().EnumerateSections(names, count));
    EXPECT_EQ(count, 3);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "");
    std::vector<std::string> found(names.begin() + 1, names.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"alpha", longest, "zeta"})) << "a 255-character name must not end the list";
}
