// Start-up against the real registry, the program's own resources and injected defects.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "platform/error.h"
#include "platform/host.h"
#include "platform/number.h"
#include "platform/screen.h"
#include "sitter/frmSitter.h"
#include "sitter/modLayeredWins.h"

using platform::UniqueBitmap;

namespace {

constexpr const char* Key = frmSitter::RegistryKey;
const std::string CRLF2 = "\r\n\r\n";
const std::string Continue = "\r\n\r\nLoading can continue.";

void DeleteSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, Key); }

void StoreDword(const char* name, DWORD value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, Key, name, REG_DWORD, &value, sizeof value);
}

void StoreText(const char* name, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, Key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void StoreBinary(const char* name, std::vector<BYTE> bytes) {
    RegSetKeyValueA(HKEY_CURRENT_USER, Key, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

// The stored value as "type:data" ("4:1", "1:abc"), or "missing".
std::string Stored(const char* name) {
    BYTE data[256] = {};
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, Key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) != ERROR_SUCCESS)
        return "missing";
    if (type == REG_DWORD) return "4:" + std::to_string(*reinterpret_cast<int32_t*>(data));
    if (type == REG_SZ) return "1:" + std::string(reinterpret_cast<char*>(data));
    return std::to_string(type) + ":" + std::to_string(size) + " bytes";
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

std::vector<int> CheckedItems(const platform::MenuArray& menu) {
    std::vector<int> checked;
    for (int i = 0; i <= menu.UBound(); ++i)
        if (menu.Exists(i) && menu.Checked(i)) checked.push_back(i);
    return checked;
}

// What the resource loaders raise for a resource that is not there.
[[noreturn]] void RaiseMissing(int id) {
    throw platform::Error(platform::err::ResourceNotFound, platform::ExeName(),
                          "Resource with identifier '" + std::to_string(id) + "' not found");
}

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
        host.endProgram = [this](int) { ++ends; };
        host.loadString = [this](int id) {
            auto it = strings.find(id);
            if (it == strings.end()) return platform::LoadResStringFrom(nullptr, id);
            if (!it->second) RaiseMissing(id);
            return *it->second;
        };
        host.loadPicture = [this](int id) {
            if (missingBitmaps.contains(id)) RaiseMissing(id);
            return platform::LoadResPictureFrom(nullptr, id);
        };
        platform::HostOverride injected(std::move(host));
        try {
            sitter.Load();
        } catch (const platform::ProgramEnded&) {
            return true;
        }
        EXPECT_EQ(ends, 0);
        return false;
    }

    std::map<int, std::optional<std::string>> strings;  // replaced (or, with nullopt, missing) strings
    std::set<int> missingBitmaps;
    std::vector<std::string> messages;
    int ends = 0;
    frmSitter sitter;
};

TEST_F(StartupTest, FirstStartRepairsTheCostumesAndBuildsTheCatalogue) {
    ASSERT_FALSE(Start());
    EXPECT_TRUE(messages.empty()) << messages.front();

    EXPECT_EQ(sitter.FromSide, 0);
    EXPECT_EQ(sitter.FromLeft, 0);
    EXPECT_EQ(sitter.ButtHeight, platform::RoundToLong(92 * platform::TwipsPerPixelY()));
    EXPECT_EQ(sitter.BlinkX, 16);
    EXPECT_EQ(sitter.BlinkY, 24);
    EXPECT_EQ(Stored("Costume"), "4:1");
    EXPECT_EQ(Stored("Costume2"), "4:1");
    EXPECT_EQ(Stored("FromSide"), "missing") << "start-up writes only the costume repairs";

    const std::vector<std::string> layer1 = {"Normal", "Catgirl", "Persocon"};
    const std::vector<std::string> layer2 = {"White", "Jacket and Booties", "Black \"TITS\"", "Black \"TITS\" II",
                                             "Black \"TITS\" III", "Black \"TITS\" III (Alternate)"};
    ASSERT_EQ(sitter.mnuCos.UBound(), 3);
    ASSERT_EQ(sitter.mnuCos2.UBound(), 6);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(sitter.mnuCos.Caption(i), layer1[i - 1]);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(sitter.mnuCos2.Caption(i), layer2[i - 1]);
    EXPECT_FALSE(sitter.mnuCos.Visible(0));
    EXPECT_FALSE(sitter.mnuCos2.Visible(0));
    EXPECT_EQ(GetMenuItemCount(sitter.mnuCos.Handle()), 3);
    EXPECT_EQ(sitter.mnuCos.Tag(0), "1");
    EXPECT_EQ(sitter.mnuCos2.Tag(0), "1");
    EXPECT_EQ(CheckedItems(sitter.mnuCos), std::vector<int>{1});
    EXPECT_EQ(CheckedItems(sitter.mnuCos2), std::vector<int>{1});

    EXPECT_EQ(BitmapSize(sitter.picCostume.Picture()).cx, 2);
    EXPECT_EQ(BitmapSize(sitter.picCostume2.Picture()).cx, 2);
    EXPECT_EQ(BitmapSize(sitter.picBlink1.Picture()).cx, 40);
    EXPECT_EQ(sitter.FrameBuffer.Width(), 77);
    EXPECT_EQ(sitter.FrameBuffer.Height(), 126);
    EXPECT_NE(sitter.FrameBuffer.hDC(), nullptr);
    EXPECT_FLOAT_EQ(sitter.picBase.ScaleWidth(), static_cast<float>(77 * platform::TwipsPerPixelX()));

    // The window: frame-sized, topmost, colour-keyed on black, parked off-screen, tracking on.
    HWND hwnd = sitter.hWnd();
    RECT client{}, window{};
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(client.right, 77);
    EXPECT_EQ(client.bottom, 126);
    EXPECT_EQ(window.left, platform::RoundToLong(-10000 / platform::TwipsPerPixelX()));
    EXPECT_EQ(window.top, platform::RoundToLong(-10000 / platform::TwipsPerPixelY()));
    LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    ASSERT_TRUE(LayeringSupported());
    ASSERT_TRUE(exStyle & WS_EX_LAYERED);
    COLORREF key = 1;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, nullptr, &flags));
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    EXPECT_TRUE(sitter.timSitter.Enabled());
    EXPECT_TRUE(sitter.timRedraw.Enabled());
}

TEST_F(StartupTest, StoredSettingsAreReadAndLeftAlone) {
    StoreDword("Costume", 2);
    StoreText("Costume2", " 6 ");  // numeric text counts as the number
    StoreText("FromSide", "62.5");
    StoreDword("FromLeft", 1);
    ASSERT_FALSE(Start());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(sitter.FromSide, 62);
    EXPECT_NE(sitter.FromLeft, 0);
    EXPECT_EQ(CheckedItems(sitter.mnuCos), std::vector<int>{2});
    EXPECT_EQ(CheckedItems(sitter.mnuCos2), std::vector<int>{6});
    EXPECT_EQ(sitter.mnuCos.Caption(2), "Catgirl");
    EXPECT_EQ(BitmapSize(sitter.picCostume.Picture()).cx, 70);   // bitmap 111
    EXPECT_EQ(BitmapSize(sitter.picCostume2.Picture()).cx, 56);  // bitmap 155
    EXPECT_EQ(Stored("Costume"), "4:2");
    EXPECT_EQ(Stored("Costume2"), "1: 6 ");
}

struct BadSetting {
    const char* name;
    std::function<void()> store;
    std::vector<std::string> messages;
    std::string costume2Tag;
    std::vector<int> checked2;
    std::string storedAfter;
};

void PrintTo(const BadSetting& c, std::ostream* os) { *os << c.name; }

class BadSettingTest : public StartupTest, public ::testing::WithParamInterface<BadSetting> {};

TEST_P(BadSettingTest, IsReportedAndStartUpGoesOn) {
    const BadSetting& c = GetParam();
    StoreDword("Costume", 3);
    c.store();
    ASSERT_FALSE(Start());
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(sitter.mnuCos2.Tag(0), c.costume2Tag);
    EXPECT_EQ(CheckedItems(sitter.mnuCos2), c.checked2);
    EXPECT_EQ(CheckedItems(sitter.mnuCos), std::vector<int>{3}) << "layer 1 keeps its stored index";
    EXPECT_EQ(Stored("Costume2"), c.storedAfter);
    EXPECT_NE(sitter.FrameBuffer.hDC(), nullptr);
    EXPECT_TRUE(sitter.timSitter.Enabled());
}

const std::string BadIndex = "Bad costume index:" + CRLF2;

INSTANTIATE_TEST_SUITE_P(
    Startup, BadSettingTest,
    ::testing::Values(
        BadSetting{"IndexBeyondTheList", [] { StoreDword("Costume2", 9); },
                   {BadIndex + "Error #340 - Control array element '9' doesn't exist" + Continue}, "1", {}, "4:9"},
        BadSetting{"NegativeIndex", [] { StoreDword("Costume2", static_cast<DWORD>(-1)); },
                   {BadIndex + "Error #340 - Control array element '-1' doesn't exist" + Continue}, "1", {}, "4:-1"},
        BadSetting{"IndexOutside16Bits", [] { StoreText("Costume2", "70000"); },
                   {BadIndex + "Error #6 - Overflow" + Continue}, "1", {}, "1:70000"},
        // The repair is written with the type the failed read found: text "1", read back as 1.
        BadSetting{"TextThatIsNoNumber", [] { StoreText("Costume2", "abc"); },
                   {"Cannot read Costume2 registry value:" + CRLF2 + "Error #13 - Type mismatch" + Continue}, "1",
                   {1}, "1:1"},
        // A binary value cannot take the number 1, so it stays and the layer falls back to 1.
        BadSetting{"BinaryValue", [] { StoreBinary("Costume2", {1, 2}); },
                   {"Cannot read Costume2 registry value:" + CRLF2 + "Error #13 - Type mismatch" + Continue,
                    "Cannot read Costume2 registry value:" + CRLF2 + "Error #26001 - " + Continue,
                    BadIndex + "Error #13 - Type mismatch" + Continue},
                   "1", {1}, "3:2 bytes"},
        BadSetting{"UnreadableFromSideKeepsZero",
                   [] {
                       StoreText("FromSide", "far");
                       StoreDword("Costume2", 4);
                   },
                   {"Cannot read FromSide registry value:" + CRLF2 + "Error #13 - Type mismatch" + Continue}, "4",
                   {4}, "4:4"}),
    [](const auto& p) { return std::string(p.param.name); });

struct Defect {
    const char* name;
    std::map<int, std::optional<std::string>> strings;
    std::set<int> missingBitmaps;
    std::vector<std::string> messages;
    bool ends;
};

void PrintTo(const Defect& c, std::ostream* os) { *os << c.name; }

class DefectTest : public StartupTest, public ::testing::WithParamInterface<Defect> {};

TEST_P(DefectTest, IsReportedAndEndsOrGoesOnByItsRule) {
    strings = GetParam().strings;
    missingBitmaps = GetParam().missingBitmaps;
    EXPECT_EQ(Start(), GetParam().ends);
    EXPECT_EQ(messages, GetParam().messages);
    EXPECT_EQ(ends, GetParam().ends ? 1 : 0);
    EXPECT_EQ(sitter.timSitter.Enabled(), !GetParam().ends);
}

const std::string NotFound = "Error #326 - Resource with identifier '";
const std::string Metrics = "Bad metrics for ";
const std::string Image = "Cannot load image for costume \"";
const std::string Missing = "\" due to missing bitmap resource:" + CRLF2;

INSTANTIATE_TEST_SUITE_P(
    Startup, DefectTest,
    ::testing::Values(
        Defect{"MetricWithoutColon", {{101, "Butt height 92"}}, {},
               {Metrics + "butt height value:" + CRLF2 + "Error #9 - Subscript out of range"}, true},
        Defect{"MissingBlinkY", {{103, std::nullopt}}, {},
               {Metrics + "blink Y position value:" + CRLF2 + NotFound + "103' not found"}, true},
        Defect{"MissingFirstNameList", {{104, std::nullopt}}, {},
               {Metrics + "blink Y position value:" + CRLF2 + NotFound + "104' not found"}, true},
        Defect{"MissingSecondNameList",
               {{105, std::nullopt}},
               {},
               {"Cannot load name for costume #3:" + CRLF2 + NotFound + "105' not found" + Continue,
                "Bad costume index:" + CRLF2 + "Error #340 - Control array element '1' doesn't exist" + Continue},
               false},
        Defect{"MissingLastCostumeOfLayer1", {}, {112}, {Image + "Persocon" + Missing + NotFound + "112' not found"},
               true},
        Defect{"MissingLastCostumeOfLayer2", {}, {155},
               {Image + "Black \"TITS\" III (Alternate)" + Missing + NotFound + "155' not found"}, true},
        Defect{"MissingBlinkFrameNamesTheLastCostume", {}, {101},
               {Image + "Black \"TITS\" III (Alternate)" + Missing + NotFound + "101' not found"}, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Layering, ColourKeyIsSetWhereSupported) {
    ASSERT_TRUE(LayeringSupported()) << "Wine reports an NT 6+ system by default";
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(MakeColourKeyed(window, 0x000000FF));
    COLORREF key = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(window, &key, nullptr, &flags));
    EXPECT_EQ(key, 0x000000FFu);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    DestroyWindow(window);
}
}  // namespace

// Older systems: Wine reports the version named under AppDefaults to a program of that name, so a copy
// of this test program runs start-up as if on Windows 98 or NT 4.
namespace {

constexpr const char* LegacyChildVariable = "PELLORY_LEGACY_CHILD";
constexpr const char* ChildMarkKey = "Software\\Quarrystone\\PelloryTests\\LegacyChild";

DWORD RunAsOlderSystem(const char* version) {
    char self[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    const std::string copy = std::string(temp) + "sitter_legacy.exe";
    const std::string appKey = "Software\\Wine\\AppDefaults\\sitter_legacy.exe";
    if (!CopyFileA(self, copy.c_str(), FALSE)) return 1000;
    RegSetKeyValueA(HKEY_CURRENT_USER, appKey.c_str(), "Version", REG_SZ, version,
                    static_cast<DWORD>(strlen(version) + 1));
    SetEnvironmentVariableA(LegacyChildVariable, version);

    std::string command = "\"" + copy + "\" --gtest_filter=StartupTest.LegacyChild*";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD code = 1001;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    SetEnvironmentVariableA(LegacyChildVariable, nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, appKey.c_str());
    DeleteFileA(copy.c_str());
    return code;
}

}  // namespace

TEST(Layering, OlderSystemsGetAnOrdinaryWindow) {
    if (getenv(LegacyChildVariable)) GTEST_SKIP() << "runs in the parent only";
    for (const char* version : {"win98", "nt40"}) {  // not the NT platform; NT below 5
        DeleteSettings();
        EXPECT_EQ(RunAsOlderSystem(version), 0u) << version;
        char seen[16] = {};
        DWORD size = sizeof seen;
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, ChildMarkKey, "Version", RRF_RT_REG_SZ, nullptr, seen, &size),
                  ERROR_SUCCESS)
            << "the child's start-up did not run on " << version;
        EXPECT_STREQ(seen, version);
        RegDeleteTreeA(HKEY_CURRENT_USER, ChildMarkKey);
    }
    DeleteSettings();
}

TEST_F(StartupTest, LegacyChildStartsWithoutLayering) {
    const char* version = getenv(LegacyChildVariable);
    if (!version) GTEST_SKIP() << "runs as the child of Layering.OlderSystemsGetAnOrdinaryWindow";
    EXPECT_FALSE(LayeringSupported());
    EXPECT_FALSE(MakeColourKeyed(sitter.hWnd(), 0));
    ASSERT_FALSE(Start());
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(GetWindowLongA(sitter.hWnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    RECT client{};
    GetClientRect(sitter.hWnd(), &client);
    EXPECT_EQ(client.right, 77);
    EXPECT_TRUE(sitter.timSitter.Enabled());
    if (!HasFailure()) {
        RegSetKeyValueA(HKEY_CURRENT_USER, ChildMarkKey, "Version", REG_SZ, version,
                        static_cast<DWORD>(strlen(version) + 1));
    }
}
