// Redraws, ticks, conversations and costume changes hold on to no GDI or USER object.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "balloon/balloon.h"
#include "platform/handles.h"
#include "platform/host.h"
#include "sitter/settings.h"
#include "sitter/sitter_window.h"
#include "sitter/wardrobe.h"
#include "tests/support/after.h"

namespace {

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

class Leaks : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
        platform::Host host;
        host.messageBox = [](HWND, const std::string& text, const std::string&, UINT) { ADD_FAILURE() << text; return IDOK; };
        injected.emplace(std::move(host));
        sitter.Create();
        perch = CreateWindowExA(0, "STATIC", "perch", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 300, 400, 300,
                                                    nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        sitter.Destroy();
        testing_support::ForgetQuitRequest();
        DestroyWindow(perch), RegDeleteTreeA(HKEY_CURRENT_USER, settings::Key);
    }

    // Paints, steps of following (as window events bring them), conversations and costume changes.
    void Work(int paints, int steps, int conversations) {
        SetForegroundWindow(perch);
        for (platform::WindowDC dc(sitter.hwnd()); paints > 0; --paints)
            SendMessageW(sitter.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        for (int i = 0; i < steps; ++i)
            WindowEvents::Deliver(nullptr, i % 2 ? EVENT_SYSTEM_FOREGROUND : EVENT_OBJECT_LOCATIONCHANGE, perch, OBJID_WINDOW, 0, 0, 0);
        for (int i = 0; i < conversations; ++i) {
            sitter.Say("Don't touch me!", i % 2 ? "" : "Caption");
            HWND balloon = FindWindowA("Pellory.frmBalloon", nullptr);
            PostMessageW(balloon, WM_CLOSE, 0, 0);  // answered at once
            sitter.Ask("Enter question", "!8BALL", "answer");
            SendMessageW(sitter.hwnd(), WM_COMMAND, Wardrobe::Command(i % 2 ? Layer::One : Layer::Two, i % 3 + 1), 0);
        }
        platform::ProcessPendingEvents();
    }

    std::optional<platform::HostOverride> injected;
    platform::Owned<SitterWindow> sitter;
    HWND perch = nullptr;
};

TEST_F(Leaks, NoObjectOutlivesARedrawATickOrAConversation) {
    // The first ones. Counting from Wine's handle tables makes it rebuild a few cached objects at the
    // next conversations, so the first round follows one count.
    Work(100, 100, 10);
    Count();
    Work(100, 100, 10);
    const ObjectCounts before = SettledCount();
    EXPECT_GT(before.gdi, 0);
    Work(3000, 3000, 300);
    const ObjectCounts after = SettledCount();
    EXPECT_EQ(after.gdi, before.gdi) << "GDI objects";
    // A leak here would be one per round at least, three hundred; the desktop's own come and go by one or two.
    EXPECT_NEAR(after.user, before.user, 2) << "USER objects";
}

TEST(LeakCount, SeesALeakWhereThereIsOne) {
    const ObjectCounts before = SettledCount();
    std::vector<platform::UniqueBrush> kept;
    std::vector<platform::UniqueMenu> menus;
    for (int i = 0; i < 7; ++i) kept.emplace_back(CreateSolidBrush(0));
    for (int i = 0; i < 30; ++i) menus.emplace_back(CreatePopupMenu());
    const ObjectCounts after = SettledCount();
    EXPECT_EQ(after.gdi - before.gdi, 7) << "7 brushes kept";
    EXPECT_NEAR(after.user - before.user, 30, 2) << "30 menus kept";
}

}  // namespace
