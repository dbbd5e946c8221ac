#pragma once
// The character's own window. Its parts live in the files named for them: start-up (startup.cpp), following
// the foreground window (tracking.cpp), composing the frame (drawing.cpp) and the popup menu's commands
// (menu_commands.cpp).
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "platform/window.h"
#include "sitter/costumes.h"
#include "sitter/seat.h"
#include "sitter/window_events.h"

class Balloon;
class TrayIcon;

// What the character is drawn from: the base, the two blink frames and the costume of each layer.
struct CharacterPictures {
    cDIBSection base;
    cDIBSection blinkHalf;
    cDIBSection blinkClosed;
    std::array<cDIBSection, 2> costume;
};

class SitterWindow : public platform::Window {
public:
    static constexpr const char* ClassName = "Pellory.frmSitter";
    // Following the foreground window: a poll every tick until window events prove they arrive, then a
    // slow poll that only checks them.
    static constexpr unsigned TrackIntervalMs = 10;
    static constexpr unsigned EventCheckIntervalMs = 250;
    // The blink and mew schedule counts periods of this length.
    static constexpr unsigned PeriodMs = 25;
    static constexpr UINT DistanceCommand = 1001;
    static constexpr UINT FortuneCommand = 1002;
    static constexpr UINT ExitCommand = 1003;

    SitterWindow();
    ~SitterWindow() override;

    // Speaking, through the balloon: Say returns at once; Ask waits until the balloon is closed and returns
    // the answer field's content then (nothing when the balloon was closed before it looked).
    void Say(const std::string& text, const std::string& caption = "");
    std::optional<std::string> Ask(const std::string& question, const std::string& caption = "",
                                   const std::string& defaultAnswer = "");
    // The balloon, made on first use.
    Balloon& balloon();
    bool HasBalloon() const { return balloon_ != nullptr; }

    // The popup menu and its commands.
    HMENU CostumeMenu(Layer layer) const { return wardrobe(layer).menu; }
    static UINT CostumeCommand(Layer layer, int index);
    // Opens the popup menu at the pointer and runs the command chosen, with tracking paused meanwhile.
    void ShowPopupMenu();
    void RunCommand(UINT command);
    void OnCostumeChosen(Layer layer, int index);
    void OnDistanceChosen();
    void OnFortuneChosen();
    void OnExitChosen();

    // Following the foreground window: one poll, one event (as the system delivers them).
    void OnTrackTick();
    void OnWindowEvent(WindowEvents::Kind kind, HWND window);
    bool FollowsEvents() const { return eventsSeen_ >= EventsToTrust; }

    // The frames of every blink phase, plain and mirrored, composed from the pictures.
    void ComposeFrames();
    // Counts redraw periods; shows a new frame when the blink phase changes, and mews when due.
    void AdvancePeriods(int32_t periods);
    // Copies the frame of the moment to `target`, the window's client area.
    void ShowFrame(HDC target);
    const cDIBSection& ShownFrame() const;

    int32_t Distance() const { return distance_; }
    void SetDistance(int32_t distance) { distance_ = distance; }
    bool IsMirrored() const { return mirrored_; }
    int32_t ButtHeightTwips() const { return buttHeightTwips_; }
    POINT BlinkPosition() const { return blink_; }
    void SetBlinkPosition(POINT at) { blink_ = at; }
    HWND TrackedWindow() const { return tracked_; }
    void SetTrackedWindow(HWND window) { tracked_ = window; }
    const std::vector<std::string>& CostumeNames(Layer layer) const { return wardrobe(layer).names; }
    int CurrentCostume(Layer layer) const { return wardrobe(layer).current; }
    CharacterPictures& Pictures() { return pictures_; }
    int32_t BlinkCounter() const { return blinkCounter_; }
    int32_t MewCounter() const { return mewCounter_; }
    platform::Timer& TrackingTimer() { return trackingTimer_; }
    TrayIcon* NotificationIcon() { return trayIcon_.get(); }

protected:
    void OnCreate() override;
    void OnPaint(HDC dc) override;
    void OnMouseUp(platform::MouseButton button, POINT at) override;
    void OnClose() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Shows the popup menu at the pointer; the chosen command, or 0 for none.
    virtual UINT ChooseFromPopupMenu();

private:
    // One costume layer: its names, the index worn (0 until start-up has read it) and its submenu.
    struct Wardrobe {
        std::vector<std::string> names;
        int current = 0;
        HMENU menu = nullptr;  // owned by the popup menu
    };
    Wardrobe& wardrobe(Layer layer) { return wardrobe_[static_cast<size_t>(layer)]; }
    const Wardrobe& wardrobe(Layer layer) const { return wardrobe_[static_cast<size_t>(layer)]; }

    // Start-up, in its phases.
    void ReadMetricsAndFirstNames();
    void BuildCostumeMenus();
    void ReadSettings();
    void LoadPictures();
    void SetUpWindow();
    void AddCostumeItems(Layer layer);
    // Checks item `index` of the layer's menu alone (index 0, the placeholder of no costume, checks none).
    void CheckCostume(Layer layer, int index);

    SeatMetrics Metrics() const;
    void MoveCharacter(int left, int top);
    [[noreturn]] void EndProgram();
    // One step of following: true when the tracked window or the seat changed.
    bool Track();
    bool IsCovered() const;
    bool WearsCatgirl() const;
    void ScheduleNextFrame();
    void ShowFrameInWindow();
    void OnFrameTimer();
    void Mew();

    int32_t distance_ = 0;   // percent of the tracked window's width, from its right end
    bool mirrored_ = false;  // drawn left to right reversed
    int32_t buttHeightTwips_ = 0;
    POINT blink_{};          // where the blink frames go in the frame, pixels
    HWND tracked_ = nullptr;
    HWND lastForeground_ = nullptr;  // as the system said, before the character's own windows are left out
    RECT trackedFrame_{};    // the tracked window's visible frame, as last seen
    int32_t monitorTop_ = 0; // the top of its monitor
    RECT bounds_{};          // where the character's window is, as last moved
    static constexpr int EventsToTrust = 2;
    int eventsSeen_ = 0;     // changes that events told of before the poll saw them
    std::string loading_;    // what start-up is loading: its failure messages name it
    std::array<Wardrobe, 2> wardrobe_;
    CharacterPictures pictures_;
    std::array<cDIBSection, 6> frames_;  // by blink phase, plain and mirrored
    HDC ownDC_ = nullptr;                 // the window's own (CS_OWNDC): it lives as long as the window
    int32_t blinkCounter_ = 0;
    int32_t mewCounter_ = 0;
    ULONGLONG periodsStart_ = 0;  // when the first period began, GetTickCount64
    int64_t periodsCounted_ = 0;
    platform::UniqueMenu popupMenu_;
    std::unique_ptr<Balloon> balloon_;
    std::unique_ptr<TrayIcon> trayIcon_;  // from the end of start-up on
    std::unique_ptr<WindowEvents> windowEvents_;
    platform::Timer trackingTimer_;
    platform::Timer frameTimer_;  // due when the frame must change next
};
