#pragma once
// "Set Distance": a slider for the character's distance from the window's right end, with a read-out in
// percent and a live preview of the character seated on a window's top edge.
#include <windows.h>

#include <cstdint>

#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "platform/units.h"
#include "platform/window.h"

class DistanceDialog : public platform::Window {
public:
    static constexpr const char* ClassName = "Pellory.frmDistance";
    // The controls' ids, by which the window system finds them (GetDlgItem).
    static constexpr int SliderId = 1;
    static constexpr int PreviewId = 2;
    static constexpr int ReadOutId = 3;

    // `distance` is read when the dialog opens and written whenever the slider moves. The preview shows
    // the character at `sizePercent` of its art's size, times the dialog's display scale.
    DistanceDialog(int32_t& distance, int sizePercent);

    // Opens the dialog over `owner` (disabled meanwhile) and returns once it has been closed. Errors of
    // opening come out of here, with the owner left as it was.
    void ShowModal(HWND owner);

protected:
    bool OnCreate() override;
    void OnClose() override;
    void OnDestroy() override;
    // Moved to a monitor of another scale: the system's rectangle, then everything inside at the new DPI.
    void OnDpiChanged(int dpi, const RECT& suggested) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CreateControls();
    void LayOut();  // controls, font, icons and the preview's character at dpi_
    int32_t SliderValue() const;
    void MoveSlider(int32_t value);  // and follows it when the value differs
    void OnSliderChanged();
    void OnScroll(int code, int thumb);
    void ShowValue();  // read-out and preview, without touching the setting
    void PaintPreview(HDC dc);  // at the preview box's inner size, over whatever is there
    void DrawPreviewItem(const DRAWITEMSTRUCT& item);
    void EnableOwner();

    int32_t& distance_;
    const int sizePercent_;
    int dpi_ = platform::DefaultDpi;
    int32_t buttHeight_ = 0;        // of the art: rows from its top to the seat
    int32_t shownButtHeight_ = 0;   // the same in the preview
    HWND slider_ = nullptr;  // children: the window destroys them
    HWND readOut_ = nullptr;
    HWND preview_ = nullptr;
    cDIBSection art_;        // the bare character as the resources hold it
    cDIBSection character_;  // as the preview shows it
    cDIBSection backBuffer_;  // the preview is composed here and copied in one blit, so dragging does not flicker
    platform::UniqueFont font_;
    platform::UniqueIcon bigIcon_;
    platform::UniqueIcon smallIcon_;
    HWND owner_ = nullptr;
    bool ownerDisabledByUs_ = false;
};
