#pragma once
// The "Set Distance" dialog: a slider for the sitter's distance from the window's right edge, with a
// read-out in percent and a live preview of the character seated on a window's top edge.
#include <windows.h>

#include <cstdint>
#include <string>

#include "imaging/cDIBSection.h"
#include "platform/form.h"
#include "platform/handles.h"
#include "platform/picture.h"

class frmDistance : public platform::Form {
public:
    static constexpr const char* ClassName = "Pellory.frmDistance";
    static constexpr int ControlIdOffset = 1;
    static constexpr int ControlIdPicture = 2;

    // fromSide is the sitter's distance: read when the dialog loads, written whenever the slider moves.
    explicit frmDistance(int32_t& fromSide);
    ~frmDistance() override;

    // Loads the dialog, shows it over `owner` (disabled meanwhile) and returns once it has been closed.
    // Errors of loading come out of here, with the owner left as it was.
    void ShowModal(HWND owner);

    // Controls; they live as long as the dialog's window (0 while it is not loaded).
    HWND hsbOffset = nullptr;
    HWND lblOffset = nullptr;
    HWND Picture1 = nullptr;
    platform::PictureHolder picSitter;

    int32_t Value() const;          // the slider's value
    std::string ReadOut() const;    // what lblOffset shows
    int32_t ButtHeight() const { return buttHeight_; }
    const cDIBSection& SitterImage() const { return sitterImage_; }

    // Draws the preview at the preview box's inner size into dc, over whatever is there: the window
    // system erases the box first, and so must a caller drawing elsewhere.
    void Picture1_Paint(HDC dc);

protected:
    void Form_Load() override;
    void Form_QueryUnload() override;
    void Form_Unload() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CreateControls();
    void SetValue(int32_t value);  // moves the slider; raises the change event when the value differs
    void ShowValue();              // read-out and preview, without touching the setting
    void hsbOffset_Change();
    void hsbOffset_Scroll();
    void hsbOffset_Message(int code, int thumb);
    void DrawPicture1(const DRAWITEMSTRUCT& item);

    int32_t& fromSide_;
    int32_t buttHeight_ = 0;
    cDIBSection sitterImage_;
    cDIBSection backBuffer_;  // the preview is composed here and copied in one blit, so dragging does not flicker
    platform::UniqueFont font_;
    platform::UniqueIcon bigIcon_;
    platform::UniqueIcon smallIcon_;
    HWND owner_ = nullptr;
    bool ownerDisabledByUs_ = false;
};
