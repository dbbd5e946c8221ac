// The popup menu and its commands on a started character, with the real registry and balloon.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "balloon/frmBalloon.h"
#include "commands/fortune.h"
#include "platform/host.h"
#include "platform/random.h"
#include "sitter/frmSitter.h"

#include "tests/support/after.h"

namespace {

constexpr const char* Key = frmSitter::RegistryKey;

using testing_support::After;

std::string Stored(const char* name) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, Key, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS) return "missing";
    return std::to_string(type) + ":" + std::to_string(value);
}

// Denies every access to the settings key: writes then fail as they would on a locked-down profile.
void LockSettings() {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &empty, FALSE);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
    RegCloseKey(key);
}

bool SameBits(HBITMAP a, HBITMAP b) {
    DIBSECTION da{}, db{};
    return GetObjectA(a, sizeof da, &da) && GetObjectA(b, sizeof db, &db) &&
           da.dsBmih.biSizeImage == db.dsBmih.biSizeImage &&
           memcmp(da.dsBm.bmBits, db.dsBm.bmBits, da.dsBmih.biSizeImage) == 0;
}

std::vector<int> Checked(const platform::MenuArray& menu) {
    std::vector<int> checked;
    for (int i = 1; i <= menu.UBound(); ++i)
        if (menu.Checked(i)) checked.push_back(i);
    return checked;
}

// The character with a scripted popup menu: it records what it saw and picks the given command.
class ScriptedSitter : public frmSitter {
public:
    using frmSitter::Form_MouseUp;
    UINT choice = 0;
    int menusShown = 0;
    bool trackingWhileOpen = true;

protected:
    UINT TrackPopup() override {
        ++menusShown;
        trackingWhileOpen = timSitter.Enabled();
        return choice;
    }
};

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        TearDown();
        platform::Host host;
        host.messageBox = [this](HWND, const std::string& text, const std::string&, UINT) {
            messages.push_back(text);
            return IDOK;
        };
        host.endProgram = [this](int code) { exitCodes.push_back(code); };
        injected.emplace(std::move(host));
        sitter.Load();
        ASSERT_TRUE(messages.empty());
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, Key);  // also a locked one: its owner may delete it
        RegDeleteTreeA(HKEY_CURRENT_USER, Key);
    }

    frmBalloon& balloon() { return sitter.Balloon(); }

    std::optional<platform::HostOverride> injected;
    std::vector<std::string> messages;
    std::vector<int> exitCodes;
    ScriptedSitter sitter;
};

TEST_F(Commands, MenuHoldsTheEntriesInOrder) {
    HMENU poop = sitter.PopupMenu();
    auto text = [](HMENU menu, int i) {
        char buffer[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), buffer, sizeof buffer, MF_BYPOSITION);
        return std::string(buffer);
    };
    ASSERT_EQ(GetMenuItemCount(poop), 6);
    std::string all;
    for (int i = 0; i < 6; ++i) all += text(poop, i) + "|";
    EXPECT_EQ(all, "Distance...|Costume 1|Costume 2|Functions||Exit|");
    EXPECT_TRUE(GetMenuState(poop, 4, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetSubMenu(poop, 1), sitter.mnuCos.Handle());
    EXPECT_EQ(GetSubMenu(poop, 2), sitter.mnuCos2.Handle());
    EXPECT_EQ(text(GetSubMenu(poop, 3), 0), "!8ball");
}

TEST_F(Commands, RightButtonOpensTheMenuOtherButtonsComplain) {
    sitter.Form_MouseUp(platform::vbRightButton, 0, 5, 5);
    EXPECT_EQ(sitter.menusShown, 1);
    EXPECT_FALSE(sitter.trackingWhileOpen) << "no seat tracking while the menu is open";
    EXPECT_TRUE(sitter.timSitter.Enabled());
    EXPECT_FALSE(sitter.BalloonLoaded() && balloon().Visible()) << "the right button says nothing";

    for (int button : {platform::vbLeftButton, platform::vbMiddleButton}) {
        sitter.Form_MouseUp(button, 0, 5, 5);
        EXPECT_EQ(sitter.menusShown, 1);
        EXPECT_TRUE(balloon().Visible());
        EXPECT_EQ(balloon().lblText.Caption, "Don't touch me!");
        EXPECT_EQ(balloon().lblCaption.Caption, "");
        balloon().Form_Click();
    }
}

TEST_F(Commands, CostumeChoiceIsStoredCheckedAndShown) {
    sitter.choice = sitter.mnuCos2.CommandId(3);
    sitter.Form_MouseUp(platform::vbRightButton, 0, 0, 0);
    EXPECT_EQ(Stored("Costume2"), "4:3");
    EXPECT_EQ(sitter.mnuCos2.Tag(0), "3");
    EXPECT_EQ(Checked(sitter.mnuCos2), std::vector<int>{3});
    EXPECT_TRUE(SameBits(sitter.picCostume2.Picture(), platform::LoadResPicture(152).get()));
    EXPECT_TRUE(sitter.timSitter.Enabled());

    // The entry already checked: written again, same picture.
    RegDeleteTreeA(HKEY_CURRENT_USER, Key);
    sitter.mnuCos2_Click(3);
    EXPECT_EQ(Stored("Costume2"), "4:3");
    EXPECT_EQ(Checked(sitter.mnuCos2), std::vector<int>{3});
    EXPECT_TRUE(messages.empty());
}

TEST_F(Commands, FailedWriteChangesNothingAndIsReported) {
    HBITMAP before = sitter.picCostume2.Picture();
    LockSettings();
    sitter.choice = sitter.mnuCos2.CommandId(4);
    sitter.Form_MouseUp(platform::vbRightButton, 0, 0, 0);
    EXPECT_EQ(sitter.mnuCos2.Tag(0), "1");
    EXPECT_EQ(Checked(sitter.mnuCos2), std::vector<int>{1});
    EXPECT_EQ(sitter.picCostume2.Picture(), before);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("The costume could not be changed:\r\n\r\nError #26001 - Failed to set"))
        << messages[0];
    EXPECT_TRUE(sitter.timSitter.Enabled());
}

TEST_F(Commands, ExitEndsAtOnce) {
    sitter.choice = frmSitter::mnuExitCommand;
    EXPECT_THROW(sitter.Form_MouseUp(platform::vbRightButton, 0, 0, 0), platform::ProgramEnded);
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_FALSE(sitter.timSitter.Enabled()) << "nothing ran after Exit";
}

TEST_F(Commands, DistanceDialogSetsAndStoresTheDistance) {
    sitter.FromSide = 20;
    HWND seen = nullptr;
    After(300, [&] {
        seen = FindWindowA("Pellory.frmDistance", "Set Distance");
        EXPECT_FALSE(sitter.timSitter.Enabled());
        RECT r{};
        GetWindowRect(sitter.hWnd(), &r);
        EXPECT_LT(r.right, 0) << "the character is out of sight while the dialog is open";
        HWND bar = FindWindowExA(seen, nullptr, "SCROLLBAR", nullptr);
        SendMessageA(seen, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(bar));
        SendMessageA(seen, WM_CLOSE, 0, 0);
    });
    sitter.choice = frmSitter::mnuDistanceCommand;
    sitter.Form_MouseUp(platform::vbRightButton, 0, 0, 0);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(sitter.FromSide, 30);
    EXPECT_EQ(Stored("FromSide"), "4:30");
    EXPECT_TRUE(sitter.timSitter.Enabled());

    // Closed without moving the slider: written all the same.
    RegDeleteTreeA(HKEY_CURRENT_USER, Key);
    After(300, [] { SendMessageA(FindWindowA("Pellory.frmDistance", "Set Distance"), WM_CLOSE, 0, 0); });
    sitter.mnuDistance_Click();
    EXPECT_EQ(Stored("FromSide"), "4:30");
}

TEST_F(Commands, DistanceFailureStillResumesTracking) {
    LockSettings();
    After(300, [] { SendMessageA(FindWindowA("Pellory.frmDistance", "Set Distance"), WM_CLOSE, 0, 0); });
    sitter.mnuDistance_Click();
    EXPECT_TRUE(sitter.timSitter.Enabled());
    EXPECT_TRUE(messages.empty()) << "the distance command reports nothing";
}

TEST(Fortune, IndexRoundsHalvesToEven) {
    struct Case {
        float r;
        size_t index;
    } cases[] = {{0.0f, 0}, {0.0249f, 0}, {0.025f, 0}, {0.0251f, 1}, {0.075f, 2}, {0.125f, 2},
                 {0.5f, 10}, {0.974f, 19}, {0.975f, 20}, {0.99999994f, 20}};
    for (const Case& c : cases) EXPECT_EQ(FortuneIndex(c.r, 20), c.index) << c.r;
    EXPECT_EQ(FortuneIndex(0.7f, 0), 0u) << "a single answer";
}

TEST(Fortune, FirstAndLastComeHalfAsOften) {
    platform::Randomize(12345.678);
    constexpr int draws = 400000;
    std::vector<int> counts(21);
    for (int i = 0; i < draws; ++i) ++counts[FortuneIndex(platform::Rnd(), 20)];
    // Expected 10000 for the ends and 20000 for the rest; 8 standard deviations is about 800 and 1100.
    for (size_t i = 0; i < 21; ++i) {
        const double expected = (i == 0 || i == 20) ? draws / 40.0 : draws / 20.0;
        EXPECT_NEAR(counts[i], expected, i == 0 || i == 20 ? 800 : 1100) << "answer " << i;
    }
}

TEST_F(Commands, FortuneAsksThenAnswersUnderItsCaption) {
    std::string asked, askedCaption;
    bool fieldShown = false;
    After(300, [&] {
        asked = balloon().lblText.Caption;
        askedCaption = balloon().lblCaption.Caption;
        fieldShown = balloon().txtAnswer.Visible();
        balloon().Command1_Click();  // "OK" on an empty question
    });
    sitter.choice = frmSitter::mnu8BallCommand;
    sitter.Form_MouseUp(platform::vbRightButton, 0, 0, 0);
    EXPECT_EQ(asked, "Enter question");
    EXPECT_EQ(askedCaption, "!8BALL");
    EXPECT_TRUE(fieldShown);
    EXPECT_TRUE(balloon().Visible());
    EXPECT_FALSE(balloon().txtAnswer.Visible());
    EXPECT_EQ(balloon().lblCaption.Caption, "!8BALL");
    const std::string answers = platform::LoadResString(100);
    EXPECT_NE(answers.find(balloon().lblText.Caption), std::string::npos) << balloon().lblText.Caption;
    EXPECT_FALSE(balloon().lblText.Caption.empty());
}

TEST_F(Commands, CatSoundDuringTheQuestionTakesOverTheBalloon) {
    sitter.mnuCos_Click(2);  // Catgirl
    while (sitter.MewCounter() < 495) sitter.Redraw(nullptr);
    std::string during;
    bool fieldDuring = true;
    After(300, [&] {
        // Redraws inside the question's wait, as the redraw timer runs them, until the sound falls due.
        for (int i = 0; i < 5; ++i) sitter.Redraw(nullptr);
        during = balloon().lblText.Caption;
        fieldDuring = balloon().txtAnswer.Visible();
        balloon().Form_Click();
    });
    sitter.mnu8Ball_Click();
    const std::string sounds = "Mew! Mrowrl... *purr* Mewl! Meow!";
    EXPECT_NE(sounds.find(during), std::string::npos) << during;
    EXPECT_NE(during, "Enter question");
    EXPECT_FALSE(fieldDuring) << "the message hides the answer field";
    EXPECT_EQ(balloon().lblCaption.Caption, "!8BALL") << "the fortune follows";
}

TEST_F(Commands, CatSoundsAreTheFirstFiveWordsAndOnlyWhileCatgirl) {
    sitter.mnuCos_Click(3);  // Persocon: no sounds, the counter stands still
    for (int i = 0; i < 600; ++i) sitter.Redraw(nullptr);
    EXPECT_EQ(sitter.MewCounter(), 0);
    EXPECT_FALSE(sitter.BalloonLoaded() && balloon().Visible());

    sitter.mnuCos_Click(2);
    std::set<std::string> said;
    for (int sound = 0; sound < 40; ++sound) {
        for (int i = 0; i < 500; ++i) sitter.Redraw(nullptr);
        said.insert(balloon().lblText.Caption);
        EXPECT_EQ(balloon().lblCaption.Caption, "");
    }
    EXPECT_FALSE(said.contains("....mreew?"));
    EXPECT_GE(said.size(), 3u) << "the words are drawn at random";
    for (const std::string& word : said)
        EXPECT_TRUE(std::set<std::string>({"Mew!", "Mrowrl...", "*purr*", "Mewl!", "Meow!"}).contains(word)) << word;
}

}  // namespace
