#include "commands/distance_dialog.h"

#include <algorithm>
#include <string>

#include "commands/distance_layout.h"
#include "imaging/pixel_art.h"
#include "platform/error.h"
#include "platform/font.h"
#include "platform/host.h"
#include "platform/layered.h"
#include "platform/number.h"
#include "platform/units.h"
#include "resource_ids.h"

namespace {

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // close button only
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int SmallStep = 1;
constexpr int LargeStep = 10;

platform::WindowClass DialogClass() {
    platform::WindowClass wc;
    wc.name = DistanceDialog::ClassName;
    wc.title = "Set Distance";
    wc.style = DialogStyle;
    wc.exStyle = DialogExStyle;
    wc.background = GetSysColorBrush(COLOR_BTNFACE);
    return wc;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

DistanceDialog::DistanceDialog(int32_t& distance, int sizePercent)
    : platform::Window(DialogClass()), distance_(distance), sizePercent_(sizePercent) {}

int32_t DistanceDialog::SliderValue() const { return slider_ ? GetScrollPos(slider_, SB_CTL) : 0; }

void DistanceDialog::CreateControls() {
    // Tab order is creation order: slider, read-out, preview.
    slider_ = platform::CreateChildWindow(hwnd(), L"SCROLLBAR", L"", WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 0, SliderId);
    readOut_ = platform::CreateChildWindow(hwnd(), L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, ReadOutId);
    preview_ = platform::CreateChildWindow(hwnd(), L"STATIC", L"", WS_VISIBLE | SS_OWNERDRAW, WS_EX_CLIENTEDGE, PreviewId);
    if (!slider_ || !readOut_ || !preview_) platform::RaiseCreateFailed("the distance controls");
    SCROLLINFO range{sizeof range, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 0, 0, 0};
    SetScrollInfo(slider_, SB_CTL, &range, FALSE);
}

void DistanceDialog::LayOut() {
    const DistanceLayout layout = DistanceLayoutAt(dpi_);
    // New font and icons are handed over before the old ones go.
    platform::UniqueFont font = platform::CreateTahoma(dpi_);
    platform::PlaceChildWindow(slider_, layout.slider, font.get());
    platform::PlaceChildWindow(readOut_, layout.readOut, font.get());
    platform::PlaceChildWindow(preview_, layout.preview, font.get());
    font_ = std::move(font);
    platform::UniqueIcon big = platform::LoadIconResource(IDI_DISTANCE, SM_CXICON, SM_CYICON, dpi_);
    platform::UniqueIcon small = platform::LoadIconResource(IDI_DISTANCE, SM_CXSMICON, SM_CYSMICON, dpi_);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);

    // Crisp at whole scales, and no fringe against the colour key at the others.
    imaging::ScaleArt(art_, character_, imaging::CharacterScale(dpi_, sizePercent_),
                      platform::CharacterColourKey);
    shownButtHeight_ = imaging::FirstRowShowing(buttHeight_, art_.Height(), character_.Height());  // on the frame line
    RECT inner{};
    GetClientRect(preview_, &inner);
    backBuffer_.Create(std::max(1L, inner.right), std::max(1L, inner.bottom));
}

bool DistanceDialog::OnCreate() {
    dpi_ = Dpi();
    const RECT frame = platform::WindowRectForClient(DistanceLayoutAt(dpi_).client, DialogStyle, DialogExStyle, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, Width(frame), Height(frame), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();
    art_.CreateFromPicture(platform::LoadBitmapResource(IDB_BASE).get());
    buttHeight_ = platform::RoundHalfEvenClampedToInt32(
        platform::MetricValue(platform::LoadStringResource(IDS_BUTT_HEIGHT)).value_or(0));
    LayOut();
    // A distance the slider cannot hold is shown at the nearer end but stays stored as it is until the
    // user moves the slider: opening and closing the dialog must not rewrite a setting behind the user's back.
    SetScrollPos(slider_, SB_CTL, ClampDistance(distance_), TRUE);
    ShowValue();
    return true;
}

void DistanceDialog::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetBounds(suggested);
    LayOut();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DistanceDialog::MoveSlider(int32_t value) {
    value = ClampDistance(value);
    if (value == SliderValue()) return;
    SetScrollPos(slider_, SB_CTL, value, TRUE);
    OnSliderChanged();
}

void DistanceDialog::OnSliderChanged() {
    distance_ = SliderValue();
    ShowValue();
}

void DistanceDialog::ShowValue() {
    SetWindowTextW(readOut_, (std::to_wstring(SliderValue()) + L"%").c_str());
    RedrawWindow(preview_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void DistanceDialog::OnScroll(int code, int thumb) {
    const int32_t value = SliderValue();
    switch (code) {
        case SB_LINELEFT: MoveSlider(value - SmallStep); break;
        case SB_LINERIGHT: MoveSlider(value + SmallStep); break;
        case SB_PAGELEFT: MoveSlider(value - LargeStep); break;
        case SB_PAGERIGHT: MoveSlider(value + LargeStep); break;
        case SB_LEFT: MoveSlider(0); break;
        case SB_RIGHT: MoveSlider(100); break;
        // The read-out, the setting and the preview follow the thumb while it is dragged.
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: MoveSlider(thumb); break;
        default: break;  // SB_ENDSCROLL
    }
}

void DistanceDialog::PaintPreview(HDC dc) {
    RECT inner{};
    GetClientRect(preview_, &inner);
    const int32_t width = inner.right, height = inner.bottom;
    const int32_t border = platform::SystemMetricAt(SM_CXBORDER, dpi_);

    RECT caption{border, height - platform::SystemMetricAt(SM_CYCAPTION, dpi_), width - border - 2, height};
    DrawCaption(hwnd(), dc, &caption, DC_ACTIVE | DC_ICON | DC_TEXT | DC_GRADIENT);
    // The raised edge is open at the bottom: the outline of a window whose top edge is frame.top.
    RECT frame{0, caption.top - border - 2, width, height};
    DrawEdge(dc, &frame, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);

    // Seated on the frame's inner top line; drawing results are not examined, nothing here can fail usefully.
    if (character_.hDC()) {
        const int32_t w = character_.Width(), h = character_.Height();
        TransparentBlt(dc, PreviewCharacterX(width, w, SliderValue()), frame.top + 2 - shownButtHeight_, w, h,
                       character_.hDC(), 0, 0, w, h, platform::CharacterColourKey);
    }
}

void DistanceDialog::DrawPreviewItem(const DRAWITEMSTRUCT& item) {
    const RECT& box = item.rcItem;
    // Composed off-screen when the buffer fits the box, straight onto the box otherwise.
    const bool buffered = backBuffer_.hDC() && backBuffer_.Width() >= Width(box) && backBuffer_.Height() >= Height(box);
    HDC dc = buffered ? backBuffer_.hDC() : item.hDC;
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    PaintPreview(dc);
    if (buffered) BitBlt(item.hDC, box.left, box.top, Width(box), Height(box), dc, box.left, box.top, SRCCOPY);
}

bool DistanceDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_HSCROLL && slider_ && reinterpret_cast<HWND>(lParam) == slider_) {
        // The range is 0..100, so the 16-bit thumb position of the message is exact.
        OnScroll(LOWORD(wParam), HIWORD(wParam));
        result = 0;
        return true;
    }
    if (message == WM_DRAWITEM && preview_) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->hwndItem == preview_) {
            DrawPreviewItem(*item);
            result = TRUE;
            return true;
        }
    }
    return false;
}

void DistanceDialog::EnableOwner() {
    // The owner must be usable again before this window goes, or the system activates some other program.
    if (owner_ && ownerDisabledByUs_) EnableWindow(owner_, TRUE);
    ownerDisabledByUs_ = false;
}

void DistanceDialog::OnClose() {
    EnableOwner();
    Destroy();
}

void DistanceDialog::OnDestroy() { slider_ = readOut_ = preview_ = nullptr; }

void DistanceDialog::ShowModal(HWND owner) {
    if (IsCreated()) {  // already open: a second opening only brings it forward
        SetForegroundWindow(hwnd());
        return;
    }
    try {
        Create();
    } catch (...) {
        Destroy();
        throw;
    }
    owner_ = owner;
    if (owner) SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    // The owner is parked off the screen while this is open, so centre on the monitor under the pointer.
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT window = Bounds(), &work = monitor.rcWork;
    MoveTo(work.left + (Width(work) - Width(window)) / 2, work.top + (Height(work) - Height(window)) / 2);

    ownerDisabledByUs_ = owner && IsWindowEnabled(owner);
    if (ownerDisabledByUs_) EnableWindow(owner, FALSE);
    Show(SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
    SetFocus(slider_);  // the slider is the one control: the arrow keys should move it at once

    // When the program is asked to end meanwhile, the dialog closes and the request goes on to its loop.
    if (!platform::RunModalLoop([this] { return !IsCreated(); }, hwnd())) OnClose();
    EnableOwner();
    owner_ = nullptr;
}
