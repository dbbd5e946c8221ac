#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/form.h"
#include "platform/host.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/screen.h"

using namespace platform;

namespace {

UniqueBitmap MakeBitmap(int w, int h) {
    WindowDC screen(nullptr);
    return UniqueBitmap(CreateCompatibleBitmap(screen.get(), w, h));
}

std::string MenuText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

class TickingForm : public Form {
public:
    TickingForm() : Form(FormStyle{"PelloryTests.TickingForm", "t"}) {}
    int ticks = 0;
    Timer timer{*this, 1, true, [this] { ++ticks; }};
    Timer idle{*this, 1, false, [] { FAIL() << "a disabled timer ticked"; }};
};

}  // namespace

TEST(MenuArray, RealMenuFollowsTheItems) {
    MenuArray menu("mnuTest", 500);
    menu.Load(1);
    menu.Load(2);
    menu.SetCaption(1, "Normal");
    menu.SetCaption(2, "Catgirl");
    menu.SetVisible(0, false);
    menu.SetChecked(2, true);
    menu.SetTag(0, "2");

    ASSERT_EQ(GetMenuItemCount(menu.Handle()), 2);  // hidden item 0 is left out
    EXPECT_EQ(MenuText(menu.Handle(), 0), "Normal");
    EXPECT_EQ(GetMenuState(menu.Handle(), menu.CommandId(2), MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu.Handle(), menu.CommandId(1), MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(menu.IndexOfCommand(502), 2);
    EXPECT_FALSE(menu.IndexOfCommand(503));
    EXPECT_EQ(menu.Tag(0), "2");
    EXPECT_EQ(menu.UBound(), 2);

    try {
        menu.Caption(3);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::NoSuchElement);
    }
    EXPECT_THROW(menu.Load(2), Error);
}

TEST(PictureHolder, SizesItselfAndReleasesTheBitmapItReplaces) {
    PictureHolder pic;
    EXPECT_EQ(pic.hDC(), nullptr);
    pic.SetPicture(MakeBitmap(77, 126));
    HBITMAP first = pic.Picture();
    ASSERT_NE(pic.hDC(), nullptr);
    EXPECT_EQ(GetCurrentObject(pic.hDC(), OBJ_BITMAP), first);
    EXPECT_EQ(pic.PixelWidth(), 77);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), 77.0f);
    pic.SetScale(PictureHolder::ScaleMode::Twips);
    EXPECT_FLOAT_EQ(pic.ScaleWidth(), static_cast<float>(77 * TwipsPerPixelX()));
    EXPECT_FLOAT_EQ(pic.ScaleHeight(), static_cast<float>(126 * TwipsPerPixelY()));

    pic.SetPicture(MakeBitmap(2, 3));
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced bitmap must be deleted";
    EXPECT_EQ(pic.PixelHeight(), 3);
}

TEST(Forms, EnabledTimersTickThroughDoEventsAndHostIsInjectable) {
    TickingForm form;
    form.Load();
    ASSERT_NE(form.hWnd(), nullptr);
    DWORD until = GetTickCount() + 2000;
    while (form.ticks < 3 && GetTickCount() < until) {
        Sleep(5);
        DoEvents();
    }
    EXPECT_GE(form.ticks, 3);
    form.timer.SetEnabled(false);
    int stopped = form.ticks;
    Sleep(30);
    DoEvents();
    EXPECT_EQ(form.ticks, stopped);

    std::string seen;
    int ended = -1;
    Host injected;
    injected.title = "Title";
    injected.messageBox = [&](HWND, const std::string& text, const std::string& title, UINT) {
        seen = title + ": " + text;
        return IDOK;
    };
    injected.endProgram = [&](int code) { ended = code; };
    HostOverride host(std::move(injected));
    MsgBox("hello");
    EXPECT_EQ(seen, "Title: hello");
    EXPECT_THROW(End(3), ProgramEnded);
    EXPECT_EQ(ended, 3);
    try {
        LoadResString(101);  // this test program carries no string table
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::ResourceNotFound);
        EXPECT_EQ(e.Description(), "Resource with identifier '101' not found");
    }
    EXPECT_THROW(LoadResPicture(109), Error);
}

TEST(Forms, AFailingHandlerIsReportedNotUnwoundThroughTheWindowSystem) {
    struct Failing : Form {
        Failing() : Form(FormStyle{"PelloryTests.Failing", "f"}) {}
        void Form_MouseUp(int, int, int, int) override { throw Error(err::Overflow, "x", "Overflow"); }
    } form;
    form.Load();
    std::string seen;
    Host injected;
    injected.messageBox = [&](HWND, const std::string& text, const std::string&, UINT) {
        seen = text;
        return IDOK;
    };
    HostOverride host(std::move(injected));
    SendMessageA(form.hWnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(seen, "Error #6 - Overflow");
}
