#pragma once
// The character's own window. It wires the window system's messages and its timers to the small types that
// decide: start-up, the wardrobe, the frame set, the blink schedule and the follower.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "commands/distance_dialog.h"
#include "platform/window.h"
#include "sitter/blink_schedule.h"
#include "sitter/follower.h"
#include "sitter/frame_set.h"
#include "sitter/popup_menu.h"
#include "sitter/startup.h"
#include "sitter/wardrobe.h"

class Balloon;
struct CharacterPlace;
class TrayIcon;

class SitterWindow : public platform::Window {
public:
    static constexpr const char* ClassName = "Pellory.frmSitter";

    SitterWindow();
    ~SitterWindow() override;

    // Speaking, through the balloon: Say returns at once; Ask waits until the balloon is closed and returns
    // the answer field's content then (nothing when the balloon was closed before it looked).
    void Say(const std::string& text, const std::string& caption = "");
    std::optional<std::string> Ask(const std::string& question, const std::string& caption = "",
                                   const std::string& defaultAnswer = "");

protected:
    bool OnCreate() override;
    void OnPaint(HDC dc) override;
    void OnMouseUp(platform::MouseButton button, POINT at) override;
    void OnDestroy() override;
    void OnDpiChanged(int dpi, const RECT& suggested) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Balloon& balloon();
    // Where the balloon finds the character.
    CharacterPlace Place() const;
    void SetUpWindow();
    // Draws the character anew at its scale, and seats it again at its new size.
    void Rescale();
    double Scale() const;
    // The six frames anew from the pictures at the scale: at start-up and when a costume or the scale changes.
    void ComposeFrames();
    SeatMetrics Metrics() const;
    Follower::Character AsFollowed() const;

    void ShowPopupMenu();
    void OnCommand(UINT command);
    void OnCostumeChosen(CostumeChoice choice);
    void OnDistanceChosen();
    void OnFortuneChosen();
    void OnSizeChosen(int percent);

    void OnTrackTick();
    void OnWindowEvent(WindowEvents::Kind kind, HWND window);
    void Follow(const Follower::Step& step);
    void MoveCharacter(int left, int top);

    void OnFrameTimer();
    void ScheduleNextFrame();
    void ShowFrameInWindow();
    void Mew();

    PopupMenu popupMenu_;
    Wardrobe wardrobe_{popupMenu_.CostumeMenus()};
    ArtMetrics art_;
    Preferences preferences_;
    bool mirrored_ = false;  // drawn left to right reversed
    int dpi_ = 96;           // the DPI of the monitor the window is on
    CharacterPictures pictures_;
    FrameSet frames_;
    BlinkSchedule schedule_;
    ULONGLONG createdAt_ = 0;  // GetTickCount64 when the schedule began
    SystemDesktop desktop_;
    Follower follower_{desktop_};
    RECT bounds_{};  // where the character's window is, as last moved
    unsigned pollMs_ = Follower::PollMs;
    HDC ownDC_ = nullptr;  // the window's own (CS_OWNDC): it lives as long as the window
    int exitCode_ = 1;     // until start-up has succeeded
    std::unique_ptr<platform::Owned<Balloon>> balloon_;
    DistanceDialog distanceDialog_;  // one for the window's life: a second command finds it open
    std::unique_ptr<TrayIcon> trayIcon_;
    std::unique_ptr<WindowEvents> windowEvents_;
    platform::Timer trackingTimer_;
    platform::Timer frameTimer_;  // due when the frame must change next
};
