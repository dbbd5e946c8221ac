#include "commands/frmDistance.h"

#include <algorithm>

#include "commands/distance_preview.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/screen.h"
#include "resource_ids.h"

namespace {

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // close button only
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

constexpr int SmallStep = 1;
constexpr int LargeStep = 10;
constexpr COLORREF SitterTransparent = 0x00000000;  // black surrounds the bare character

platform::FormStyle DistanceStyle() {
    platform::FormStyle style;
    style.className = frmDistance::ClassName;
    style.caption = "Set Distance";
    style.style = DialogStyle;
    style.exStyle = DialogExStyle;
    style.background = GetSysColorBrush(COLOR_BTNFACE);
    return style;
}

HMODULE ResourceModule() {
    HMODULE module = platform::CurrentHost().resources;
    return module ? module : GetModuleHandleA(nullptr);
}

platform::UniqueIcon LoadDialogIcon(int cx, int cy) {
    return platform::UniqueIcon(static_cast<HICON>(
        LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDI_DISTANCE), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
}

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

}  // namespace

frmDistance::frmDistance(int32_t& fromSide) : platform::Form(DistanceStyle()), fromSide_(fromSide) {}

// The window goes first: its controls still hold the font and it still shows the icons.
frmDistance::~frmDistance() { Unload(); }

int32_t frmDistance::Value() const { return hsbOffset ? GetScrollPos(hsbOffset, SB_CTL) : 0; }

std::string frmDistance::ReadOut() const {
    char text[32] = {};
    if (lblOffset) GetWindowTextA(lblOffset, text, sizeof text);
    return text;
}

void frmDistance::CreateControls() {
    const DistanceLayout layout = DistanceLayoutAt(platform::ScreenDpiX(), platform::ScreenDpiY());
    HINSTANCE instance = GetModuleHandleA(nullptr);

    RECT frame{0, 0, layout.client.cx, layout.client.cy};
    AdjustWindowRectEx(&frame, DialogStyle, FALSE, DialogExStyle);
    SetWindowPos(hWnd(), nullptr, 0, 0, RectWidth(frame), RectHeight(frame), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Tab order is creation order: slider, read-out, preview.
    const RECT& s = layout.hsbOffset;
    hsbOffset = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, s.left, s.top,
                                RectWidth(s), RectHeight(s), hWnd(), reinterpret_cast<HMENU>(INT_PTR{ControlIdOffset}),
                                instance, nullptr);
    const RECT& l = layout.lblOffset;
    lblOffset = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, l.left, l.top,
                                RectWidth(l), RectHeight(l), hWnd(), nullptr, instance, nullptr);
    const RECT& p = layout.Picture1;
    Picture1 = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, p.left, p.top,
                               RectWidth(p), RectHeight(p), hWnd(), reinterpret_cast<HMENU>(INT_PTR{ControlIdPicture}),
                               instance, nullptr);
    if (!hsbOffset || !lblOffset || !Picture1) {
        throw platform::Error(platform::err::CreateFailed, platform::ExeName(), "Cannot create the distance controls");
    }

    SCROLLINFO range{};
    range.cbSize = sizeof range;
    range.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    range.nMin = 0;
    range.nMax = 100;
    SetScrollInfo(hsbOffset, SB_CTL, &range, FALSE);

    LOGFONTA face{};
    face.lfHeight = DialogFontHeight(platform::ScreenDpiY());
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(face.lfFaceName, "Tahoma", LF_FACESIZE);
    font_.reset(CreateFontIndirectA(&face));
    for (HWND control : {hsbOffset, lblOffset, Picture1}) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }

    bigIcon_ = LoadDialogIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    smallIcon_ = LoadDialogIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SendMessageA(hWnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(hWnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    RECT inner{};
    GetClientRect(Picture1, &inner);
    backBuffer_.Create(std::max(1L, inner.right), std::max(1L, inner.bottom));
}

void frmDistance::Form_Load() {
    CreateControls();

    // The character must be copied before the holder selects it into its own device context.
    platform::UniqueBitmap character = platform::LoadResPicture(IDB_BASE);
    buttHeight_ = MetricFromText(platform::LoadResString(IDS_BUTT_HEIGHT));
    sitterImage_.CreateFromPicture(character.get());
    picSitter.SetPicture(std::move(character));

    // A distance the slider cannot hold is shown at the nearer end but stays stored as it is until the
    // user moves the slider: opening and closing the dialog must not rewrite a setting behind the user's back.
    SetScrollPos(hsbOffset, SB_CTL, ClampDistance(fromSide_), TRUE);
    ShowValue();
}

void frmDistance::SetValue(int32_t value) {
    value = ClampDistance(value);
    if (value == Value()) return;
    SetScrollPos(hsbOffset, SB_CTL, value, TRUE);
    hsbOffset_Change();
}

void frmDistance::ShowValue() {
    SetWindowTextA(lblOffset, (std::to_string(Value()) + "%").c_str());
    RedrawWindow(Picture1, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void frmDistance::hsbOffset_Change() {
    fromSide_ = Value();
    ShowValue();
}

void frmDistance::hsbOffset_Scroll() { hsbOffset_Change(); }

void frmDistance::hsbOffset_Message(int code, int thumb) {
    const int32_t value = Value();
    switch (code) {
        case SB_LINELEFT: SetValue(value - SmallStep); break;
        case SB_LINERIGHT: SetValue(value + SmallStep); break;
        case SB_PAGELEFT: SetValue(value - LargeStep); break;
        case SB_PAGERIGHT: SetValue(value + LargeStep); break;
        case SB_LEFT: SetValue(0); break;
        case SB_RIGHT: SetValue(100); break;
        case SB_THUMBTRACK:
            // The read-out, the setting and the preview follow the thumb while it is dragged.
            if (ClampDistance(thumb) != value) {
                SetScrollPos(hsbOffset, SB_CTL, ClampDistance(thumb), TRUE);
                hsbOffset_Scroll();
            }
            break;
        case SB_THUMBPOSITION: SetValue(thumb); break;
        default: break;  // SB_ENDSCROLL
    }
}

void frmDistance::Picture1_Paint(HDC dc) {
    RECT inner{};
    GetClientRect(Picture1, &inner);
    const int32_t W = inner.right;
    const int32_t H = inner.bottom;
    const int32_t DW = sitterImage_.Width();
    const int32_t DH = sitterImage_.Height();
    const int32_t border = GetSystemMetrics(SM_CXBORDER);

    const int32_t x = PreviewSitterX(W, DW, Value());

    RECT caption{border, H - GetSystemMetrics(SM_CYCAPTION), W - border - 2, H};
    DrawCaption(hWnd(), dc, &caption, DC_ACTIVE | DC_ICON | DC_TEXT | DC_GRADIENT);

    // The raised edge is open at the bottom: the outline of a window whose top edge is frame.top.
    RECT frame{0, caption.top - border - 2, W, H};
    DrawEdge(dc, &frame, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);

    // Seated on the frame's inner top line; drawing results are not examined, nothing here can fail usefully.
    if (sitterImage_.hDC()) {
        TransparentBlt(dc, x, frame.top + 2 - buttHeight_, DW, DH, sitterImage_.hDC(), 0, 0, DW, DH,
                       SitterTransparent);
    }
}

void frmDistance::DrawPicture1(const DRAWITEMSTRUCT& item) {
    const RECT& box = item.rcItem;
    HDC target = item.hDC;
    // Composed off-screen when the buffer fits the box, straight onto the box otherwise.
    const bool buffered = backBuffer_.hDC() && backBuffer_.Width() >= RectWidth(box) && backBuffer_.Height() >= RectHeight(box);
    HDC dc = buffered ? backBuffer_.hDC() : target;
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    Picture1_Paint(dc);
    if (buffered) BitBlt(target, box.left, box.top, RectWidth(box), RectHeight(box), dc, box.left, box.top, SRCCOPY);
}

bool frmDistance::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == hsbOffset && hsbOffset) {
                // The range is 0..100, so the 16-bit thumb position of the message is exact.
                hsbOffset_Message(LOWORD(wParam), static_cast<int>(HIWORD(wParam)));
                result = 0;
                return true;
            }
            return false;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item && item->hwndItem == Picture1 && Picture1) {
                DrawPicture1(*item);
                result = TRUE;
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

void frmDistance::Form_QueryUnload() {
    // The owner must be usable again before this window goes, or the system activates some other program.
    if (owner_ && ownerDisabledByUs_) EnableWindow(owner_, TRUE);
    ownerDisabledByUs_ = false;
    Unload();
}

void frmDistance::Form_Unload() {
    hsbOffset = nullptr;
    lblOffset = nullptr;
    Picture1 = nullptr;
}

void frmDistance::ShowModal(HWND owner) {
    if (IsLoaded()) {  // already open: a second opening only brings it forward
        SetForegroundWindow(hWnd());
        return;
    }
    try {
        Load();
    } catch (...) {
        Unload();
        throw;
    }

    owner_ = owner;
    if (owner) SetWindowLongPtrA(hWnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    // The owner is parked off the screen while this is open, so centre on the monitor under the pointer.
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT window{};
    GetWindowRect(hWnd(), &window);
    const RECT& work = monitor.rcWork;
    SetWindowPos(hWnd(), nullptr, work.left + (RectWidth(work) - RectWidth(window)) / 2,
                 work.top + (RectHeight(work) - RectHeight(window)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ownerDisabledByUs_ = owner && IsWindowEnabled(owner);
    if (ownerDisabledByUs_) EnableWindow(owner, FALSE);
    Show(SW_SHOWNORMAL);
    SetForegroundWindow(hWnd());
    SetFocus(hsbOffset);  // the slider is the one control: the arrow keys should move it at once

    MSG msg;
    while (IsLoaded()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {  // the program is ending: close, and leave the quit for the outer loop
            Form_QueryUnload();
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) {
            Form_QueryUnload();
            break;
        }
        if (IsDialogMessageA(hWnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (owner_ && ownerDisabledByUs_) EnableWindow(owner_, TRUE);
    ownerDisabledByUs_ = false;
    owner_ = nullptr;
}
