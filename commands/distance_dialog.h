#pragma once
// "Set Distance": a slider for the character's distance from the window's right end, with a read-out in
// percent and a live preview of the character seated on a window's top edge.
#include <windows.h>

#include <cstdint>
#include <string>

#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "platform/window.h"

class DistanceDialog : public platform::Window {
public:
    static constexpr const char* ClassName = "Pellory.frmDistance";

    // `distance` is read when the dialog opens and written whenever the slider moves.
    explicit DistanceDialog(int32_t& distance);

    // Opens the dialog over `owner` (disabled meanwhile) and returns once it has been closed. Errors of
    // opening come out of here, with the owner left as it was.
    void ShowModal(HWND owner);

    int32_t SliderValue() const;
    std::string ReadOut() const;
    int32_t ButtHeight() const { return buttHeight_; }
    const cDIBSection& CharacterImage() const { return character_; }
    HWND Slider() const { return slider_; }
    HWND Preview() const { return preview_; }

    // Draws the preview at the preview box's inner size into dc, over whatever is there.
    void PaintPreview(HDC dc);

protected:
    bool OnCreate() override;
    void OnClose() override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CreateControls();
    void MoveSlider(int32_t value);  // and follows it when the value differs
    void OnSliderChanged();
    void OnScroll(int code, int thumb);
    void ShowValue();  // read-out and preview, without touching the setting
    void DrawPreviewItem(const DRAWITEMSTRUCT& item);
    void EnableOwner();

    int32_t& distance_;
    int32_t buttHeight_ = 0;
    HWND slider_ = nullptr;  // children: the window destroys them
    HWND readOut_ = nullptr;
    HWND preview_ = nullptr;
    cDIBSection character_;
    cDIBSection backBuffer_;  // the preview is composed here and copied in one blit, so dragging does not flicker
    platform::UniqueFont font_;
    platform::UniqueIcon bigIcon_;
    platform::UniqueIcon smallIcon_;
    HWND owner_ = nullptr;
    bool ownerDisabledByUs_ = false;
};
