#pragma once
// The character's own window: start-up, seat tracking and frame composition.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/cDIBSection.h"
#include "platform/form.h"
#include "platform/handles.h"
#include "platform/menu.h"
#include "platform/picture.h"

class frmBalloon;

class frmSitter : public platform::Form {
public:
    static constexpr const char* ClassName = "Pellory.frmSitter";
    static constexpr const char* RegistryKey = "Software\\Quarrystone\\Pellory";
    static constexpr int32_t ColourKey = 0x00000000;  // black: the base picture's background
    static constexpr UINT FirstCostume1Command = 1100;
    static constexpr UINT FirstCostume2Command = 1200;
    static constexpr UINT mnuDistanceCommand = 1001;
    static constexpr UINT mnu8BallCommand = 1002;
    static constexpr UINT mnuExitCommand = 1003;

    frmSitter();
    ~frmSitter() override;

    // State shared with tracking, drawing and the commands.
    int32_t FromSide = 0;    // percent of the tracked window's width, from its right edge
    int32_t FromLeft = 0;    // non-zero: drawn mirrored
    int32_t ButtHeight = 0;  // twips from the frame's top to the seat
    int32_t BlinkX = 0;      // pixels
    int32_t BlinkY = 0;      // pixels
    HWND TrackedWnd = nullptr;
    cDIBSection FrameBuffer;

    platform::PictureHolder picBase;
    platform::PictureHolder picCostume;
    platform::PictureHolder picCostume2;
    platform::PictureHolder picBlink1;
    platform::PictureHolder picBlink2;

    platform::MenuArray mnuCos{"mnuCos", FirstCostume1Command};
    platform::MenuArray mnuCos2{"mnuCos2", FirstCostume2Command};

    platform::Timer timSitter;
    platform::Timer timRedraw;

    // Speaking, through the balloon: Say returns at once; Ask waits until the balloon is closed and
    // returns the answer field's content then (nothing when the balloon was closed before it looked).
    void Say(const std::string& foo, const std::string& cap = "");
    std::optional<std::string> Ask(const std::string& foo, const std::string& cap = "", const std::string& def = "");
    // The balloon, loaded on first use.
    frmBalloon& Balloon();
    bool BalloonLoaded() const { return balloon_ != nullptr; }

    // The popup menu "poop" and its commands.
    HMENU PopupMenu() const { return poop_.get(); }
    void RunCommand(UINT command);
    void mnuCos_Click(int Index);
    void mnuCos2_Click(int Index);
    void mnuDistance_Click();
    void mnu8Ball_Click();
    void mnuExit_Click();

    // Re-seats the window on TrackedWnd.
    void Resit();
    // Composes the frame and copies it to `target` (the window's client area).
    void Redraw(HDC target);
    int32_t BlinkCounter() const { return blinkCounter_; }
    int32_t MewCounter() const { return mewCounter_; }

protected:
    void Form_Load() override;
    void Form_Paint(HDC dc) override;
    void Form_MouseUp(int button, int shift, int x, int y) override;
    void Form_QueryUnload() override;

    // Shows the popup menu at the pointer and returns the chosen command (0 for none).
    virtual UINT TrackPopup();

private:
    void BuildPopupMenu();
    void CostumeClick(platform::MenuArray& menu, platform::PictureHolder& picture, const char* valueName,
                      int firstBitmap, int Index);
    void CatSound();
    void timSitter_Timer();
    void timRedraw_Timer();
    void DrawLayer(const platform::PictureHolder& pic, int32_t x, int32_t y, COLORREF key);

    int32_t blinkCounter_ = 0;
    int32_t mewCounter_ = 0;
    platform::UniqueMenu poop_;
    std::unique_ptr<frmBalloon> balloon_;
};

// Splits at every occurrence of the separator; an empty text gives one empty part.
std::vector<std::string> Split(const std::string& text, const std::string& separator);
