#include "sitter/frmSitter.h"

#include <cmath>

#include "balloon/frmBalloon.h"
#include "platform/number.h"

#include "platform/handles.h"
#include "platform/host.h"
#include "platform/random.h"
#include "platform/screen.h"
#include "sitter/frame_bounds.h"
#include "sitter/seat.h"

namespace {

platform::FormStyle SitterStyle() {
    platform::FormStyle style;
    style.className = frmSitter::ClassName;
    style.caption = "Pellory";
    style.style = WS_POPUP;
    style.exStyle = WS_EX_TOOLWINDOW;  // no taskbar button: the character is all there is
    style.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    return style;
}

constexpr COLORREF LayerKey = 0x000000FF;  // red marks what costume and blink pictures leave out

}  // namespace

frmSitter::frmSitter()
    : platform::Form(SitterStyle()),
      timSitter(*this, 10, false, [this] { timSitter_Timer(); }),
      timRedraw(*this, 25, true, [this] { timRedraw_Timer(); }) {
    BuildPopupMenu();
}

frmSitter::~frmSitter() {
    // The costume lists own their submenus: take them out before the popup menu destroys its children.
    mnuCos.Detach(poop_.get());
    mnuCos2.Detach(poop_.get());
}

frmBalloon& frmSitter::Balloon() {
    if (!balloon_) balloon_ = std::make_unique<frmBalloon>(*this);
    return *balloon_;
}

void frmSitter::Say(const std::string& foo, const std::string& cap) { Balloon().Say(foo, cap); }

std::optional<std::string> frmSitter::Ask(const std::string& foo, const std::string& cap, const std::string& def) {
    return Balloon().AskAndWait(foo, cap, def);
}

void frmSitter::Form_QueryUnload() { platform::End(0); }

void frmSitter::timSitter_Timer() {
    HWND h = GetForegroundWindow();
    if (h == hWnd()) h = TrackedWnd;
    if (h == Balloon().Handle()) h = TrackedWnd;
    TrackedWnd = h;
    Resit();
}

void frmSitter::Resit() {
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    const RECT rect = VisibleFrame(TrackedWnd);
    SeatTwips seat = ComputeSeat(rect, FromSide, ButtHeight, picBase.ScaleWidth(), platform::TwipsPerPixelX(),
                                 platform::TwipsPerPixelY());
    FromLeft = seat.fromLeft;
    Move(seat.left, seat.top);
    Balloon().Adjust();
}

void frmSitter::DrawLayer(const platform::PictureHolder& pic, int32_t x, int32_t y, COLORREF key) {
    const int w = pic.PixelWidth();
    const int h = pic.PixelHeight();
    if (pic.Picture() == picBase.Picture()) {
        BitBlt(FrameBuffer.hDC(), x, y, w, h, pic.hDC(), 0, 0, SRCCOPY);
    } else {
        TransparentBlt(FrameBuffer.hDC(), x, y, w, h, pic.hDC(), 0, 0, w, h, key);
    }
}

void frmSitter::Redraw(HDC target) {
    DrawLayer(picBase, 0, 0, LayerKey);
    DrawLayer(picCostume2, 0, 0, LayerKey);
    ++blinkCounter_;
    if (blinkCounter_ == 101 || blinkCounter_ == 102) DrawLayer(picBlink1, BlinkX, BlinkY, LayerKey);
    if (blinkCounter_ >= 103 && blinkCounter_ <= 114) DrawLayer(picBlink2, BlinkX, BlinkY, LayerKey);
    if (blinkCounter_ == 115 || blinkCounter_ == 116) DrawLayer(picBlink1, BlinkX, BlinkY, LayerKey);
    if (blinkCounter_ > 200) blinkCounter_ = 0;
    DrawLayer(picCostume, 0, 0, LayerKey);

    const int W = FrameBuffer.Width();
    const int H = FrameBuffer.Height();
    if (FromLeft != 0) {
        StretchBlt(target, W - 1, 0, -W, H, FrameBuffer.hDC(), 0, 0, W, H, SRCCOPY);
    } else {
        BitBlt(target, 0, 0, W, H, FrameBuffer.hDC(), 0, 0, SRCCOPY);
    }
    CatSound();
}

void frmSitter::CatSound() {
    // The layer's index as start-up and the costume commands leave it. Until start-up has read it the
    // Tag names no item: that is no cat. Read without raising or copying, as this runs on every redraw.
    const std::optional<double> tag = platform::ParseNumericText(mnuCos.Tag(0));
    if (!tag || std::fabs(*tag) > mnuCos.UBound()) return;
    const int index = static_cast<int>(std::nearbyint(*tag));
    if (!mnuCos.Exists(index) || mnuCos.Caption(index) != "Catgirl") return;
    if (++mewCounter_ != 500) return;
    mewCounter_ = 0;
    const std::vector<std::string> words = Split("Mew! Mrowrl... *purr* Mewl! Meow! ....mreew?", " ");
    // floor(r * 5): one of the first five, never the last.
    const auto pick = static_cast<size_t>(platform::Rnd() * static_cast<float>(words.size() - 1));
    Say(words[std::min(pick, words.size() - 2)]);
}

void frmSitter::timRedraw_Timer() {
    platform::WindowDC dc(hWnd());
    Redraw(dc.get());
}

void frmSitter::Form_Paint(HDC dc) { Redraw(dc); }
