#include "commands/distance_dialog.h"

#include <algorithm>
#include <string>
#include <utility>

#include "imaging/pixel_art.h"
#include "platform/error.h"
#include "platform/font.h"
#include "platform/host.h"
#include "platform/layered.h"
#include "platform/number.h"
#include "platform/window.h"
#include "resource_ids.h"

namespace {

constexpr int SmallStep = 1;
constexpr int LargeStep = 10;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The template names its own class, so that other programs find the dialog by it: the system's dialog
// window under our name.
void RegisterDialogClass(HINSTANCE module) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(module, DistanceDialog::ClassName, &wc)) return;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = DistanceDialog::ClassName;
    RegisterClassExW(&wc);
}

}  // namespace

DistanceDialog::~DistanceDialog() {
    // Only a dialog whose owner outlived this object gets here open: no message may reach it any more.
    if (dialog_) {
        SetWindowLongPtrW(dialog_, DWLP_USER, 0);
        DestroyWindow(dialog_);
    }
}

void DistanceDialog::Run(HWND owner, int32_t& distance, int sizePercent) {
    distance_ = &distance;
    sizePercent_ = sizePercent;
    const HMODULE module = platform::ResourceModule();
    RegisterDialogClass(module);
    const INT_PTR result =
        DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_DISTANCE), owner, &DialogProc, reinterpret_cast<LPARAM>(this));
    distance_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    if (result == -1) platform::RaiseCreateFailed("the distance dialog");
}

bool DistanceDialog::BringToFrontIfOpen() {
    if (!dialog_) return false;
    SetForegroundWindow(dialog_);
    return true;
}

INT_PTR CALLBACK DistanceDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<DistanceDialog*>(lParam)->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<DistanceDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        // No late message may reach the object after this.
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->dialog_ = self->slider_ = self->readOut_ = self->preview_ = nullptr;
        return FALSE;
    }
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the dialog manager: the dialog ends and Run throws it.
        self->failure_ = std::current_exception();
        EndDialog(dialog, -1);
        return TRUE;
    }
}

bool DistanceDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit();
            return true;  // the focus goes to the first tab stop: the slider
        case WM_HSCROLL:
            // The range is 0..100, so the 16-bit thumb position of the message is exact.
            if (reinterpret_cast<HWND>(lParam) == slider_) OnScroll(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_DRAWITEM:
            if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam); item->hwndItem == preview_) {
                DrawPreviewItem(*item);
                return true;
            }
            return false;
        case WM_COMMAND:
            // Enter, Escape, Alt+F4 and the close button: the dialog has no other buttons, and the last value stays.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog_, 0);
            return true;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return true;
        default:
            return false;
    }
}

void DistanceDialog::OnInit() {
    slider_ = GetDlgItem(dialog_, IDC_DISTANCE_SLIDER);
    readOut_ = GetDlgItem(dialog_, IDC_DISTANCE_READOUT);
    preview_ = GetDlgItem(dialog_, IDC_DISTANCE_PREVIEW);
    SCROLLINFO range{sizeof range, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 0, 0, 0};
    SetScrollInfo(slider_, SB_CTL, &range, FALSE);
    art_.CreateFromPicture(platform::LoadBitmapResource(IDB_BASE).get());
    buttHeight_ = platform::RoundHalfEvenClampedToInt32(
        platform::MetricValue(platform::LoadStringResource(IDS_BUTT_HEIGHT)).value_or(0));
    dpi_ = platform::WindowDpi(dialog_);
    LayOut();

    // Centred on the monitor the user chose the command on: the owner is parked off the screen meanwhile,
    // and the template's size is not the one the layout gives at the monitor's DPI. A dialog larger than
    // the monitor keeps its caption on it.
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const SIZE size = WindowSize();
    SetWindowPos(dialog_, nullptr, work.left + std::max(0L, (Width(work) - size.cx) / 2),
                 work.top + std::max(0L, (Height(work) - size.cy) / 2), size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    // A distance the slider cannot hold is shown at the nearer end but stays stored as it is until the
    // user moves the slider: opening and closing the dialog must not rewrite a setting behind the user's back.
    SetScrollPos(slider_, SB_CTL, ClampDistance(*distance_), TRUE);
    ShowValue();
}

void DistanceDialog::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, Width(suggested), Height(suggested),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE DistanceDialog::WindowSize() const {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE));
    const RECT frame = platform::WindowRectForClient(DistanceLayoutAt(dpi_).client, style, exStyle, dpi_);
    return {Width(frame), Height(frame)};
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
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);

    RECT inner{};
    GetClientRect(preview_, &inner);
    const SIZE box{std::max(1L, inner.right), std::max(1L, inner.bottom)};
    previewWindow_ = PreviewWindowIn(box, platform::SystemMetricAt(SM_CYCAPTION, dpi_), platform::SystemMetricAt(SM_CXBORDER, dpi_));
    const PreviewCharacter shown = PreviewCharacterIn(previewWindow_.seatLine, {art_.Width(), art_.Height()},
                                                      buttHeight_, imaging::CharacterScale(dpi_, sizePercent_));
    // Crisp at whole scales, and no fringe against the colour key at the others.
    imaging::ScaleArt(art_, character_, shown.scale, platform::CharacterColourKey);
    shownTop_ = shown.top;
    backBuffer_.Create(box.cx, box.cy);
}

int32_t DistanceDialog::SliderValue() const { return slider_ ? GetScrollPos(slider_, SB_CTL) : 0; }

void DistanceDialog::MoveSlider(int32_t value) {
    value = ClampDistance(value);
    if (value == SliderValue()) return;
    SetScrollPos(slider_, SB_CTL, value, TRUE);
    *distance_ = value;
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
    RECT caption = previewWindow_.caption, frame = previewWindow_.frame;
    DrawCaption(dialog_, dc, &caption, DC_ACTIVE | DC_ICON | DC_TEXT | DC_GRADIENT);
    DrawEdge(dc, &frame, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
    // Drawing results are not examined: nothing here can fail usefully.
    if (character_.hDC()) {
        const int32_t w = character_.Width(), h = character_.Height();
        TransparentBlt(dc, PreviewCharacterX(frame.right, w, SliderValue()), shownTop_, w, h, character_.hDC(), 0, 0, w,
                       h, platform::CharacterColourKey);
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
