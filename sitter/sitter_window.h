#pragma once
// The character's own window. It wires the window system's messages and its timers to the small types that
// decide: the wardrobe and the costume folders, the frame set, the blink schedule and the tracking of the
// foreground window.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "balloon/balloon.h"
#include "commands/distance_dialog.h"
#include "platform/window.h"
#include "sitter/blink_schedule.h"
#include "sitter/costume_folders.h"
#include "sitter/frame_set.h"
#include "sitter/startup.h"
#include "sitter/tracking.h"

class TrayIcon;

class SitterWindow : public platform::Window, private Tracking::Client {
public:
    static constexpr const char* ClassName = "Pellory.frmSitter";

    // The window of the character that start-up made.
    explicit SitterWindow(std::unique_ptr<Character> character);
    ~SitterWindow() override;

    // Speaking, through the balloon: Say returns at once; Ask waits until the balloon is closed and returns
    // the answer field's content then (nothing when the balloon was closed before it looked).
    void Say(const std::string& text, const std::string& caption = "");
    std::optional<std::string> Ask(const std::string& question, const std::string& caption = "",
                                   const std::string& defaultAnswer = "");

    // What the program's loop waits on beside the events, from the window's creation on: the costume folders.
    const std::vector<platform::WaitedHandle>& Watches() const { return costumeFolders_.Watches(); }

protected:
    bool OnCreate() override;
    void OnPaint(HDC dc) override;
    void OnMouseUp(platform::MouseButton button, POINT at) override;
    void OnDestroy() override;
    void OnDpiChanged(int dpi, const RECT& suggested) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // What tracking asks of the character and tells it.
    HWND CharacterWindow() const override { return hwnd(); }
    Tracking::Footing FootingNow() const override;
    void MirroringChanged() override { ShowFrameInWindow(); }
    void PollEvery(unsigned ms) override;

    // Draws the character anew at its scale, and seats it again at its new size.
    void Rescale();
    double Scale() const;
    // The six frames anew from the pictures at the scale: at start-up and when a costume or the scale changes.
    void ComposeFrames();

    void ShowPopupMenu();
    void OnCommand(UINT command);
    void OnCostumeChosen(const CostumeChoice& choice);
    void OnCostumeFoldersChanged();
    void OnDistanceChosen();
    void OnFortuneChosen();
    void OnSizeChosen(int percent);

    // How tracking last seated it: the frames are drawn mirrored more than halfway along the edge.
    bool Mirrored() const;
    void OnFrameTimer();
    void ScheduleNextFrame();
    void ShowFrameInWindow();
    void Mew();

    std::unique_ptr<Character> character_;
    int dpi_ = 96;  // the DPI of the monitor the window is on
    FrameSet frames_;
    BlinkSchedule schedule_;
    ULONGLONG createdAt_ = 0;  // GetTickCount64 when the schedule began
    HDC ownDC_ = nullptr;      // the window's own (CS_OWNDC): it lives as long as the window
    platform::Owned<Balloon> balloon_;  // its window is made when it first speaks
    DistanceDialog distanceDialog_;  // one for the window's life: a second command finds it open
    std::unique_ptr<TrayIcon> trayIcon_;
    std::optional<Tracking> tracking_;  // from the window's creation to the end of the object
    platform::Timer pollTimer_;
    platform::Timer frameTimer_;  // due when the frame must change next
    CostumeFolders costumeFolders_;
};
