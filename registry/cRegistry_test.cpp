#include "registry/cRegistry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "platform/error.h"

using namespace std::string_literals;
using Tree = std::map<std::string, std::string>;

namespace {
const std::string kSection = "Software\\Quarrystone\\PelloryTests", kExt = "pellorytestext", kClass = "PelloryTest.Doc";
const std::string kHkcu = "-2147483647',Section: '" + kSection, kVerb = kClass + "\\shell\\";
const std::string kSetFailed = "Failed to set registry value Key: '" + kHkcu + "',Key: '";
const std::string kNoClass = "Error - attempt to create additional associations before class defined.";

std::string Path(const std::string& sub) { return sub.empty() ? kSection : kSection + "\\" + sub; }

// A value read past cRegistry as "type:bytes"; empty when the value is missing, "no key" when its key is.
std::string RawGet(const std::string& section, const std::string& name, HKEY root = HKEY_CURRENT_USER) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, section.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "no key";
    DWORD type = 0, size = 1024;
    std::string data(size, '\0');
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::to_string(type) + ":" + data.substr(0, size) : "";
}

void RawSet(const std::string& name, DWORD type, const std::string& data, const std::string& sub = "") {
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, Path(sub).c_str(), name.c_str(), type, data.data(), DWORD(data.size())), 0);
}

// Every value below `path` as "key|name" -> "type:bytes", the key without its first `strip` characters.
void Collect(HKEY root, const std::string& path, size_t strip, Tree& tree) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[512];
    DWORD n = 0;
    for (DWORD i = 0; n = sizeof name, RegEnumValueA(key, i++, name, &n, nullptr, nullptr, nullptr, nullptr) == 0;)
        tree[path.substr(strip) + "|" + std::string(name, n)] = RawGet(path, std::string(name, n), root);
    for (DWORD i = 0; n = sizeof name, RegEnumKeyExA(key, i++, name, &n, nullptr, nullptr, nullptr, nullptr) == 0;)
        Collect(root, path + "\\" + std::string(name, n), strip, tree);
    RegCloseKey(key);
}

cRegistry At(const std::string& name, int32_t type = 0, const std::string& sub = "") {
    cRegistry reg;
    reg.SetClassKey(cRegistry::HKeyCurrentUser), reg.SetSectionKey(Path(sub));
    reg.SetValueKey(name), reg.SetValueType(type);
    return reg;
}

// Fails unless the call raises `number` with `description` and, where it has a description, our source.
void ExpectRaised(const std::function<void()>& call, int32_t number, const std::string& description) {
    platform::Error e(0, "", "nothing raised");
    try { call(); } catch (const platform::Error& raised) { e = raised; }
    EXPECT_EQ(std::pair(e.Number(), e.Description()), std::pair(number, description));
    if (!description.empty()) { EXPECT_EQ(e.Source(), "registry_tests.cRegistry"); }
}

std::string Sz(const std::string& text) { return "1:" + text + '\0'; }
}  // namespace

// The tests' own key and file type, removed first and last.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSection.c_str());
        for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE})
            for (const std::string& key : {"." + kExt, kClass})
                RegDeleteTreeA(root, ((root == HKEY_CLASSES_ROOT ? "" : "SOFTWARE\\Classes\\") + key).c_str());
    }
    // The extension and class as registered for "app" with its open verb, plus `more`: the same under both roots.
    static void ExpectAssociation(const std::string& app, const Tree& more, const std::string& open = "&Open") {
        Tree expected{{"." + kExt + "|", Sz(kClass)}, {kClass + "|", Sz("Doc")}, {kVerb + "open|", Sz(open)},
                      {kVerb + "open\\command|", Sz(app + " \"%1\"")}};
        expected.insert(more.begin(), more.end());
        for (const std::string& prefix : {""s, "SOFTWARE\\Classes\\"s}) {
            Tree tree;
            for (const std::string& key : {"." + kExt, kClass})
                Collect(prefix.empty() ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE, prefix + key, prefix.size(), tree);
            EXPECT_EQ(tree, app.empty() ? Tree{} : expected) << prefix;
        }
    }
};

TEST_F(Registry, ReadYieldsTheStoredValueAndTypeOrDefault) {
    EXPECT_TRUE(cRegistry().Value().IsEmpty()) << "root 0 opens nothing";
    RawSet("there", REG_DWORD, "\1\0\0\0"s);
    // A missing value, a missing key, an unreachable machine: Default, and ValueType as it was.
    for (const auto& [name, sub, machine] : std::initializer_list<std::tuple<const char*, const char*, const char*>>{
             {"missing", "", ""}, {"there", "NoSuchKey", ""}, {"there", "", "PelloryNoSuchHost"}}) {
        cRegistry reg = At(name, REG_BINARY, sub);
        reg.SetMachine(machine);
        EXPECT_TRUE(reg.Value().IsEmpty()) << sub << machine;
        reg.SetDefault("fallback");
        EXPECT_EQ(std::pair(reg.Value(), reg.ValueType()), std::pair(Variant("fallback"), REG_BINARY)) << sub << machine;
    }
    EXPECT_EQ(RawGet(Path("NoSuchKey"), ""), "no key") << "a read must not create the key";
    SetEnvironmentVariableA("PELLORY_TEST_DIR", "C:\\Pellory Dir");
    for (const auto& [type, stored, expected] : std::initializer_list<std::tuple<DWORD, std::string, Variant>>{
             {REG_SZ, "Hello\0"s, "Hello"}, {REG_SZ, "\0"s, ""}, {REG_SZ, "", ""}, {REG_SZ, "abc", "abc"} /* all kept */,
             {REG_MULTI_SZ, "a\0bc\0\0"s, "a\0bc\0"s}, {REG_DWORD_BIG_ENDIAN, "\x80\x01\x02\x03", int32_t(0x80010203)},
             {REG_EXPAND_SZ, "%PELLORY_TEST_DIR%\\x.txt\0"s, "C:\\Pellory Dir\\x.txt"},
             {REG_DWORD, "\x01\0\0\x80"s, int32_t(0x80000001)}, {REG_DWORD, "\x34\x12", int32_t{0x1234}},
             {REG_NONE, "\x07\0"s, ByteArray{7, 0}}, {REG_QWORD, "\1\2\3\4\5\6\7\x08", ByteArray{1, 2, 3, 4, 5, 6, 7, 8}}}) {
        RawSet("v", type, stored);
        cRegistry reg = At("v");
        EXPECT_EQ(reg.Value(), expected) << type << " " << stored;
        EXPECT_EQ(reg.ValueType(), static_cast<int32_t>(type));
    }
}

TEST_F(Registry, WriteStoresTheExpectedTypeAndBytes) {
    for (const auto& [type, value, stored] : std::initializer_list<std::tuple<int32_t, Variant, std::string>>{
             {REG_SZ, "abc", Sz("abc")}, {REG_SZ, int32_t{42}, Sz("42")}, {REG_SZ, "50%", Sz("50%")},
             {REG_SZ, "100%%", Sz("100%%")}, {REG_SZ, "%TEMP%\\a.txt", "2:%TEMP%\\a.txt\0"s},
             {REG_EXPAND_SZ, "plain", Sz("plain")}, {REG_DWORD, int32_t{-2}, "4:\xFE\xFF\xFF\xFF"},
             {REG_DWORD_BIG_ENDIAN, int16_t{3}, "4:\x03\0\0\0"s}, {REG_DWORD, "12", ""}, {REG_DWORD, 2.0, ""},
             {REG_BINARY, ByteArray{0, 1, 0xFE}, "3:\0\1\xFE"s}, {REG_BINARY, ByteArray{}, "3:"}}) {
        TearDown();
        cRegistry reg = At("w", type);
        reg.SetValue(value);
        // "" (not "no key"): the key was made, the value not; the write keeps the caller's type.
        EXPECT_EQ(std::pair(RawGet(kSection, "w"), reg.ValueType()), std::pair(stored, type)) << value.DisplayText();
    }
}

TEST_F(Registry, RefusedWritesRaiseAndWriteNothing) {
    ExpectRaised([] { cRegistry reg; reg.SetValueType(REG_DWORD); reg.SetValue(int32_t{1}); }, 26001,
                 "Failed to set registry value Key: '0',Section: '',Key: '' to value: '1'");
    for (int32_t type : {0, -1, REG_MULTI_SZ, REG_QWORD})
        ExpectRaised([&] { At("Costume", type).SetValue(int16_t{3}); }, -2147194455, kSetFailed + "Costume' to value: '3'");
    // A byte array has no text to store as a string; a binary write takes nothing else.
    ExpectRaised([] { At("Costume", REG_SZ).SetValue(ByteArray{1, 0xAB}); }, -2147194455,
                 kSetFailed + "Costume' to value: '01 AB'");
    for (const Variant& v : {Variant("01"), Variant(int32_t{1}), Variant()})
        ExpectRaised([&] { At("Costume", REG_BINARY).SetValue(v); }, 26001, "");
    ExpectRaised([] { cRegistry reg = At("m", REG_DWORD); reg.SetMachine("PelloryNoSuchHost"); reg.SetValue(int16_t{3}); },
                 26001, kSetFailed + "m' to value: '3'");
    EXPECT_EQ(RawGet(kSection, "Costume") + RawGet(kSection, "m"), "");
}

TEST_F(Registry, MachineIsNormalisedAndValueExSetsTheFields) {
    cRegistry reg;  // every name that is stored empty follows one that is not
    for (const auto& [given, held] : std::initializer_list<std::pair<const char*, const char*>>{
             {"\\\\abc", "\\\\abc"}, {"ab", ""}, {"abc", "\\\\abc"}, {"", ""}, {"\\abc", "\\\\\\abc"}, {"\\\\", ""}}) {
        reg.SetMachine(given);
        EXPECT_EQ(reg.Machine(), held) << given;
    }
    RawSet("x", REG_SZ, "stored\0"s);
    EXPECT_EQ(reg.ValueEx(cRegistry::HKeyCurrentUser, kSection, "x", REG_DWORD, "dflt"), Variant("stored"));
    // With the string type an empty value falls back to Default, in the caller's variable too.
    // (The dword case first, while nothing is stored.)
    for (const auto& [type, given, after, stored] : std::initializer_list<std::tuple<int32_t, Variant, Variant, std::string>>{
             {REG_DWORD, {}, {}, ""}, {REG_SZ, "", "dflt", Sz("dflt")}, {REG_SZ, "given", "given", Sz("given")}}) {
        Variant value = given;
        reg.SetValueEx(cRegistry::HKeyCurrentUser, kSection, "e", type, "dflt", value);
        EXPECT_EQ(std::pair(value, RawGet(kSection, "e")), std::pair(after, stored));
    }
}

TEST_F(Registry, KeysAreCreatedAndDeletedOrRaise) {
    EXPECT_FALSE(cRegistry().KeyExists());
    cRegistry reg = At("", 0, "Made\\Deeper");
    reg.SetMachine("PelloryNoSuchHost");  // not consulted by key operations
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey() && reg.KeyExists() && reg.CreateKey()) << "an existing key counts as created too";
    EXPECT_TRUE(reg.DeleteKey() && !reg.KeyExists());
    EXPECT_TRUE(At("", 0, "Made").KeyExists()) << "only the last component is deleted";
    for (const char* name : {"a", "b"}) RawSet(name, REG_DWORD, "\2\0\0\0"s);
    EXPECT_TRUE(At("a").DeleteValue());
    EXPECT_EQ(RawGet(kSection, "a") + "," + RawGet(kSection, "b"), ",4:\2\0\0\0"s);

    ExpectRaised([] { cRegistry().CreateKey(); }, 26001, "Failed to create registry Key: '");
    ExpectRaised([] { At("v", 0, "Missing").DeleteKey(); }, 26001, "Failed to delete registry Key: '" + kHkcu + "\\Missing");
    ExpectRaised([] { At("v", 0, "Missing").DeleteValue(); }, 26001,
                 "Failed to open key '" + kHkcu + "\\Missing' for delete access");
    ExpectRaised([] { At("nope").DeleteValue(); }, 26001, "Failed to delete registry Key: '" + kHkcu + "',Key: 'nope");
    EXPECT_EQ(RawGet(Path("Missing"), ""), "no key") << "DeleteValue must not create the key";
}

// The key has a class string and names longer than the usual buffers; entry 0 of the lists is unused.
TEST_F(Registry, EnumerationsListNamesFromOne) {
    HKEY key = nullptr;
    char keyClass[] = "PelloryTestClass";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSection.c_str(), 0, keyClass, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    const std::string longValue(300, 'n'), longKey(255, 'k');  // made relative: a long ANSI path is refused
    for (const std::string& sub : {"alpha\\child"s, longKey}) EXPECT_EQ(RegSetKeyValueA(key, sub.c_str(), "", 0, "", 0), 0);
    RegCloseKey(key);
    ASSERT_TRUE(At("", 0, "zeta").CreateKey());
    for (const std::string& name : {""s, "Named"s, longValue}) RawSet(name, REG_DWORD, "\1\0\0\0"s);
    std::vector<std::string> values{"stale"}, sections;
    int32_t valueCount = -1, sectionCount = -1;
    EXPECT_TRUE(At("").EnumerateValues(values, valueCount) && At("").EnumerateSections(sections, sectionCount));
    EXPECT_EQ(values, (std::vector<std::string>{"", "", "Named", longValue})) << "in the registry's order";
    std::sort(sections.begin() + (sections.empty() ? 0 : 1), sections.end());
    EXPECT_EQ(sections, (std::vector<std::string>{"", "alpha", longKey, "zeta"})) << "a 255-character name ends nothing";
    EXPECT_EQ(std::pair(valueCount, sectionCount), std::pair(3, 3));
    // A missing or an empty key gives an empty list.
    for (const char* sub : {"Missing", "zeta"}) {
        const cRegistry reg = At("", 0, sub);
        EXPECT_TRUE(reg.EnumerateValues(values, valueCount) && reg.EnumerateSections(sections, sectionCount));
        EXPECT_EQ(std::tuple(valueCount, sectionCount, values.size() + sections.size()), std::tuple(0, 0, 0u)) << sub;
    }
}

TEST_F(Registry, AssociationWritesTheChosenVerbsUnderBothRoots) {
    cRegistry reg;
    reg.SetValueKey("stale");
    reg.CreateEXEAssociation("C:\\Tools\\app.exe ", kClass, "Doc", kExt);
    ExpectAssociation("\"C:\\Tools\\app.exe\"", {});
    EXPECT_EQ(std::tuple(reg.ClassKey(), reg.SectionKey(), reg.ValueKey(), reg.ValueType()),
              std::tuple(cRegistry::HKeyLocalMachine, kVerb + "open\\command", ""s, REG_SZ));

    TearDown();
    reg.CreateEXEAssociation("  \"C:\\My Tools\\app.exe\" ", kClass, "Doc", kExt, "Show", true, "", true, "Make", true, "", 0);
    const std::string app = "\"C:\\My Tools\\app.exe\"";
    ExpectAssociation(app,
                      {{kVerb + "print|", Sz("&Print")}, {kVerb + "print\\command|", Sz(app + " /p \"%1\"")},
                       {kVerb + "add|", Sz("&Install " + kExt)}, {kVerb + "add\\command|", Sz(app + " /a \"%1\"")},
                       {kVerb + "new|", Sz("Make")}, {kVerb + "new\\command|", Sz(app + " /n \"%1\"")},
                       {kClass + "\\DefaultIcon|", Sz(app + ",0")}}, "Show");
}

TEST_F(Registry, AdditionalVerbsNeedTripletsAndARegisteredClass) {
    const std::vector<Variant> six = {"edit", "&Edit", "app.exe /e", "view", "&View", "app.exe /v"};
    const std::string badList =
        "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command";
    cRegistry reg;
    reg.SetClassKey(cRegistry::HKeyClassesRoot);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, {six.begin(), six.begin() + 5}); }, -2147194452, badList);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, {}); }, -2147194452, badList);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, six); }, -2147194451, kNoClass);
    ExpectAssociation("", {});
    // Registered, but looked for under the root that registration leaves behind.
    reg.CreateEXEAssociation("C:\\app.exe", kClass, "Doc", kExt);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, six); }, -2147194451, kNoClass);

    reg.SetClassKey(cRegistry::HKeyClassesRoot);
    const ByteArray noText{1, 2};  // a group without a verb name, one without a menu text
    reg.CreateAdditionalEXEAssociations(kClass, {"edit", "&Edit", "app.exe /e", noText, "&Broken", "never written",
                                                 "view", noText, "app.exe /v", "play", "&Play", int32_t{5}});
    ExpectAssociation("\"C:\\app.exe\"", {{kVerb + "edit|", Sz("&Edit")}, {kVerb + "edit\\command|", Sz("app.exe /e")},
                                          {kVerb + "view\\command|", Sz("app.exe /v")}, {kVerb + "play|", Sz("&Play")},
                                          {kVerb + "play\\command|", Sz("5")}});
    EXPECT_EQ(reg.SectionKey(), kVerb + "play\\command");
}
