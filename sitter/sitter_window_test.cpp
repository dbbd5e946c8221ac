// The character's window driven through its messages, with the real registry, resources and balloon: its
// end, the menu's commands, the notification icon, its scale, its timer, and the objects it holds.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <vector>

#include "platform/error.h"
#include "platform/host.h"
#include "platform/text.h"
#include "balloon/balloon.h"
#include "sitter/popup_menu.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"
#include "sitter/startup.h"
#include "sitter/tray_icon.h"
#include "sitter/wardrobe.h"
#include "tests/support/after.h"
#include "tests/support/settings.h"

namespace {

using testing_support::After;
using testing_support::DeleteSettings;
using testing_support::Stored;

// Denies every access to the settings key: writes then fail as they would on a locked-down profile.
void LockSettings() {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settings::Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &empty, FALSE);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
    RegCloseKey(key);
}


// Whether the shell shows the character's icon: only an icon that is there can be changed.
bool IconShown(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data, data.hWnd = owner, data.uID = 1, data.uFlags = NIF_TIP;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// What a screen reader reads of the balloon: "caption: text", or "" while it is hidden.
std::string BalloonSays() {
    HWND balloon = FindWindowA("Pellory.frmBalloon", nullptr);
    if (!balloon || !IsWindowVisible(balloon)) return "";
    wchar_t text[256] = {};
    GetWindowTextW(balloon, text, 256);
    return platform::Narrow(text);
}

// The captions of a menu's items.
std::vector<std::string> Items(HMENU menu) {
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        items.push_back(platform::Narrow(caption));
        std::erase(items.back(), '&');  // the access key's mark
    }
    return items;
}

// Runs the loop until `done` or two seconds have passed; `done` then.
bool Within2s(const std::function<bool()>& done) {
    const ULONGLONG until = GetTickCount64() + 2000;
    platform::RunModalLoop([&] { return done() || GetTickCount64() > until; });
    return done();
}

// Live objects of the process. Where the system does not count them (Wine answers 0), they are found
// from the handle tables instead: both hand out the lowest free slot first, so after making more
// objects than there can be free slots, the highest slot index used is the number of live objects plus
// a constant.
struct ObjectCounts { long gdi, user; };

long HighestSlotAfter(int count, auto make, auto destroy, int slotStep) {
    std::vector<decltype(make())> made;
    long highest = 0;
    for (int i = 0; i < count; ++i) highest = std::max(highest, long(LOWORD(reinterpret_cast<uintptr_t>(made.emplace_back(make())))));
    for (auto h : made) destroy(h);
    return highest / slotStep - count;
}

ObjectCounts Count() {
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi != 0 && user != 0) return {static_cast<long>(gdi), static_cast<long>(user)};
    // Each count leaves as many free slots as it made objects, so the next one must make more.
    static int made = 3000;
    made += 1000;
    return {HighestSlotAfter(made, [] { return CreateSolidBrush(RGB(1, 2, 3)); }, [](HBRUSH b) { DeleteObject(b); }, 1),
            HighestSlotAfter(made, [] { return CreatePopupMenu(); }, [](HMENU m) { DestroyMenu(m); }, 2)};
}

// USER handles are shared with the desktop's other programs (the notification area makes and drops some
// of its own for our icon), so a count is taken once two in a row agree, and a USER count is good to two.
ObjectCounts SettledCount() {
    ObjectCounts last = Count();
    for (int i = 0; i < 10; ++i) {
        platform::ProcessPendingEvents();
        Sleep(50);
        const ObjectCounts now = Count();
        if (now.gdi == last.gdi && now.user == last.user) break;
        last = now;
    }
    return last;
}

class Sitter : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettings();
        platform::Host host;
        host.messageBox = [this](HWND, const std::string& text, const std::string&, UINT) {
            messages.push_back(text);
            return IDOK;
        };
        host.loadString = [this](int id) {
            if (id == missingString) platform::RaiseResourceNotFound(id);
            return platform::LoadStringResourceFrom(nullptr, id);
        };
        injected.emplace(std::move(host));
        // As users start it: with a window in front already.
        SetForegroundWindow(perch);
        sitter.emplace(Startup::Run());
        ASSERT_TRUE(sitter->Create());
    }
    void TearDown() override {
        sitter->Destroy();
        testing_support::ForgetQuitRequest();
        DestroyWindow(perch), DeleteSettings();
    }

    void Command(UINT command) { SendMessageW(sitter->hwnd(), WM_COMMAND, command, 0); }
    bool SeatedAt(RECT expected) const { const RECT at = sitter->Bounds(); return EqualRect(&at, &expected); }
    // The character's body below the blinking eyes, as its paint shows it.
    std::vector<COLORREF> Body() {
        cDIBSection frame;
        EXPECT_TRUE(frame.Create(77, 126));
        SendMessageW(sitter->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(frame.hDC()), PRF_CLIENT);
        std::vector<COLORREF> pixels;
        for (int i = 56 * 77; i < 126 * 77; ++i) pixels.push_back(GetPixel(frame.hDC(), i % 77, i / 77));
        return pixels;
    }

    int missingString = 0;
    std::optional<platform::HostOverride> injected;
    std::vector<std::string> messages;
    std::optional<platform::Owned<SitterWindow>> sitter;
    HWND perch = CreateWindowExA(0, "STATIC", "perch", WS_POPUP | WS_VISIBLE, 100, 200, 500, 400, nullptr, nullptr, nullptr, nullptr);
};

// Whether the icon was still there when the window's last message came: the shell forgets an icon only
// while its window exists.
HWND ending = nullptr;
bool iconAtTheEnd = true;
LRESULT CALLBACK LookAtTheEnd(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == ending && message->message == WM_NCDESTROY) iconAtTheEnd = IconShown(ending);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Exit and a close request end the program through its loop, with nothing left behind.
TEST_F(Sitter, EndsThroughItsLoopWithNoIconLeft) {
    ending = sitter->hwnd();
    ASSERT_TRUE(IconShown(ending));
    SendMessageW(ending, WM_MBUTTONUP, 0, 0);  // any button but the right one
    ASSERT_EQ(BalloonSays(), "Don't touch me!");
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &LookAtTheEnd, nullptr, GetCurrentThreadId());
    Command(PopupMenu::ExitCommand);
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(IsWindow(ending));
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_FALSE(iconAtTheEnd);
    EXPECT_EQ(BalloonSays(), "") << "nothing said after the end";

    platform::Owned<SitterWindow> again(Startup::Run());
    ASSERT_TRUE(again.Create());
    PostMessageW(again.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_FALSE(again.IsCreated());
}

TEST_F(Sitter, TheMenuPausesFollowingAndTheNotificationIconOpensIt) {
    ASSERT_TRUE(Within2s([&] { return SeatedAt({523, 108, 600, 234}); }));
    // Either click on the icon opens the menu; while it is open the perch moves.
    for (const UINT mouse : {WM_RBUTTONUP, WM_LBUTTONUP}) {
        bool opened = false, stayed = false;
        std::vector<std::string> items;
        After(200, [&] {
            HWND menu = FindWindowA("#32768", nullptr);
            opened = menu && IsWindowVisible(menu);
            const auto shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            items = Items(shown);
            std::ranges::copy(Items(GetSubMenu(shown, 4)), std::back_inserter(items));  // the Sizes
            if (GetMenuState(shown, PopupMenu::SizeCommand(100), MF_BYCOMMAND) & MF_CHECKED) items.push_back("100% checked");
            SetWindowPos(perch, nullptr, 150, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            const ULONGLONG until = GetTickCount64() + 100;
            while (GetTickCount64() < until) platform::ProcessPendingEvents();
            stayed = SeatedAt({523, 108, 600, 234});
            EndMenu();
        });
        SendMessageW(sitter->hwnd(), TrayIcon::CallbackMessage, 1, mouse);
        EXPECT_TRUE(opened) << mouse;
        EXPECT_TRUE(stayed) << "no following while the menu is open";
        EXPECT_EQ(items, (std::vector<std::string>{"Distance...", "Costume 1", "Costume 2", "Functions", "Size", "", "Exit", "100%", "150%", "200%", "300%", "100% checked"}));
        EXPECT_TRUE(Within2s([&] { return SeatedAt({573, 108, 650, 234}); })) << "following again";
        SetWindowPos(perch, nullptr, 100, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Within2s([&] { return SeatedAt({523, 108, 600, 234}); });
    }
    // The taskbar came back: the icon is added again.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data, data.hWnd = sitter->hwnd(), data.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &data);
    SendMessageW(sitter->hwnd(), TrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(IconShown(sitter->hwnd()));
}

// A choice is stored at once and worn; one the registry refuses is left as it was, and the user is told. The
// scale of the display changes the character too.
TEST_F(Sitter, TakesItsChoicesAtOnceAndTheScaleOfItsDisplay) {
    ASSERT_TRUE(SeatedAt({523, 108, 600, 234})) << "seated on the window in front as it was made";
    const std::vector<COLORREF> plain = Body();
    const auto SetDistance = [&](int pagesRight) {
        After(300, [&, pagesRight] {
            HWND dialog = FindWindowA("Pellory.frmDistance", "Set Distance");
            for (int i = 0; i < pagesRight; ++i) SendMessageW(dialog, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1)));
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        });
        Command(PopupMenu::DistanceCommand);
    };
    const auto dpiChanged = [&](int dpi) {
        RECT suggested{0, 0, 10, 10};  // the rule seats it, not the system's suggestion
        SendMessageW(sitter->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    };
    // What happens; then where it sits (its size times the art's 77 x 126 and the butt's 92), which value is
    // stored as what, and whether its body below the eyes is drawn as at first.
    const struct { const char* what; std::function<void()> act; RECT seat; const char* name; std::string stored; bool plain; } steps[] = {
        {"costume 5 of layer 2 refused", [&] { LockSettings(); Command(Wardrobe::Command(Layer::Two, 5)); }, {523, 108, 600, 234}, "Costume2", "missing", true},
        {"costume 3 of layer 2", [&] { DeleteSettings(); Command(Wardrobe::Command(Layer::Two, 3)); }, {523, 108, 600, 234}, "Costume2", "4:3", false},
        {"Size 150 %", [&] { Command(PopupMenu::SizeCommand(150)); }, {484, 62, 600, 251}, "Size", "4:150", false},
        {"onto a 200 % display", [&] { dpiChanged(192); }, {369, -76, 600, 302}, "Size", "4:150", false},
        {"Size 300 % refused", [&] { LockSettings(); Command(PopupMenu::SizeCommand(300)); }, {369, -76, 600, 302}, "Size", "missing", false},
        {"back at 100 %", [&] { DeleteSettings(); dpiChanged(96); }, {484, 62, 600, 251}, "Size", "missing", false},
        {"Size 100 %", [&] { Command(PopupMenu::SizeCommand(100)); }, {523, 108, 600, 234}, "Size", "4:100", false},
        // Stored when the dialog closes; a refused write is not reported, and following comes back all the same.
        {"distance 30 % refused", [&] { LockSettings(); SetDistance(3); }, {373, 108, 450, 234}, "FromSide", "missing", false},
        {"distance 60 %", [&] { DeleteSettings(); SetDistance(3); }, {223, 108, 300, 234}, "FromSide", "4:60", false},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_TRUE(Within2s([&] { return SeatedAt(step.seat); })) << step.what;  // the window's size with it
        EXPECT_EQ(std::pair(Stored(step.name), Body() == plain), std::pair(step.stored, step.plain)) << step.what;
    }
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].starts_with("The costume could not be changed:\r\n\r\nError #26001 - Failed to set")) << messages[0];
    EXPECT_TRUE(messages[1].starts_with("The size could not be changed:\r\n\r\nError #26001")) << messages[1];
}

// Without its answers the fortune says nothing after the question, and the user is told why.
TEST_F(Sitter, TheFortuneWithoutItsAnswersSaysWhyAfterTheQuestion) {
    missingString = 100;
    std::string asked;
    After(300, [&] {
        asked = BalloonSays();
        SendMessageW(GetDlgItem(FindWindowA("Pellory.frmBalloon", nullptr), Balloon::OkButtonId), BM_CLICK, 0, 0);
    });
    Command(PopupMenu::FortuneCommand);
    EXPECT_EQ(std::pair(asked, BalloonSays()), std::pair(std::string("!8BALL: Enter question"), std::string()));
    EXPECT_EQ(messages, std::vector<std::string>{"Error #326 - Resource with identifier '100' not found"});
}

// The eyes half close 101 periods of 25 ms after the window was made, close, half open and open again after
// 116. The timer wakes
// for those changes only: besides a first tick while the window starts, nothing before the blink, where every
// period would be 100 wake-ups.
HWND watched = nullptr;
ULONGLONG created = 0;
std::map<WPARAM, std::vector<ULONGLONG>> timerMessages;  // by timer (the frame's and the follower's): when
LRESULT CALLBACK CountTimerMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->hwnd == watched && message->message == WM_TIMER)
        timerMessages[message->wParam].push_back(GetTickCount64() - created);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(SitterTimer, WakesForTheBlinkAndNothingElse) {
    RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &CountTimerMessages, nullptr, GetCurrentThreadId());
    platform::Owned<SitterWindow> sitter(Startup::Run());
    created = GetTickCount64();
    sitter.Create();
    watched = sitter.hwnd();
    platform::RunModalLoop([&] { return GetTickCount64() >= created + 3100; });
    UnhookWindowsHookEx(hook);
    sitter.Destroy();
    testing_support::ForgetQuitRequest();
    ASSERT_EQ(timerMessages.size(), 2u) << "the frame's timer and the follower's";
    const std::vector<ULONGLONG>& woke = std::min(timerMessages.begin()->second, timerMessages.rbegin()->second,
                                                  [](const auto& a, const auto& b) { return a.size() < b.size(); });
    EXPECT_EQ(std::count_if(woke.begin(), woke.end(), [](ULONGLONG t) { return t > 200 && t < 2525; }), 0) << "none before the blink";
    EXPECT_TRUE(!woke.empty() && woke.back() >= 2900) << "the timer woke for the eyes to open again";
    EXPECT_LE(woke.size(), 5u) << "a first tick and the blink's four changes at most";
}

}  // namespace

namespace {

// Paints, steps of following (as window events bring them), conversations and costume changes hold on to no
// GDI or USER object.
TEST_F(Sitter, NoObjectOutlivesAPaintAStepOrAConversation) {
    const auto work = [&](int rounds) {
        for (platform::WindowDC dc(sitter->hwnd()); rounds > 0; --rounds) {
            SendMessageW(sitter->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
            WindowEvents::Deliver(nullptr, rounds % 2 ? EVENT_SYSTEM_FOREGROUND : EVENT_OBJECT_LOCATIONCHANGE, perch, OBJID_WINDOW, 0, 0, 0);
            if (rounds % 10) continue;
            sitter->Say("Don't touch me!", rounds % 20 ? "" : "Caption");
            PostMessageW(FindWindowA("Pellory.frmBalloon", nullptr), WM_CLOSE, 0, 0);  // answered at once
            sitter->Ask("Enter question", "!8BALL", "answer");
            Command(Wardrobe::Command(rounds % 20 ? Layer::One : Layer::Two, rounds / 10 % 3 + 1));
        }
        platform::ProcessPendingEvents();
    };
    // Counting from Wine's handle tables makes it rebuild a few cached objects at the next conversations,
    // so the first round follows one count.
    work(100), Count(), work(100);
    const ObjectCounts before = SettledCount();
    EXPECT_GT(before.gdi, 0);
    work(3000);
    const ObjectCounts after = SettledCount();
    EXPECT_EQ(after.gdi, before.gdi) << "GDI objects";
    // A leak here would be one per round at least, three hundred; the desktop's own come and go by one or two.
    EXPECT_NEAR(after.user, before.user, 2) << "USER objects";
}


}  // namespace
