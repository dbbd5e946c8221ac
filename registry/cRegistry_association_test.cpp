#include <windows.h>

#include <map>

#include "registry/cRegistry.h"
#include "registry/registry_test_support.h"

using namespace std::string_literals;
using platform::Variant;
using namespace regtest;

namespace {

const std::string kExt = "pellorytestext";
const std::string kClass = "PelloryTest.Document";
const std::string kMachineClasses = "SOFTWARE\\Classes";

// Every key below a starting point (paths relative to the root given), with its values.
using Tree = std::map<std::string, std::map<std::string, Raw>>;

void Collect(HKEY root, const std::string& path, Tree& tree) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    auto& values = tree[path];
    char name[512];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        std::string valueName(name, length);
        values[valueName] = *RawGet(root, path, valueName);
    }
    std::vector<std::string> subkeys;
    length = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        subkeys.emplace_back(name, length);
    RegCloseKey(key);
    for (const std::string& sub : subkeys) Collect(root, path + "\\" + sub, tree);
}

// What this test's extension and class hold under one root, keys relative to that root's classes.
Tree Written(HKEY root, const std::string& prefix) {
    Tree tree;
    Collect(root, prefix + "." + kExt, tree);
    Collect(root, prefix + kClass, tree);
    Tree relative;
    for (auto& [path, values] : tree) relative[path.substr(prefix.size())] = std::move(values);
    return relative;
}

std::map<std::string, Raw> Text(const std::string& s) { return {{"", Raw{REG_SZ, ToBytes(s + '\0')}}}; }

Tree Registered(const std::string& description, const std::string& command) {
    return {
        {"." + kExt, Text(kClass)},
        {kClass, Text(description)},
        {kClass + "\\shell", {}},
        {kClass + "\\shell\\open", Text("&Open")},
        {kClass + "\\shell\\open\\command", Text(command)},
    };
}

void RemoveEverywhere() {
    for (const std::string& key : {"." + kExt, kClass}) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kMachineClasses + "\\" + key).c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Classes\\" + key).c_str());
    }
}

}  // namespace

class RegistryAssociation : public ::testing::Test {
protected:
    void SetUp() override { RemoveEverywhere(); }
    void TearDown() override { RemoveEverywhere(); }

    // The same keys and values under both roots, and nothing of ours in the per-user classes.
    void ExpectWritten(const Tree& expected) const {
        EXPECT_EQ(Written(HKEY_CLASSES_ROOT, ""), expected);
        EXPECT_EQ(Written(HKEY_LOCAL_MACHINE, kMachineClasses + "\\"), expected);
        EXPECT_TRUE(Written(HKEY_CURRENT_USER, "Software\\Classes\\").empty());
    }
    static void ExpectFieldsAfter(const cRegistry& reg, const std::string& lastSection) {
        EXPECT_EQ(reg.ClassKey(), cRegistry::HKeyLocalMachine);
        EXPECT_EQ(reg.SectionKey(), lastSection);
        EXPECT_EQ(reg.ValueKey(), "");
        EXPECT_EQ(reg.ValueType(), REG_SZ);
    }
};

TEST_F(RegistryAssociation, DefaultsWriteExtensionClassAndOpenVerbOnly) {
    cRegistry reg;
    reg.SetValueKey("stale");
    reg.CreateEXEAssociation("C:\\Tools\\app.exe ", kClass, "Test document", kExt);
    ExpectWritten(Registered("Test document", "\"C:\\Tools\\app.exe\" \"%1\""));
    ExpectFieldsAfter(reg, kClass + "\\shell\\open\\command");
}

TEST_F(RegistryAssociation, EveryVerbAndTheIcon) {
    struct Case {
        const char* what;
        std::string path, quoted;
        std::string open, print, newText, install;
        int32_t icon;
        std::string openShown, printShown, newShown, installShown;
    };
    const Case cases[] = {
        {"quoted path, empty texts take defaults", "\"C:\\Tools\\app.exe\"", "\"C:\\Tools\\app.exe\"", "", "", "", "", 0,
         "&Open", "&Print", "&New", "&Install " + kExt},
        {"own texts, blanks around the path", "  C:\\My Tools\\app.exe  ", "\"C:\\My Tools\\app.exe\"", "Show", "Print it",
         "Make", "Add it", 12, "Show", "Print it", "Make", "Add it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveEverywhere();
        cRegistry reg;
        reg.CreateEXEAssociation(c.path, kClass, "Doc", kExt, c.open, true, c.print, true, c.newText, true, c.install,
                                 c.icon);
        Tree expected = Registered("Doc", c.quoted + " \"%1\"");
        expected[kClass + "\\shell\\open"] = Text(c.openShown);
        expected[kClass + "\\shell\\print"] = Text(c.printShown);
        expected[kClass + "\\shell\\print\\command"] = Text(c.quoted + " /p \"%1\"");
        expected[kClass + "\\shell\\add"] = Text(c.installShown);
        expected[kClass + "\\shell\\add\\command"] = Text(c.quoted + " /a \"%1\"");
        expected[kClass + "\\shell\\new"] = Text(c.newShown);
        expected[kClass + "\\shell\\new\\command"] = Text(c.quoted + " /n \"%1\"");
        expected[kClass + "\\DefaultIcon"] = Text(c.quoted + "," + std::to_string(c.icon));
        ExpectWritten(expected);
        ExpectFieldsAfter(reg, kClass + "\\DefaultIcon");
    }
}

TEST_F(RegistryAssociation, AdditionalVerbsNeedTripletsAndARegisteredClass) {
    const std::vector<Variant> six = {"edit", "&Edit", "app.exe /e \"%1\"", "view", "&View", "app.exe /v \"%1\""};
    struct Case {
        const char* what;
        int32_t classKey;
        std::vector<Variant> items;
        int32_t number;
        std::string description;
    };
    const std::string badList =
        "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command";
    const std::string noClass = "Error - attempt to create additional associations before class defined.";
    const Case cases[] = {
        {"five items", cRegistry::HKeyClassesRoot, {six.begin(), six.begin() + 5}, cRegistry::ErrInvalidItemList, badList},
        {"no items", cRegistry::HKeyClassesRoot, {}, cRegistry::ErrInvalidItemList, badList},
        {"class not registered", cRegistry::HKeyClassesRoot, six, cRegistry::ErrClassNotDefined, noClass},
    };
    for (const Case& c : cases) {
        cRegistry reg;
        reg.SetClassKey(c.classKey);
        platform::Error e = ErrorOf([&] { reg.CreateAdditionalEXEAssociations(kClass, c.items); });
        EXPECT_EQ(e.Number(), c.number) << c.what;
        EXPECT_EQ(e.Source(), "registry_tests.cRegistry") << c.what;
        EXPECT_EQ(e.Description(), c.description) << c.what;
        ExpectWritten({});
    }
    EXPECT_EQ(cRegistry::ErrInvalidItemList, -2147194452);
    EXPECT_EQ(cRegistry::ErrClassNotDefined, -2147194451);

    // Registered, but looked for under the root the registration leaves behind (or none at all).
    cRegistry reg;
    reg.CreateEXEAssociation("app.exe", kClass, "Doc", kExt);
    EXPECT_EQ(ErrorOf([&] { reg.CreateAdditionalEXEAssociations(kClass, six); }).Number(), cRegistry::ErrClassNotDefined);
    EXPECT_EQ(ErrorOf([&] { cRegistry().CreateAdditionalEXEAssociations(kClass, six); }).Number(),
              cRegistry::ErrClassNotDefined);
}

TEST_F(RegistryAssociation, AdditionalVerbsAreWrittenAndBadGroupsPassedOver) {
    cRegistry reg;
    reg.CreateEXEAssociation("C:\\app.exe", kClass, "Doc", kExt);
    reg.SetClassKey(cRegistry::HKeyClassesRoot);
    const platform::ByteArray noText{1, 2};
    reg.CreateAdditionalEXEAssociations(kClass, {"edit", "&Edit", "app.exe /e \"%1\"",          //
                                                 noText, "&Broken", "never written",             // no verb name
                                                 "view", noText, "app.exe /v \"%1\"",            // no menu text
                                                 "play", "&Play", int32_t{5}});
    Tree expected = Registered("Doc", "\"C:\\app.exe\" \"%1\"");
    expected[kClass + "\\shell\\edit"] = Text("&Edit");
    expected[kClass + "\\shell\\edit\\command"] = Text("app.exe /e \"%1\"");
    expected[kClass + "\\shell\\view"] = {};
    expected[kClass + "\\shell\\view\\command"] = Text("app.exe /v \"%1\"");
    expected[kClass + "\\shell\\play"] = Text("&Play");
    expected[kClass + "\\shell\\play\\command"] = Text("5");
    ExpectWritten(expected);
    ExpectFieldsAfter(reg, kClass + "\\shell\\play\\command");
}
