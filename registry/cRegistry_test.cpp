#include "registry/cRegistry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "platform/error.h"

using namespace std::string_literals;
using Tree = std::map<std::string, std::string>;
using Names = std::vector<std::string>;

// The program's import table entries, swapped to watch the registry calls cRegistry makes.
extern "C" decltype(&RegEnumValueA) __imp_RegEnumValueA;
extern "C" decltype(&RegCreateKeyExA) __imp_RegCreateKeyExA;

namespace {
const std::string kSection = "Software\\Quarrystone\\PelloryTests", kExt = "pellorytestext", kClass = "PelloryTest.Doc";
const std::string kHkcu = "-2147483647',Section: '" + kSection, kVerb = kClass + "\\shell\\", kNoHost = "PelloryNoSuchHost";
const std::string kSetFailed = "Failed to set registry value Key: '" + kHkcu + "',Key: '";

// A value read past cRegistry as "type:bytes", or empty when it (or its key) is missing.
std::string RawGet(const std::string& section, const std::string& name, HKEY root = HKEY_CURRENT_USER) {
    DWORD type = 0, size = 1024;
    std::string data(size, '\0');
    LONG result = RegGetValueA(root, section.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
    return result == ERROR_SUCCESS ? std::to_string(type) + ":" + data.substr(0, size) : "";
}

void RawSet(const std::string& name, DWORD type, const std::string& data) {
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kSection.c_str(), name.c_str(), type, data.data(), DWORD(data.size())), 0);
}

// Every value below `path` in HKEY_CLASSES_ROOT as "key|name" -> "type:bytes".
void Collect(const std::string& path, Tree& tree) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[512];
    DWORD n = 0;
    for (DWORD i = 0; n = sizeof name, RegEnumValueA(key, i++, name, &n, nullptr, nullptr, nullptr, nullptr) == 0;)
        tree[path + "|" + std::string(name, n)] = RawGet(path, std::string(name, n), HKEY_CLASSES_ROOT);
    for (DWORD i = 0; n = sizeof name, RegEnumKeyExA(key, i++, name, &n, nullptr, nullptr, nullptr, nullptr) == 0;)
        Collect(path + "\\" + std::string(name, n), tree);
    RegCloseKey(key);
}

// `sub` is appended to the tests' key as it is: empty, or starting with a backslash.
cRegistry At(const std::string& name, int32_t type = 0, const std::string& sub = "", const std::string& machine = "") {
    cRegistry reg;
    reg.SetClassKey(cRegistry::HKeyCurrentUser), reg.SetSectionKey(kSection + sub);
    reg.SetValueKey(name), reg.SetValueType(type), reg.SetMachine(machine);
    return reg;
}

// Fails unless the call raises `number` with `description` and our source; the number alone carries no source.
void ExpectRaised(const std::function<void()>& call, int32_t number, const std::string& description) {
    platform::Error e(0, "", "nothing raised");
    try { call(); } catch (const platform::Error& raised) { e = raised; }
    EXPECT_EQ(std::tuple(e.Number(), e.Source(), e.Description()),
              std::tuple(number, description.empty() ? "" : "registry_tests.cRegistry", description));
}

std::string Sz(const std::string& text) { return "1:" + text + '\0'; }

// Stands in for RegEnumValueA: before the first name is fetched it adds one longer than any there was.
decltype(&RegEnumValueA) realEnumValue;
LONG WINAPI EnumValueMeetingANewName(HKEY key, DWORD i, LPSTR name, LPDWORD n, LPDWORD, LPDWORD, LPBYTE, LPDWORD) {
    if (i == 0) RawSet(std::string(400, 'z'), REG_DWORD, "\1\0\0\0"s);
    return realEnumValue(key, i, name, n, nullptr, nullptr, nullptr, nullptr);
}

// Stands in for RegCreateKeyExA: notes the keys opened for writing under the two class roots, and can refuse
// the machine-wide one as Windows does to a user without administrative rights.
decltype(&RegCreateKeyExA) realCreateKey;
std::map<HKEY, std::set<std::string>> written;
bool userOnly = false;
LONG WINAPI CreateKeyNoted(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                           LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
    if (root == HKEY_CLASSES_ROOT || root == HKEY_LOCAL_MACHINE) written[root].insert(path);
    if (userOnly && root == HKEY_LOCAL_MACHINE) return ERROR_ACCESS_DENIED;
    return realCreateKey(root, path, reserved, keyClass, options, access, security, key, disposition);
}
}  // namespace

// The tests' own key and file type, removed first and last.
class Registry : public ::testing::Test {
protected:
    Registry() { realCreateKey = std::exchange(__imp_RegCreateKeyExA, CreateKeyNoted), written.clear(); }
    ~Registry() override { __imp_RegCreateKeyExA = realCreateKey; }
    void SetUp() override { TearDown(); }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSection.c_str());
        for (const std::string& prefix : {""s, "SOFTWARE\\Classes\\"s})
            for (const std::string& key : {"." + kExt, kClass})
                RegDeleteTreeA(prefix.empty() ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE, (prefix + key).c_str());
    }
    // The extension and class as registered for "app" with its open verb, plus `more`: the same under both roots.
    static void ExpectAssociation(const std::string& app, const Tree& more = {}, const std::string& open = "&Open") {
        Tree expected{{"." + kExt + "|", Sz(kClass)}, {kClass + "|", Sz("Doc")}, {kVerb + "open|", Sz(open)},
                      {kVerb + "open\\command|", Sz(app + " \"%1\"")}};
        expected.insert(more.begin(), more.end());
        Tree tree;
        for (const std::string& key : {"." + kExt, kClass}) Collect(key, tree);
        EXPECT_EQ(tree, app.empty() ? Tree{} : expected);
        // Wine keeps one tree for both roots: the machine-wide copy shows only in the keys written to it.
        std::set<std::string> machineWide;
        for (const std::string& key : written[HKEY_CLASSES_ROOT]) machineWide.insert("SOFTWARE\\Classes\\" + key);
        EXPECT_EQ(written[HKEY_LOCAL_MACHINE], machineWide);
        written.clear();
    }
};

TEST_F(Registry, ReadYieldsTheStoredValueAndTypeOrDefault) {
    RawSet("there", REG_DWORD, "\1\0\0\0"s);
    // A missing value, a missing key, an unreachable machine: Default, and ValueType as it was.
    for (const auto& [name, sub, machine] : std::initializer_list<std::tuple<const char*, const char*, std::string>>{
             {"missing", "", ""}, {"there", "\\NoSuchKey", ""}, {"there", "", kNoHost}}) {
        cRegistry reg = At(name, REG_BINARY, sub, machine);
        reg.SetDefault("fallback");
        EXPECT_EQ((std::pair{reg.Value(), reg.ValueType()}), std::pair(Variant("fallback"), REG_BINARY)) << sub << machine;
    }
    EXPECT_FALSE(At("", 0, "\\NoSuchKey").KeyExists()) << "a read must not create the key";
    SetEnvironmentVariableA("PELLORY_TEST_DIR", "C:\\Pellory Dir");
    for (const auto& [type, stored, expected] : std::initializer_list<std::tuple<DWORD, std::string, Variant>>{
             {REG_SZ, "Hello\0"s, "Hello"}, {REG_SZ, "\0"s, ""}, {REG_SZ, "", ""}, {REG_SZ, "abc", "abc"} /* all kept */,
             {REG_MULTI_SZ, "a\0bc\0\0"s, "a\0bc\0"s}, {REG_DWORD_BIG_ENDIAN, "\x80\x01\x02\x03", int32_t(0x80010203)},
             {REG_EXPAND_SZ, "%PELLORY_TEST_DIR%\\x.txt\0"s, "C:\\Pellory Dir\\x.txt"},
             {REG_DWORD, "\x01\0\0\x80"s, int32_t(0x80000001)}, {REG_DWORD, "\x34\x12", int32_t{0x1234}},
             {REG_NONE, "\x07\0"s, ByteArray{7, 0}}, {REG_QWORD, "\1\2\3\4\5\6\7\x08", ByteArray{1, 2, 3, 4, 5, 6, 7, 8}}}) {
        RawSet("v", type, stored);
        cRegistry reg = At("v");
        EXPECT_EQ((std::pair{reg.Value(), reg.ValueType()}), std::pair(expected, int32_t(type))) << type << " " << stored;
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
        // The key is made even where the value is not; the write keeps the caller's type.
        EXPECT_EQ(std::tuple(RawGet(kSection, "w"), reg.ValueType(), reg.KeyExists()), std::tuple(stored, type, true))
            << value.DisplayText();
    }
    // ValueEx sets the fields; with the string type an empty value becomes Default, in the caller's variable too.
    cRegistry reg;
    EXPECT_EQ(reg.ValueEx(cRegistry::HKeyCurrentUser, kSection, "w", REG_DWORD, "dflt"), Variant(ByteArray{}));
    for (const auto& [type, given, after, stored] : std::initializer_list<std::tuple<int32_t, Variant, Variant, std::string>>{
             {REG_DWORD, {}, {}, ""}, {REG_SZ, "", "dflt", Sz("dflt")}, {REG_SZ, "given", "given", Sz("given")}}) {
        Variant value = given;
        reg.SetValueEx(cRegistry::HKeyCurrentUser, kSection, "e", type, "dflt", value);
        EXPECT_EQ(std::pair(value, RawGet(kSection, "e")), std::pair(after, stored));
    }
}

TEST_F(Registry, MachineIsNormalisedAndTheLocalComputersOwnNameReachesTheRegistry) {
    cRegistry reg;
    Names held;  // every name that is stored empty follows one that is not
    for (const char* given : {"\\\\abc", "ab", "abc", "", "\\abc", "\\\\"}) reg.SetMachine(given), held.push_back(reg.Machine());
    EXPECT_EQ(held, (Names{"\\\\abc", "", "\\\\abc", "", "\\\\\\abc", ""}));
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &length));
    reg = At("far", REG_SZ, "", name);
    reg.SetValue("written");
    EXPECT_EQ(RawGet(kSection, "far"), Sz("written"));
    RawSet("far", REG_DWORD, "\5\0\0\0"s);
    EXPECT_EQ((std::pair{reg.Value(), reg.ValueType()}), std::pair(Variant(int32_t{5}), REG_DWORD));
}

TEST_F(Registry, RefusalsRaiseTheirNumberAndTextAndWriteNothing) {
    ExpectRaised([] { cRegistry reg; reg.SetValueType(REG_DWORD); reg.SetValue(int32_t{1}); }, 26001,
                 "Failed to set registry value Key: '0',Section: '',Key: '' to value: '1'");
    for (int32_t type : {0, -1, REG_MULTI_SZ, REG_QWORD})
        ExpectRaised([&] { At("Costume", type).SetValue(int16_t{3}); }, -2147194455, kSetFailed + "Costume' to value: '3'");
    // A byte array has no text to store as a string; a binary write takes nothing else.
    ExpectRaised([] { At("Costume", REG_SZ).SetValue(ByteArray{1, 0xAB}); }, -2147194455,
                 kSetFailed + "Costume' to value: '01 AB'");
    for (const Variant& v : {Variant("01"), Variant(int32_t{1}), Variant()})
        ExpectRaised([&] { At("Costume", REG_BINARY).SetValue(v); }, 26001, "");
    EXPECT_EQ(RawGet(kSection, "Costume"), "");

    ExpectRaised([] { cRegistry().CreateKey(); }, 26001, "Failed to create registry Key: '");
    ExpectRaised([] { At("v", 0, "\\Gone").DeleteKey(); }, 26001, "Failed to delete registry Key: '" + kHkcu + "\\Gone");
    ExpectRaised([] { At("v", 0, "\\Gone").DeleteValue(); }, 26001, "Failed to open key '" + kHkcu + "\\Gone' for delete access");
    ExpectRaised([] { At("nope").DeleteValue(); }, 26001, "Failed to delete registry Key: '" + kHkcu + "',Key: 'nope");
    EXPECT_FALSE(At("", 0, "\\Gone").KeyExists()) << "DeleteValue must not create the key";
}

TEST_F(Registry, KeysAreCreatedAndDeletedOnTheLocalRegistry) {
    cRegistry reg = At("", 0, "\\Made\\Deeper", kNoHost);  // Machine is not consulted by key operations
    EXPECT_FALSE(reg.KeyExists() || cRegistry().KeyExists());
    EXPECT_TRUE(reg.CreateKey() && reg.KeyExists() && reg.CreateKey()) << "an existing key counts as created too";
    EXPECT_TRUE(reg.DeleteKey() && !reg.KeyExists() && At("", 0, "\\Made").KeyExists()) << "only the last one goes";
    for (const char* name : {"a", "b"}) RawSet(name, REG_DWORD, "\2\0\0\0"s);
    EXPECT_TRUE(At("a").DeleteValue());
    EXPECT_EQ(RawGet(kSection, "a") + "," + RawGet(kSection, "b"), ",4:\2\0\0\0"s);
}

// Entry 0 of the lists is unused.
TEST_F(Registry, EnumerationsListNamesFromOne) {
    for (const char* sub : {"\\alpha\\child", "\\zeta"}) ASSERT_TRUE(At("", 0, sub).CreateKey());
    for (const std::string& name : {""s, "Named"s}) RawSet(name, REG_DWORD, "\1\0\0\0"s);
    Names values{"stale"}, sections;
    int32_t valueCount = -1, sectionCount = -1;
    EXPECT_TRUE(At("").EnumerateValues(values, valueCount) && At("").EnumerateSections(sections, sectionCount));
    std::sort(sections.begin() + (sections.empty() ? 0 : 1), sections.end());
    EXPECT_EQ(std::tuple(values, valueCount, sections, sectionCount),  // values in the registry's order
              std::tuple(Names{"", "", "Named"}, 2, Names{"", "alpha", "zeta"}, 2));
    for (const char* sub : {"\\Missing", "\\zeta"}) {  // a missing or an empty key: an empty list
        EXPECT_TRUE(At("", 0, sub).EnumerateValues(values, valueCount) && At("", 0, sub).EnumerateSections(sections, sectionCount));
        EXPECT_EQ(std::tuple(valueCount, sectionCount, values.size() + sections.size()), std::tuple(0, 0, 0u)) << sub;
    }
    // A name added while the listing runs, longer than the buffer sized at its start: the buffer grows.
    realEnumValue = std::exchange(__imp_RegEnumValueA, EnumValueMeetingANewName);
    At("").EnumerateValues(values, valueCount);
    __imp_RegEnumValueA = realEnumValue;
    EXPECT_EQ(values, (Names{"", "", "Named", std::string(400, 'z')}));
}

TEST_F(Registry, AssociationsWriteTheChosenVerbsUnderBothRootsAndStopWhereAWriteFails) {
    cRegistry reg;
    reg.SetValueKey("stale");
    const std::string rootValue = RawGet("", "", HKEY_CLASSES_ROOT);
    ExpectRaised([&] { reg.CreateEXEAssociation("C:\\app.exe", "", "Doc", kExt); }, -2147194452,
                 "Invalid class name passed to CreateEXEAssociation - expected a name");
    EXPECT_EQ(std::tuple(RawGet("", "", HKEY_CLASSES_ROOT), reg.ValueKey()), std::tuple(rootValue, "stale")) << "nothing written";
    ExpectAssociation("");
    reg.CreateEXEAssociation("  \"C:\\My Tools\\app.exe\" ", kClass, "Doc", kExt, "Show", true, "", true, "Make", true, "", 0);
    const std::string app = "\"C:\\My Tools\\app.exe\"";
    ExpectAssociation(app, {{kVerb + "print|", Sz("&Print")}, {kVerb + "print\\command|", Sz(app + " /p \"%1\"")},
                            {kVerb + "add|", Sz("&Install " + kExt)}, {kVerb + "add\\command|", Sz(app + " /a \"%1\"")},
                            {kVerb + "new|", Sz("Make")}, {kVerb + "new\\command|", Sz(app + " /n \"%1\"")},
                            {kClass + "\\DefaultIcon|", Sz(app + ",0")}}, "Show");
    TearDown();
    reg.CreateEXEAssociation("C:\\Tools\\app.exe ", kClass, "Doc", kExt);
    ExpectAssociation("\"C:\\Tools\\app.exe\"");
    EXPECT_EQ(std::tuple(reg.ClassKey(), reg.SectionKey(), reg.ValueKey(), reg.ValueType()),
              std::tuple(cRegistry::HKeyLocalMachine, kVerb + "open\\command", ""s, REG_SZ));
    // Every write to an unreachable machine fails: registration stops at its first write.
    reg.SetMachine(kNoHost);
    ExpectRaised([&] { reg.CreateEXEAssociation("C:\\other.exe", kClass, "Other", kExt); }, 26001,
                 "Failed to set registry value Key: '-2147483648',Section: '." + kExt + "',Key: '' to value: '" + kClass + "'");
    ExpectAssociation("\"C:\\Tools\\app.exe\"");
    // Refused the machine-wide root, it stops at the first write's second half: the user's half stays.
    TearDown();
    reg.SetMachine(""), userOnly = true;
    ExpectRaised([&] { reg.CreateEXEAssociation("C:\\app.exe", kClass, "Doc", kExt); }, 26001,
                 "Failed to set registry value Key: '-2147483646',Section: 'SOFTWARE\\Classes\\." + kExt +
                     "',Key: '' to value: '" + kClass + "'");
    userOnly = false;
    EXPECT_EQ(std::tuple(reg.SectionKey(), RawGet("." + kExt, "", HKEY_CLASSES_ROOT)), std::tuple("." + kExt, Sz(kClass)));
}

TEST_F(Registry, AdditionalVerbsNeedTripletsAndARegisteredClassAndPassOverAGroupThatFails) {
    const std::vector<Variant> six = {"edit", "&Edit", "app.exe /e", "view", "&View", "app.exe /v"};
    const std::string badList = "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command";
    cRegistry reg;
    reg.SetClassKey(cRegistry::HKeyClassesRoot);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, {six.begin(), six.begin() + 5}); }, -2147194452, badList);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, {}); }, -2147194452, badList);
    ExpectRaised([&] { reg.CreateAdditionalEXEAssociations(kClass, six); }, -2147194451,
                 "Error - attempt to create additional associations before class defined.");
    ExpectAssociation("");
    reg.CreateEXEAssociation("C:\\app.exe", kClass, "Doc", kExt);
    reg.SetClassKey(cRegistry::HKeyClassesRoot);  // registration leaves HKEY_LOCAL_MACHINE, where the class is not found
    const ByteArray noText{1, 2};                 // a group without a verb name, one without a menu text
    reg.CreateAdditionalEXEAssociations(kClass, {"edit", "&Edit", "app.exe /e", noText, "&Broken", "never written",
                                                 "view", noText, "app.exe /v", "play", "&Play", int32_t{5}});
    const Tree verbs{{kVerb + "edit|", Sz("&Edit")}, {kVerb + "edit\\command|", Sz("app.exe /e")},
                     {kVerb + "view\\command|", Sz("app.exe /v")}, {kVerb + "play|", Sz("&Play")}, {kVerb + "play\\command|", Sz("5")}};
    ExpectAssociation("\"C:\\app.exe\"", verbs);
    EXPECT_EQ(reg.SectionKey(), kVerb + "play\\command");
    // With an unreachable machine every write fails while the class is still found locally: all are passed
    // over, what stood stays, and SectionKey is left without the machine-wide prefix.
    reg.SetMachine(kNoHost), reg.SetClassKey(cRegistry::HKeyClassesRoot);
    reg.CreateAdditionalEXEAssociations(kClass, {"edit", "&Changed", "other.exe", "more", "&More", "other.exe /m"});
    ExpectAssociation("\"C:\\app.exe\"", verbs);
    EXPECT_EQ(reg.SectionKey(), kVerb + "more\\command");
}
