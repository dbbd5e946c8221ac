// The popup menu and its commands on a started character, with the real registry and balloon.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <set>

#include "balloon/balloon.h"
#include "platform/host.h"
#include "sitter/settings.h"
#include "sitter/single_copy.h"
#include "sitter/sitter_window.h"
#include "tests/support/settings.h"
#include "sitter/tray_icon.h"
#include "tests/support/after.h"

namespace {

using testing_support::Checked;
using testing_support::Stored;

using testing_support::After;


// Denies every access to the settings key: writes then fail as they would on a locked-down profile.
void LockSettings() {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settings::Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &empty, FALSE);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
    RegCloseKey(key);
}


// The character with a scripted popup menu: it records what it saw and picks the given command.
class ScriptedSitter : public SitterWindow {
public:
    using SitterWindow::OnMouseUp;
    UINT choice = 0;
    int menusShown = 0;
    bool trackingWhileOpen = true;

protected:
    UINT ChooseFromPopupMenu() override {
        ++menusShown;
        trackingWhileOpen = TrackingTimer().IsEnabled();
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
        sitter.Create();
        ASSERT_TRUE(messages.empty());
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, settings::Key);  // also a locked one: its owner may delete it
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    }
    void Choose(UINT command) {
        sitter.choice = command;
        sitter.OnMouseUp(platform::MouseButton::Right, POINT{});
    }

    std::optional<platform::HostOverride> injected;
    std::vector<std::string> messages;
    std::vector<int> exitCodes;
    ScriptedSitter sitter;
};

TEST_F(Commands, RightButtonOpensTheMenuWithTrackingPausedOtherButtonsComplain) {
    Choose(0);
    EXPECT_EQ(std::tuple(sitter.menusShown, sitter.trackingWhileOpen, sitter.TrackingTimer().IsEnabled(), sitter.HasBalloon()),
              std::tuple(1, false, true, false)) << "nothing said";
    sitter.OnMouseUp(platform::MouseButton::Middle, POINT{});
    EXPECT_EQ(std::tuple(sitter.menusShown, sitter.balloon().IsVisible(), sitter.balloon().Text()), std::tuple(1, true, "Don't touch me!"));
}

TEST_F(Commands, ACostumeIsStoredCheckedAndWornOrLeftAsItWasWhenTheWriteIsRefused) {
    // Key locked, costume chosen for layer 2, costume worn after, stored after. The entry already checked
    // is written again; a refused write changes nothing but is reported.
    const std::tuple<bool, int, int, std::string> steps[] = {{false, 3, 3, "4:3"}, {false, 3, 3, "4:3"}, {true, 5, 3, "missing"}};
    for (const auto& [locked, chosen, worn, stored] : steps) {
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
        if (locked) LockSettings();
        Choose(SitterWindow::CostumeCommand(Layer::Two, chosen));
        EXPECT_EQ(Stored("Costume2"), stored);
        EXPECT_EQ(std::pair(sitter.CurrentCostume(Layer::Two), Checked(sitter.CostumeMenu(Layer::Two))), std::pair(worn, std::vector<int>{worn}));
        EXPECT_EQ(sitter.Pictures().costume[1].Height(), 89) << "bitmap 152, not 154";
        EXPECT_TRUE(sitter.TrackingTimer().IsEnabled());
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("The costume could not be changed:\r\n\r\nError #26001 - Failed to set")) << messages[0];
}

// Whether the shell shows the character's icon: only an icon that is there can be changed.
bool IconShown(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data, data.hWnd = owner, data.uID = 1, data.uFlags = NIF_TIP;
    lstrcpynW(data.szTip, L"Pellory", ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

TEST_F(Commands, TheNotificationIconOpensTheSameMenuComesBackWithTheTaskbarAndGoesAtExit) {
    ASSERT_TRUE(IconShown(sitter.hwnd()));
    for (const auto& [mouse, menus] : {std::pair{WM_MOUSEMOVE, 0}, {WM_RBUTTONUP, 1}, {WM_LBUTTONUP, 2}}) {
        SendMessageA(sitter.hwnd(), TrayIcon::CallbackMessage, 1, mouse);
        EXPECT_EQ(sitter.menusShown, menus) << mouse;
    }
    EXPECT_FALSE(sitter.trackingWhileOpen);
    sitter.NotificationIcon()->Remove();  // as when the taskbar goes away
    EXPECT_FALSE(IconShown(sitter.hwnd()));
    SendMessageA(sitter.hwnd(), TrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(IconShown(sitter.hwnd())) << "added again for the new taskbar";

    EXPECT_THROW(Choose(SitterWindow::ExitCommand), platform::ProgramEnded);
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_FALSE(sitter.TrackingTimer().IsEnabled()) << "nothing ran after Exit";
    EXPECT_FALSE(IconShown(sitter.hwnd())) << "no icon is left behind";
}

TEST_F(Commands, ASecondStartFindsTheCharacterThatRunsAndLetsItSpeak) {
    const SingleCopy first("Local\\PelloryTests.Copy"), second("Local\\PelloryTests.Copy");
    EXPECT_TRUE(first.IsFirst());
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.TellRunningCopy());
    platform::ProcessPendingEvents();
    EXPECT_TRUE(sitter.balloon().IsVisible());
    EXPECT_EQ(sitter.balloon().Text(), "I'm already here!");
}

TEST_F(Commands, TheDistanceIsStoredWhenTheDialogClosesAndTrackingComesBackWhateverFails) {
    sitter.SetDistance(20);
    for (const bool locked : {false, true}) {
        if (locked) LockSettings();
        After(300, [&] {
            HWND dialog = FindWindowA("Pellory.frmDistance", "Set Distance");
            EXPECT_TRUE(dialog && !sitter.TrackingTimer().IsEnabled() && sitter.Bounds().right < 0) << "out of sight meanwhile";
            SendMessageA(dialog, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(FindWindowExA(dialog, nullptr, "SCROLLBAR", nullptr)));
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        });
        Choose(SitterWindow::DistanceCommand);
        EXPECT_EQ(std::tuple(sitter.Distance(), Stored("FromSide"), sitter.TrackingTimer().IsEnabled()),
                  std::tuple(locked ? 40 : 30, locked ? "missing" : "4:30", true));
    }
    EXPECT_TRUE(messages.empty()) << "a refused write is not reported";
}

TEST_F(Commands, CatSoundsAreTheFirstFiveWordsOnlyWhileCatgirlAndTakeOverAQuestion) {
    sitter.OnCostumeChosen(Layer::One, 3);  // Persocon: no sounds, the counter stands still
    for (int i = 0; i < 600; ++i) sitter.AdvancePeriods(1);
    EXPECT_EQ(sitter.MewCounter(), 0);
    EXPECT_FALSE(sitter.HasBalloon() && sitter.balloon().IsVisible());

    sitter.OnCostumeChosen(Layer::One, 2);
    sitter.AdvancePeriods(499);
    EXPECT_FALSE(sitter.HasBalloon() && sitter.balloon().IsVisible()) << "not before the 500th period";
    sitter.AdvancePeriods(1);
    EXPECT_TRUE(sitter.HasBalloon() && sitter.balloon().IsVisible());
    std::set<std::string> said;
    for (int sound = 0; sound < 40; ++sound) {
        for (int i = 0; i < 500; ++i) sitter.AdvancePeriods(1);
        said.insert(sitter.balloon().Text());
        EXPECT_EQ(sitter.balloon().Caption(), "");
    }
    EXPECT_EQ(said.size(), 5u) << "all five, drawn at random";
    EXPECT_EQ(said, (std::set<std::string>{"Mew!", "Mrowrl...", "*purr*", "Mewl!", "Meow!"}));

    // A sound that falls due during the question replaces it; the fortune follows.
    while (sitter.MewCounter() < 495) sitter.AdvancePeriods(1);
    std::string asked, during;
    bool askingDuring = true;
    After(300, [&] {
        asked = sitter.balloon().Caption() + ": " + sitter.balloon().Text();
        for (int i = 0; i < 5; ++i) sitter.AdvancePeriods(1);
        during = sitter.balloon().Text(), askingDuring = sitter.balloon().IsAsking();
        sitter.balloon().Close();
    });
    sitter.OnFortuneChosen();
    EXPECT_EQ(asked, "!8BALL: Enter question");
    EXPECT_TRUE(said.contains(during)) << during;
    EXPECT_FALSE(askingDuring) << "the message hides the answer field";
    EXPECT_EQ(sitter.balloon().Caption(), "!8BALL") << "the fortune follows";
    EXPECT_NE(platform::LoadStringResource(100).find(sitter.balloon().Text()), std::string::npos) << sitter.balloon().Text();
}

}  // namespace
