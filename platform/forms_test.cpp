#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/form.h"
#include "platform/host.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/screen.h"

using namespace platform;

static UniqueBitmap MakeBitmap(int w, int h) { return UniqueBitmap(CreateCompatibleBitmap(WindowDC(nullptr).get(), w, h)); }

// The error a call raises, as "number: description", or "none".
static std::string ErrorOf(auto&& f) {
    try { f(); } catch (const Error& e) { return std::to_string(e.Number()) + ": " + e.Description(); }
    return "none";
}

TEST(MenuArray, RealMenuFollowsTheItems) {
    MenuArray menu("mnuTest", 500);
    menu.Load(1), menu.Load(2);
    menu.SetCaption(1, "Normal"), menu.SetCaption(2, "Catgirl");
    menu.SetVisible(0, false), menu.SetChecked(2, true), menu.SetTag(0, "2");

    ASSERT_EQ(GetMenuItemCount(menu.Handle()), 2);  // hidden item 0 is left out
    char text[128] = {};
    GetMenuStringA(menu.Handle(), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), "Normal");
    EXPECT_EQ(GetMenuState(menu.Handle(), menu.CommandId(2), MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu.Handle(), menu.CommandId(1), MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_TRUE(menu.IndexOfCommand(502) == 2 && !menu.IndexOfCommand(503));
    EXPECT_EQ(menu.Tag(0) + std::to_string(menu.UBound()), "22");
    EXPECT_EQ(ErrorOf([&] { menu.Caption(3); }).substr(0, 4), "340:");
    EXPECT_THROW(menu.Load(2), Error);
}

TEST(PictureHolder, SizesItselfAndReleasesTheBitmapItReplaces) {
    PictureHolder pic;
    EXPECT_EQ(pic.hDC(), nullptr);
    pic.SetPicture(MakeBitmap(77, 126));
    HBITMAP first = pic.Picture();
    ASSERT_EQ(GetCurrentObject(pic.hDC(), OBJ_BITMAP), first);
    EXPECT_EQ(pic.PixelWidth(), 77);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), 77.0f);
    pic.SetScale(PictureHolder::ScaleMode::Twips);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), static_cast<float>(77 * TwipsPerPixelX()));
    EXPECT_FLOAT_EQ(pic.ScaleHeight(), static_cast<float>(126 * TwipsPerPixelY()));
    pic.SetPicture(MakeBitmap(2, 3));
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced bitmap must be deleted";
    EXPECT_EQ(pic.PixelHeight(), 3);
}

TEST(Forms, TimersTickThroughDoEventsAndTheHostIsInjectable) {
    struct TickingForm : Form {
        TickingForm() : Form(FormStyle{"PelloryTests.TickingForm", "t"}) {}
        void Form_MouseUp(int, int, int, int) override { throw Error(err::Overflow, "x", "Overflow"); }
        int ticks = 0;
        Timer timer{*this, 1, true, [this] { ++ticks; }};
        Timer idle{*this, 1, false, [] { FAIL() << "a disabled timer ticked"; }};
    } form;
    form.Load();
    for (DWORD until = GetTickCount() + 2000; form.ticks < 3 && GetTickCount() < until; DoEvents()) Sleep(5);
    EXPECT_GE(form.ticks, 3);
    form.timer.SetEnabled(false);
    const int stopped = form.ticks;
    Sleep(30), DoEvents();
    EXPECT_EQ(form.ticks, stopped);

    // Message boxes are recorded as "title: text" instead of shown.
    std::string seen;
    int ended = -1;
    Host host;
    host.messageBox = [&](HWND, const std::string& text, const std::string& title, UINT) { seen = title + ": " + text; return IDOK; };
    host.endProgram = [&](int code) { ended = code; };
    HostOverride injected(std::move(host));
    MsgBox("hello");
    EXPECT_EQ(seen, "Pellory: hello");
    EXPECT_THROW(End(3), ProgramEnded);
    EXPECT_EQ(ended, 3);
    // This test program carries no string table.
    EXPECT_EQ(ErrorOf([] { LoadResString(101); }), "326: Resource with identifier '101' not found");
    EXPECT_THROW(LoadResPicture(109), Error);
    // A handler's error is reported instead of unwinding through the window system.
    SendMessageA(form.hWnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(seen, "Pellory: Error #6 - Overflow");
}
