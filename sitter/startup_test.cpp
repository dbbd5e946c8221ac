// Start-up against the real registry, the program's own resources and injected defects.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "costumes/folder.h"
#include "platform/error.h"
#include "platform/handles.h"
#include "platform/host.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"
#include "sitter/startup.h"
#include "tests/support/settings.h"

namespace {

using testing_support::Checked;
using testing_support::DeleteSettings;
using testing_support::Stored;

const std::string Paragraph = "\r\n\r\n", GoesOn = Paragraph + "Loading can continue.";

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
        character = Startup::Run();
        return !character;
    }
    std::vector<int> Marked(Layer layer) const { return Checked(character->menu.CostumeMenus()[static_cast<size_t>(layer)]); }

    std::map<int, std::optional<std::string>> strings;  // replaced (or, with nullopt, missing) strings
    std::set<int> missingBitmaps;
    std::vector<std::string> messages;
    std::unique_ptr<Character> character;
};

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
    EXPECT_EQ(Start(), c.ends) << "ends, or goes on to the window";
    EXPECT_EQ(messages, c.messages);
    if (c.ends) return;
    // Layer 2 takes its first costume with no mark; layer 1 keeps its stored index.
    EXPECT_EQ(std::tuple(character->wardrobe.Worn(Layer::Two), Marked(Layer::Two), Marked(Layer::One)),
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

// A hand-edited value of any type: at most its own message, start-up completes, what it stands for, and no
// other setting changes. Only an unreadable costume index is written (repaired to 1).
struct Edited {
    const char* name;
    const char* setting;
    DWORD type;
    std::string data;
    std::string message;  // empty: none
    std::tuple<int32_t, bool, int, int, int> taken;  // distance, mirrored, Size, costume of layers 1 and 2
};
const std::string Mismatch = "Error #13 - Type mismatch", Overflow = "Error #6 - Overflow";
std::string Dword(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Unreadable(const char* setting, const std::string& line) { return "Cannot read " + std::string(setting) + " registry value:" + Paragraph + line + GoesOn; }
const Edited EditedValues[] = {
    {"DistanceAsNumericText", "FromSide", REG_SZ, std::string("2.5\0", 4), "", {2, false, 100, 2, 3}},
    {"DistanceAsText", "FromSide", REG_SZ, std::string("two\0", 4), Unreadable("FromSide", Mismatch), {0, false, 100, 2, 3}},
    {"DistanceOf5000Digits", "FromSide", REG_SZ, std::string(5000, '9') + '\0', Unreadable("FromSide", Overflow), {0, false, 100, 2, 3}},
    {"DistanceAsQword", "FromSide", REG_QWORD, Dword(2) + Dword(0), Unreadable("FromSide", Mismatch), {0, false, 100, 2, 3}},
    {"MirroredAsBytes", "FromLeft", REG_BINARY, "\1", Unreadable("FromLeft", Mismatch), {30, false, 100, 2, 3}},
    {"MirroredAsExpandableText", "FromLeft", REG_EXPAND_SZ, std::string("3\0", 2), "", {30, true, 100, 2, 3}},
    {"CostumeAsText", "Costume", REG_SZ, std::string("two\0", 4), Unreadable("Costume", Mismatch), {30, false, 100, 1, 3}},
    {"CostumeAsNone", "Costume", REG_NONE, "\2", Unreadable("Costume", Mismatch), {30, false, 100, 1, 3}},
    {"Costume2AsPaddedText", "Costume2", REG_SZ, std::string(" 2 \0", 4), "", {30, false, 100, 2, 2}},
    {"Costume2Beyond16Bits", "Costume2", REG_DWORD, Dword(70000), BadIndex + Overflow + GoesOn, {30, false, 100, 2, 1}},
    {"Costume2Negative", "Costume2", REG_DWORD, Dword(-1), NoElement("-1"), {30, false, 100, 2, 1}},
    {"SizeOffered", "Size", REG_DWORD, Dword(150), "", {30, false, 150, 2, 3}},
    {"SizeNotOffered", "Size", REG_DWORD, Dword(120), "", {30, false, 100, 2, 3}},
    {"SizeAsText", "Size", REG_SZ, std::string("150\0", 4), "", {30, false, 100, 2, 3}},
};

class EditedSetting : public StartupTest, public ::testing::WithParamInterface<Edited> {};

TEST_P(EditedSetting, GivesAtMostItsOwnMessageAndSpillsIntoNoOther) {
    const Edited& e = GetParam();
    Store("FromSide", 30), Store("FromLeft", 0), Store("Costume", 2), Store("Costume2", 3);
    Store(e.setting, e.type, e.data.data(), e.data.size());
    std::map<std::string, std::string> stored;
    for (const char* name : {"FromSide", "FromLeft", "Costume", "Costume2", "Size"}) stored[name] = Stored(name);
    ASSERT_FALSE(Start());

    EXPECT_EQ(messages, e.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{e.message});
    const Preferences& p = character->preferences;
    const Wardrobe& w = character->wardrobe;
    EXPECT_EQ(std::tuple(p.distance, p.mirrored, p.sizePercent, w.Worn(Layer::One), w.Worn(Layer::Two)), e.taken);
    const ArtMetrics& art = character->art;  // from the resources, whatever the settings
    EXPECT_EQ(std::tuple(art.buttHeight, art.blinkAt.x, art.blinkAt.y), std::tuple(92, 16L, 24L));
    const bool repaired = std::string(e.setting).starts_with("Costume") && e.message.starts_with("Cannot read");
    for (const auto& [name, before] : stored) EXPECT_EQ(Stored(name.c_str()), name == e.setting && repaired ? "4:1" : before) << name;
    for (Layer layer : BothLayers) {
        const int worn = w.Worn(layer);
        EXPECT_TRUE(SizeOf(character->pictures.costume[static_cast<size_t>(layer)]) == BitmapSize(CostumeBitmap(layer, worn)));
    }
}

INSTANTIATE_TEST_SUITE_P(Startup, EditedSetting, ::testing::ValuesIn(EditedValues), [](const auto& p) { return std::string(p.param.name); });

// A folder costume stored by its file name is worn from the start when its file can be; a name that cannot be worn
// is cleared without a word, and the built-in costume is worn.
TEST_F(StartupTest, WearsAStoredFolderCostumeOrClearsItSilently) {
    wchar_t appData[MAX_PATH];
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    SetEnvironmentVariableW(L"APPDATA", (std::filesystem::temp_directory_path() / "pellory-startup").c_str());
    costumes::MakeCostumeFolder(1);
    // A black 24-bit BMP of twice the art's size, and a file that is no picture.
    const std::filesystem::path folder = costumes::CostumeFolder(1);
    std::ofstream(folder / "jacket.bmp", std::ios::binary)
        << std::string("BM\xf6\xc8\x01\0\0\0\0\0\x36\0\0\0(\0\0\0\x9a\0\0\0\xfc\0\0\0\x01\0\x18\0", 30) << std::string(24 + 464 * 252, '\0');
    std::ofstream(folder / "cape.bmp") << "not a picture";
    const struct { const char* setting; std::string stored, worn; } cases[] = {{"CostumeFile", "jacket.bmp", "jacket.bmp"},
        {"CostumeFile", "gone.png", ""}, {"CostumeFile", "cape.bmp", ""}, {"Costume2File", "..\\Costume 1\\jacket.bmp", ""},
        {"Costume2File", "", ""}, {"CostumeFile", "a number", ""}};
    for (const auto& c : cases) {
        DeleteSettings();
        if (c.stored == "a number") Store(c.setting, 2);
        else Store(c.setting, REG_SZ, c.stored.c_str(), c.stored.size() + 1);
        ASSERT_FALSE(Start());
        const size_t layer = c.setting == std::string("CostumeFile") ? 0 : 1;
        EXPECT_EQ(std::tuple(messages, character->wardrobe.WornFile(Layer(layer)), Stored(c.setting), character->pictures.detail[layer]),
                  std::tuple(std::vector<std::string>{}, c.worn, c.worn.empty() ? "missing" : "1:11 bytes", c.worn.empty() ? 1 : 2)) << c.stored;
    }
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / "pellory-startup");
    SetEnvironmentVariableW(L"APPDATA", appData);
}

}  // namespace
