// Start-up against the real registry, the program's own resources and injected defects.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/host.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"
#include "sitter/startup.h"
#include "tests/support/settings.h"

namespace {

using testing_support::Checked;
using testing_support::Stored;

const std::string Paragraph = "\r\n\r\n", GoesOn = Paragraph + "Loading can continue.";

void DeleteSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key); }
void Store(const char* name, DWORD type, const void* data, size_t size) {
    RegSetKeyValueA(HKEY_CURRENT_USER, settings::Key, name, type, data, DWORD(size));
}
void Store(const char* name, DWORD value) { Store(name, REG_DWORD, &value, sizeof value); }

SIZE SizeOf(const cDIBSection& picture) { return SIZE{picture.Width(), picture.Height()}; }
SIZE BitmapSize(int id) {
    BITMAP b{};
    GetObjectA(platform::LoadBitmapResourceFrom(nullptr, id).get(), sizeof b, &b);
    return SIZE{b.bmWidth, b.bmHeight};
}
bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettings(); }
    void TearDown() override { DeleteSettings(); }

    // Runs start-up with the program's resources less the given defects; true when it ended the program.
    bool Start() {
        platform::Host host;
        host.messageBox = [this](HWND, const std::string& text, const std::string&, UINT flags) {
            messages.push_back(text);
            EXPECT_EQ(flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
            return IDOK;
        };
        host.loadString = [this](int id) {
            const auto it = strings.find(id);
            if (it == strings.end()) return platform::LoadStringResourceFrom(nullptr, id);
            if (!it->second) platform::RaiseResourceNotFound(id);
            return *it->second;
        };
        host.loadBitmap = [this](int id) {
            if (missingBitmaps.contains(id)) platform::RaiseResourceNotFound(id);
            return platform::LoadBitmapResourceFrom(nullptr, id);
        };
        platform::HostOverride injected(std::move(host));
        return !Startup::Run({art, preferences, wardrobe, pictures}, [this] { ++windowsSetUp; });
    }
    HMENU Menu(Layer layer) const { return layer == Layer::One ? menuOne.get() : menuTwo.get(); }

    std::map<int, std::optional<std::string>> strings;  // replaced (or, with nullopt, missing) strings
    std::set<int> missingBitmaps;
    std::vector<std::string> messages;
    int windowsSetUp = 0;
    platform::UniqueMenu menuOne{CreatePopupMenu()}, menuTwo{CreatePopupMenu()};
    ArtMetrics art;
    Preferences preferences;
    Wardrobe wardrobe{{menuOne.get(), menuTwo.get()}};
    CharacterPictures pictures;
};

TEST_F(StartupTest, FirstStartRepairsTheCostumesAndBuildsTheCatalogue) {
    ASSERT_FALSE(Start());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(std::tuple(preferences.distance, preferences.mirrored, preferences.sizePercent, art.buttHeight, art.blinkAt.x, art.blinkAt.y),
              std::tuple(0, false, 100, 92, 16L, 24L));
    EXPECT_EQ(Stored("Costume") + "," + Stored("Costume2") + "," + Stored("FromSide") + "," + Stored("FromLeft") + "," + Stored("Size"),
              "4:1,4:1,missing,missing,missing");
    // The names as the menus show them, split at ", " with their quotes kept, and the first of each checked.
    EXPECT_EQ(wardrobe.Names(Layer::Two).back(), "Black \"TITS\" III (Alternate)");
    EXPECT_EQ(std::tuple(wardrobe.Names(Layer::One).size(), wardrobe.Names(Layer::Two).size(), Checked(Menu(Layer::One)), Checked(Menu(Layer::Two))),
              std::tuple(3u, 6u, std::vector<int>{1}, std::vector<int>{1}));
}

// Bad settings and defective resources: the messages shown, whether start-up ends, and what the second
// layer is left with when it goes on.
struct Case {
    const char* name;
    std::function<void()> store;
    std::map<int, std::optional<std::string>> strings;
    std::set<int> missingBitmaps;
    std::vector<std::string> messages;
    bool ends = false;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class StartupCase : public StartupTest, public ::testing::WithParamInterface<Case> {};

TEST_P(StartupCase, IsReportedAndEndsOrGoesOnByItsRule) {
    const Case& c = GetParam();
    Store("Costume", 3);
    if (c.store) c.store();
    strings = c.strings, missingBitmaps = c.missingBitmaps;
    EXPECT_EQ(Start(), c.ends);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(windowsSetUp, c.ends ? 0 : 1) << "ends, or goes on to the window";
    if (c.ends) return;
    // Layer 2 takes its first costume with no mark; layer 1 keeps its stored index.
    EXPECT_EQ(std::tuple(wardrobe.Worn(Layer::Two), Checked(Menu(Layer::Two)), Checked(Menu(Layer::One))),
              std::tuple(1, std::vector<int>{}, std::vector<int>{3}));
}

const std::string BadIndex = "Bad costume index:" + Paragraph;
const std::string NotFound = "Error #326 - Resource with identifier '", Metrics = "Bad metrics for ";
const std::string Image = "Cannot load image for costume \"", Missing = "\" due to missing bitmap resource:" + Paragraph;
const std::string LastOf2 = "Black \"TITS\" III (Alternate)";
std::string NoElement(const char* i) { return BadIndex + "Error #340 - Control array element '" + i + "' doesn't exist" + GoesOn; }

INSTANTIATE_TEST_SUITE_P(Startup, StartupCase, ::testing::Values(
    Case{"IndexBeyondTheList", [] { Store("Costume2", 9); }, {}, {}, {NoElement("9")}},
    Case{"MetricWithoutColon", {}, {{101, "Butt height 92"}}, {}, {Metrics + "butt height value:" + Paragraph + "Error #9 - Subscript out of range"}, true},
    Case{"MissingBlinkX", {}, {{102, std::nullopt}}, {}, {Metrics + "blink X position value:" + Paragraph + NotFound + "102' not found"}, true},
    Case{"MissingBlinkY", {}, {{103, std::nullopt}}, {}, {Metrics + "blink Y position value:" + Paragraph + NotFound + "103' not found"}, true},
    Case{"MissingFirstNameList", {}, {{104, std::nullopt}}, {}, {Metrics + "blink Y position value:" + Paragraph + NotFound + "104' not found"}, true},
    Case{"MissingSecondNameList", {}, {{105, std::nullopt}}, {},
         {"Cannot load name for costume #3:" + Paragraph + NotFound + "105' not found" + GoesOn, NoElement("1")}},
    Case{"MissingLastCostumeOfLayer1", {}, {}, {112}, {Image + "Persocon" + Missing + NotFound + "112' not found"}, true},
    Case{"MissingLastCostumeOfLayer2", {}, {}, {155}, {Image + LastOf2 + Missing + NotFound + "155' not found"}, true},
    Case{"MissingBlinkFrameNamesTheLastCostume", {}, {}, {101}, {Image + LastOf2 + Missing + NotFound + "101' not found"}, true}),
    [](const auto& p) { return std::string(p.param.name); });

// A hand-edited value of any type in any of the four settings: at most its own message, start-up completes,
// no other setting changes, and the character wears a costume that exists.
struct Edited {
    const char* name;
    DWORD type;
    std::string data;
    std::string readError = {};  // the error line when the value is not a number, else empty
    int32_t number = 0;      // what it reads as otherwise
    std::string indexError = {};  // the error line of a costume index that names no costume
};
const std::string Mismatch = "Error #13 - Type mismatch", Overflow = "Error #6 - Overflow";
std::string Dword(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
const Edited EditedValues[] = {
    {"Numeric", REG_SZ, std::string("2.5\0", 4), "", 2}, {"Padded", REG_SZ, std::string(" 2 \0", 4), "", 2},
    {"Text", REG_SZ, std::string("two\0", 4), Mismatch}, {"Empty", REG_SZ, std::string("\0", 1), Mismatch},
    {"Digits5000", REG_SZ, std::string(5000, '9') + '\0', Overflow, 0, BadIndex + Overflow}, {"Expandable", REG_EXPAND_SZ, std::string("3\0", 2), "", 3},
    {"MultiString", REG_MULTI_SZ, std::string("2\0\0", 3), Mismatch}, {"Binary0", REG_BINARY, "", Mismatch},
    {"Binary1", REG_BINARY, "\1", Mismatch}, {"Binary4", REG_BINARY, Dword(2), Mismatch},
    {"Binary65536", REG_BINARY, std::string(65536, '\1'), Mismatch}, {"Qword", REG_QWORD, Dword(2) + Dword(0), Mismatch},
    {"None", REG_NONE, "\2", Mismatch}, {"DwordMinus1", REG_DWORD, Dword(-1), "", -1, BadIndex + "Error #340 - Control array element '-1' doesn't exist"},
    {"DwordMax", REG_DWORD, Dword(2147483647), "", 2147483647, BadIndex + Overflow},
    {"Dword70000", REG_DWORD, Dword(70000), "", 70000, BadIndex + Overflow},
    {"Dword150", REG_DWORD, Dword(150), "", 150, BadIndex + "Error #340 - Control array element '150' doesn't exist"}};

class EditedSetting : public StartupTest, public ::testing::WithParamInterface<std::tuple<const char*, Edited>> {};

TEST_P(EditedSetting, GivesAtMostItsOwnMessageAndSpillsIntoNoOther) {
    const auto& [setting, e] = GetParam();
    const std::map<std::string, std::string> others = {
        {"FromSide", "4:30"}, {"FromLeft", "4:0"}, {"Costume", "4:2"}, {"Costume2", "4:3"}, {"Size", "missing"}};
    Store("FromSide", 30), Store("FromLeft", 0), Store("Costume", 2), Store("Costume2", 3);
    Store(setting, e.type, e.data.data(), e.data.size());
    ASSERT_FALSE(Start());

    const std::string name = setting;
    // A costume that reads as text, however long, is an index that names no costume.
    const bool costume = name.starts_with("Costume"), unreadable = !e.readError.empty() && !(costume && !e.indexError.empty());
    // A Size that is not a number the menu offers is 100 %, without a word.
    const bool sizeSetting = name == "Size";
    std::vector<std::string> expected;
    if (unreadable && !sizeSetting) expected.push_back("Cannot read " + name + " registry value:" + Paragraph + e.readError + GoesOn);
    else if (costume && !e.indexError.empty()) expected.push_back(e.indexError + GoesOn);
    EXPECT_EQ(messages, expected);

    for (const auto& [other, value] : others) {
        if (other != name) {
            EXPECT_EQ(Stored(other.c_str()), value) << other;
        }
    }
    // An unreadable costume is repaired to the number 1; everything else stays as the user left it.
    std::string data(e.data.size() + 2, '\0');
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    RegGetValueA(HKEY_CURRENT_USER, settings::Key, setting, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
    if (costume && unreadable) {
        EXPECT_EQ(Stored(setting), "4:1");
    } else {
        EXPECT_EQ(std::pair(type, data.substr(0, size)), std::pair(e.type, e.data)) << "left as stored";
    }
    const int32_t number = unreadable ? 0 : e.number;
    EXPECT_EQ(preferences.sizePercent, sizeSetting && e.type == REG_DWORD && e.number == 150 ? 150 : 100);
    EXPECT_EQ(preferences.distance, name == "FromSide" ? number : 30);
    EXPECT_EQ(preferences.mirrored, name == "FromLeft" && number != 0);
    const std::pair<Layer, int> worn[] = {{Layer::One, name == "Costume" ? 0 : 2}, {Layer::Two, name == "Costume2" ? 0 : 3}};
    for (const auto& [layer, otherwise] : worn) {
        const int index = otherwise ? otherwise : unreadable || !e.indexError.empty() ? 1 : number;
        EXPECT_EQ(wardrobe.Worn(layer), index);
        EXPECT_TRUE(SizeOf(pictures.costume[static_cast<size_t>(layer)]) == BitmapSize(CostumeBitmap(layer, index)));
    }
    EXPECT_EQ(windowsSetUp, 1);
}

INSTANTIATE_TEST_SUITE_P(Startup, EditedSetting,
    ::testing::Combine(::testing::Values("FromSide", "FromLeft", "Costume", "Costume2", "Size"), ::testing::ValuesIn(EditedValues)),
    [](const auto& p) { return std::string(std::get<0>(p.param)) + std::get<1>(p.param).name; });

}  // namespace
