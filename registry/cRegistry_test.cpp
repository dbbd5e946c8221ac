#include "registry/cRegistry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/error.h"
#include "platform/text.h"

using namespace std::string_literals;
using platform::Narrow, platform::Widen;
using Names = std::vector<std::string>;
using Keys = std::set<std::string>;
using Tree = std::map<std::string, std::string>;  // key path -> its unnamed value as RawGet shows it

// The program's import table entries, swapped to watch the registry calls cRegistry makes.
extern "C" decltype(&RegEnumValueW) __imp_RegEnumValueW;
extern "C" decltype(&RegCreateKeyExW) __imp_RegCreateKeyExW;

namespace {
// Text beyond any single code page, in the tests' own key path, value names and data.
const std::string kText = "Да, 日本語 ✓", kSection = "Software\\Quarrystone\\PelloryTests " + kText, kExt = "pellorytestext";
const std::string kHkcu = "-2147483647',Section: '" + kSection, kClass = "PelloryTest.Doc", kVerb = kClass + "\\shell\\",
                  kNoHost = "PelloryNoSuchHost", kApp = "\"C:\\Tools\\app.exe\"";

// Another program's view: text in the registry is UTF-16, shown here as UTF-8.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// A value read past cRegistry as "type:data", or empty when it (or its key) is missing.
std::string RawGet(const std::string& section, const std::string& name, HKEY root = HKEY_CURRENT_USER) {
    wchar_t data[512];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueW(root, Widen(section).c_str(), Widen(name).c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size)) return "";
    return std::to_string(type) + ":" + (IsText(type) ? Narrow({data, size / 2}) : std::string(reinterpret_cast<char*>(data), size));
}

// Text is stored as given: the system counts a null character that follows text not ending in one, so none follows.
void RawSet(const std::string& name, DWORD type, std::string data) {
    if (const std::wstring text = Widen(data); IsText(type)) data.assign(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    const auto size = DWORD(data.size());
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Widen(kSection).c_str(), Widen(name).c_str(), type, (data + "zz").data(), size), 0);
}

std::string Sz(const std::string& text) { return "1:" + text + '\0'; }
std::pair<Variant, int32_t> Read(cRegistry reg) { return {reg.Value(), reg.ValueType()}; }
// `key` is the root's number and the key path as the message shows them.
std::string SetFailed(const std::string& value, const std::string& key = kHkcu, const std::string& name = kText) {
    return "Failed to set registry value Key: '" + key + "',Key: '" + name + "' to value: '" + value + "'";
}

cRegistry At(const std::string& name, int32_t type = 0, const std::string& sub = "", const std::string& machine = "") {
    cRegistry reg;
    reg.SetClassKey(cRegistry::HKeyCurrentUser), reg.SetSectionKey(kSection + sub), reg.SetValueKey(name), reg.SetValueType(type);
    return reg.SetMachine(machine), reg;
}

// Fails unless the call raises `number` with `description` and our source; the number alone carries no source,
// and number 0 stands for nothing raised.
void ExpectRaised(auto&& call, int32_t number, const std::string& description) {
    platform::Error e(0, "", "");
    try { call(); } catch (const platform::Error& raised) { e = raised; }
    EXPECT_EQ(std::tuple(e.Number(), e.Source(), e.Description()),
              std::tuple(number, description.empty() ? "" : "registry_tests.cRegistry", description));
}

// Stand-ins for the registry calls, their other parameters passed on as they come (x64 has one calling convention).
// Before the first name is fetched this one adds a value with a name longer than any there was.
decltype(&RegEnumValueW) realEnumValue;
template <typename... Rest> LONG EnumValueMeetingANewName(HKEY key, DWORD i, Rest... rest) {
    if (i == 0) RawSet(std::string(400, 'z'), REG_DWORD, "\1\0\0\0"s);
    return realEnumValue(key, i, rest...);
}
// This one notes the keys opened for writing under the two class roots, and can refuse the machine-wide one as
// Windows does to a user without administrative rights.
decltype(&RegCreateKeyExW) realCreateKey;
std::map<HKEY, Keys> written;
bool userOnly = false;
template <typename... Rest> LONG CreateKeyNoted(HKEY root, LPCWSTR path, Rest... rest) {
    if (root == HKEY_CLASSES_ROOT || root == HKEY_LOCAL_MACHINE) written[root].insert(Narrow(path));
    return userOnly && root == HKEY_LOCAL_MACHINE ? ERROR_ACCESS_DENIED : realCreateKey(root, path, rest...);
}

// The values stored for the class keys in `stored`, and the keys written since the last look: those same keys
// (none when `wrote` is false) under HKEY_CLASSES_ROOT and under SOFTWARE\Classes of HKEY_LOCAL_MACHINE.
// Wine keeps one tree for both roots: the machine-wide copy shows only in the writes.
void ExpectClasses(const Tree& stored, bool wrote = true) {
    Tree got;
    Keys keys, machineWide;
    for (const auto& [key, value] : stored) got[key] = RawGet(key, "", HKEY_CLASSES_ROOT), keys.insert(key);
    for (const std::string& key : keys) machineWide.insert("SOFTWARE\\Classes\\" + key);
    EXPECT_EQ(std::tuple(got, written[HKEY_CLASSES_ROOT], written[HKEY_LOCAL_MACHINE]),
              std::tuple(stored, wrote ? keys : Keys{}, wrote ? machineWide : Keys{}));
    written.clear();
}

void Clean() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kSection).c_str());
    for (const std::string& key : {"." + kExt, kClass})
        RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str()), RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\" + key).c_str());
    written.clear(), userOnly = false;
}
}  // namespace

// The tests' own key and file type, removed first and last; class-root writes watched.
struct Registry : ::testing::Test {
    void SetUp() override { realCreateKey = __imp_RegCreateKeyExW, __imp_RegCreateKeyExW = CreateKeyNoted, Clean(); }
    void TearDown() override { __imp_RegCreateKeyExW = realCreateKey, Clean(); }
};

TEST_F(Registry, ReadYieldsTheStoredValueAndTypeOrDefault) {
    SetEnvironmentVariableA("PELLORY_TEST_DIR", "C:\\Pellory Dir");
    // Text without its terminator keeps all its bytes; short numbers are padded.
    for (const auto& [type, stored, expected] : std::initializer_list<std::tuple<DWORD, std::string, Variant>>{
             {REG_SZ, kText + '\0', kText}, {REG_SZ, "", ""}, {REG_SZ, "abc", "abc"}, {REG_DWORD, "\x34\x12", int32_t{0x1234}},
             {REG_MULTI_SZ, "a\0"s + kText + "\0\0"s, "a\0"s + kText + '\0'}, {REG_DWORD, "\x01\0\0\x80"s, int32_t(0x80000001)},
             {REG_EXPAND_SZ, "%PELLORY_TEST_DIR%\\" + kText + '\0', "C:\\Pellory Dir\\" + kText},
             {REG_DWORD_BIG_ENDIAN, "\x80\x01\x02\x03", int32_t(0x80010203)}, {REG_NONE, "\x07\0"s, ByteArray{7, 0}},
             {REG_QWORD, "\1\2\3\4\5\6\7\x08", ByteArray{1, 2, 3, 4, 5, 6, 7, 8}}}) {
        RawSet("v", type, stored);
        EXPECT_EQ(Read(At("v")), std::pair(expected, int32_t(type))) << type << " " << stored;
    }
    // A missing value, a missing key, an unreachable machine: Default, and ValueType as it was.
    for (cRegistry reg : {At("gone", REG_BINARY), At("v", REG_BINARY, "\\Gone"), At("v", REG_BINARY, "", kNoHost)}) {
        reg.SetDefault("fallback");
        EXPECT_EQ(Read(reg), std::pair(Variant("fallback"), REG_BINARY)) << reg.SectionKey() << reg.Machine();
    }
}

TEST_F(Registry, WriteStoresTheExpectedTypeAndBytesOrRaises) {
    // The bytes stored, and the error (0: none); a refused binary write raises 26001 alone.
    using Row = std::tuple<int32_t, Variant, std::string, int32_t, std::string>;
    for (const auto& [type, value, stored, number, text] : std::initializer_list<Row>{
             {REG_SZ, int32_t{42}, Sz("42"), 0, ""}, {REG_SZ, "100%%", Sz("100%%"), 0, ""}, {REG_EXPAND_SZ, kText, Sz(kText), 0, ""},
             {REG_SZ, "%TEMP%\\" + kText, "2:%TEMP%\\" + kText + '\0', 0, ""}, {REG_DWORD, int32_t{-2}, "4:\xFE\xFF\xFF\xFF", 0, ""},
             {REG_DWORD_BIG_ENDIAN, int16_t{3}, "4:\x03\0\0\0"s, 0, ""}, {REG_DWORD, "12", "", 0, ""}, {REG_DWORD, 2.0, "", 0, ""},
             {REG_BINARY, ByteArray{0, 1, 0xFE}, "3:\0\1\xFE"s, 0, ""}, {REG_BINARY, ByteArray{}, "3:", 0, ""},
             {REG_BINARY, "01", "", 26001, ""}, {REG_QWORD, int16_t{3}, "", -2147194455, SetFailed("3")},
             {REG_SZ, ByteArray{1, 0xAB}, "", -2147194455, SetFailed("01 AB")}}) {
        cRegistry reg = (Clean(), At(kText, type));
        ExpectRaised([&] { reg.SetValue(value); }, number, text);
        // The key is made even where the value is not; the write keeps the caller's type.
        EXPECT_EQ(std::tuple(RawGet(kSection, kText), reg.ValueType(), reg.KeyExists()), std::tuple(stored, type, true)) << text;
    }
    ExpectRaised([] { cRegistry r; r.SetValueType(REG_DWORD); r.SetValue(int32_t{1}); }, 26001, SetFailed("1", "0',Section: '", ""));
}

// Key operations work on the local registry whatever Machine says; entry 0 of the name lists is unused.
TEST_F(Registry, MachineIsNormalisedAndKeysAreMadeAndListedLocally) {
    cRegistry reg;
    Names held;
    for (const char* given : {"\\\\abc", "ab", "abc", "", "\\abc", "\\\\"}) reg.SetMachine(given), held.push_back(reg.Machine());
    EXPECT_EQ(held, (Names{"\\\\abc", "", "\\\\abc", "", "\\\\\\abc", ""}));
    char name[MAX_COMPUTERNAME_LENGTH + 1];  // this computer by name: reachable
    DWORD length = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &length));
    At("far", REG_SZ, "", name).SetValue(kText);
    EXPECT_EQ(std::pair(RawGet(kSection, "far"), Read(At("far", 0, "", name))), std::pair(Sz(kText), std::pair(Variant(kText), REG_SZ)));
    const std::string made = "\\" + kText, deeper = made + "\\Deeper";
    EXPECT_TRUE(At("", 0, deeper, kNoHost).CreateKey() && At("far").DeleteValue());
    // DeleteKey refuses a key that still has a subkey, as the system does, deletes one without, then finds it missing.
    for (const auto& [sub, number] : std::initializer_list<std::pair<std::string, int32_t>>{{made, 26001}, {deeper, 0}, {deeper, 26001}})
        ExpectRaised([&] { EXPECT_TRUE(At("", 0, sub, kNoHost).DeleteKey()); }, number,
                     number ? "Failed to delete registry Key: '" + kHkcu + sub : "");
    RawSet(kText, REG_DWORD, "\1\0\0\0"s);
    Names values{"stale"}, sections;
    int32_t valueCount = -1, sectionCount = -1;
    // A name added while the listing runs, longer than the buffer sized at its start: the buffer grows.
    realEnumValue = __imp_RegEnumValueW, __imp_RegEnumValueW = EnumValueMeetingANewName;
    EXPECT_TRUE(At("").EnumerateValues(values, valueCount) && At("").EnumerateSections(sections, sectionCount));
    __imp_RegEnumValueW = realEnumValue;
    EXPECT_EQ(std::tuple(values, valueCount, sections, sectionCount),
              std::tuple(Names{"", std::string(400, 'z'), kText}, 2, Names{"", kText}, 1));
}

TEST_F(Registry, AssociationsWriteUnderBothRootsAndStopAtTheFirstFailingWrite) {
    cRegistry reg;
    reg.CreateEXEAssociation("  C:\\Tools\\app.exe ", kClass, "Doc", kExt, "", true, "", true, "Make", true, "", 0);
    Tree all{{"." + kExt, Sz(kClass)}, {kClass, Sz("Doc")}, {kVerb + "open", Sz("&Open")}, {kVerb + "new", Sz("Make")},
             {kVerb + "print", Sz("&Print")}, {kVerb + "add", Sz("&Install " + kExt)}, {kClass + "\\DefaultIcon", Sz(kApp + ",0")}};
    for (const std::string& verb : {"open "s, "print /p "s, "add /a "s, "new /n "s})  // the path, the verb's switch, the document
        all[kVerb + verb.substr(0, verb.find(' ')) + "\\command"] = Sz(kApp + verb.substr(verb.find(' ')) + "\"%1\"");
    ExpectClasses(all);
    // Refused before anything is written, what stood stays: a class without a name, a verb list not in threes for
    // the class just registered, and (at its first write) a machine that cannot be reached.
    ExpectRaised([&] { reg.CreateEXEAssociation("C:\\app.exe", "", "Doc", kExt); }, -2147194452,
                 "Invalid class name passed to CreateEXEAssociation - expected a name");
    ExpectRaised([&] { reg.SetClassKey(cRegistry::HKeyClassesRoot), reg.CreateAdditionalEXEAssociations(kClass, {"a", "b", "c", "d", "e"}); },
                 -2147194452, "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    ExpectRaised([&] { reg.SetMachine(kNoHost), reg.CreateEXEAssociation("C:\\x.exe", kClass, "X", kExt); }, 26001,
                 SetFailed(kClass, "-2147483648',Section: '." + kExt, ""));
    ExpectClasses(all, false);
    // Refused the machine-wide root, the first write stops halfway: the user's half stays, SectionKey as it was.
    reg.SetMachine(""), Clean(), userOnly = true;
    ExpectRaised([&] { reg.CreateEXEAssociation("C:\\x.exe", kClass, "X", kExt); }, 26001,
                 SetFailed(kClass, "-2147483646',Section: 'SOFTWARE\\Classes\\." + kExt, ""));
    EXPECT_EQ(reg.SectionKey(), "." + kExt);
    ExpectClasses({{"." + kExt, Sz(kClass)}});
}
