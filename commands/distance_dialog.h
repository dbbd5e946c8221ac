#pragma once
// "Set Distance": a slider for the character's distance from the window's right end, with a read-out in
// percent and a live preview of the character seated on a window's top edge. A dialog of the resource
// script, run by the system's dialog manager (keyboard, focus, the owner disabled meanwhile).
#include <windows.h>

#include <cstdint>
#include <exception>

#include "commands/distance_layout.h"
#include "imaging/cDIBSection.h"
#include "platform/handles.h"
#include "platform/units.h"

class DistanceDialog {
public:
    // Other programs and the tests find the open dialog by its class.
    static constexpr const wchar_t* ClassName = L"Pellory.frmDistance";

    DistanceDialog() = default;
    ~DistanceDialog();
    DistanceDialog(const DistanceDialog&) = delete;
    DistanceDialog& operator=(const DistanceDialog&) = delete;

    // Opens the dialog owned by `owner` and returns once it is closed, having written `distance` at every
    // move. The preview shows the character at `sizePercent` of its art's size, times the dialog's display
    // scale. Errors of opening come out of here, with the owner left as it was.
    void Run(HWND owner, int32_t& distance, int sizePercent);
    // When the dialog is open, brings it to the front: true. False when it is not open.
    bool BringToFrontIfOpen();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit();
    // Moved to a monitor of another scale: the system's rectangle, then everything inside at the new DPI.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // The window's size around the client area at dpi_.
    SIZE WindowSize() const;
    void LayOut();  // controls, font, icons and the preview's character at dpi_
    int32_t SliderValue() const;
    void MoveSlider(int32_t value);  // and follows it when the value differs
    void OnScroll(int code, int thumb);
    void ShowValue();  // read-out and preview, without touching the setting
    void PaintPreview(HDC dc);  // at the preview box's inner size, over whatever is there
    void DrawPreviewItem(const DRAWITEMSTRUCT& item);

    HWND dialog_ = nullptr;  // while open; the controls are its children
    int32_t* distance_ = nullptr;
    int sizePercent_ = 100;
    int dpi_ = platform::DefaultDpi;
    std::exception_ptr failure_;  // raised inside the dialog manager's loop, thrown again from Run
    HWND slider_ = nullptr;
    HWND readOut_ = nullptr;
    HWND preview_ = nullptr;
    int32_t buttHeight_ = 0;  // of the art: rows from its top to the seat
    PreviewWindow previewWindow_{};  // the window the preview draws, at dpi_
    int32_t shownTop_ = 0;           // the preview's row the character's top is drawn on
    cDIBSection art_;         // the bare character as the resources hold it
    cDIBSection character_;   // as the preview shows it
    cDIBSection backBuffer_;  // the preview is composed here and copied in one blit, so dragging does not flicker
    platform::UniqueFont font_;
    platform::UniqueIcon bigIcon_;
    platform::UniqueIcon smallIcon_;
};
