#pragma once
// The speech balloon: a borderless top-most window through which the character says a text or asks
// for an answer. One instance lives as long as the program; its window is made on first use.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "balloon/painting.h"
#include "platform/form.h"

// A label that is never shown: it only carries a text to the painter.
struct HiddenLabel {
    std::string Caption;
};

// A child window of the balloon; its parent destroys it.
class ChildControl {
public:
    HWND hWnd() const { return hwnd_; }
    std::string Text() const;
    void SetText(const std::string& text);
    // The control's own visibility, whether or not the balloon is showing.
    bool Visible() const;
    void SetVisible(bool visible);
    // In pixels of the balloon's client area; Move keeps the size.
    RECT Bounds() const;
    void Move(int left, int top);

private:
    friend class frmBalloon;
    HWND hwnd_ = nullptr;
};

class frmBalloon : public platform::Form {
public:
    static constexpr const char* ClassName = "Pellory.frmBalloon";
    // The face is drawn in pixels at fixed places (the tail's columns among them), so the window keeps this
    // size in pixels at any DPI: 3705 × 1935 twips at 96 DPI.
    static constexpr int WidthPx = 247;
    static constexpr int HeightPx = 129;
    static constexpr int32_t BackColor = 0x000000FF;  // red: the colour key
    static constexpr unsigned AutoCloseMs = 10000;

    // The balloon places itself beside `sitter`, which must outlive it; the sitter's window may come later.
    explicit frmBalloon(const platform::Form& sitter);
    ~frmBalloon() override;

    // Shows a message that closes on a click or after ten seconds.
    void Say(const std::string& foo, const std::string& cap = "");
    // Shows a question with the answer field and "OK"; returns at once.
    void Ask(const std::string& foo, const std::string& cap = "", const std::string& def = "");
    // Asks, then handles events until the balloon is hidden; the answer is the field's content right
    // after the event that closed it, or nothing when the balloon was hidden before the first pass.
    std::optional<std::string> AskAndWait(const std::string& foo, const std::string& cap = "",
                                          const std::string& def = "");
    // Places the balloon beside the sitter window, shown or not, and turns the tail towards it.
    void Adjust();
    // The balloon's window, made (hidden) on the first request.
    HWND Handle();

    HiddenLabel lblCaption;
    HiddenLabel lblText;
    ChildControl txtAnswer;
    ChildControl Command1;
    int16_t TailAtTop = 0;
    platform::Timer Timer1;

    // Every way of closing does the same: hide and stop the auto-close timer.
    void Form_Click() { CloseBalloon(); }
    void lblText_Click() { CloseBalloon(); }
    void Command1_Click() { CloseBalloon(); }
    void Timer1_Timer() { CloseBalloon(); }

protected:
    void Form_Load() override;
    void Form_Paint(HDC dc) override;
    void Form_MouseDown(int button, int shift, int x, int y) override;
    void Form_MouseUp(int button, int shift, int x, int y) override;
    // Alt+F4 on the balloon closes it like a click; the window itself stays for the next use.
    void Form_QueryUnload() override { CloseBalloon(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK AnswerFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR self);
    void CloseBalloon();
    void SetTexts(const std::string& foo, const std::string& cap);
    void BringToTop();

    const platform::Form& sitter_;
    BalloonFonts fonts_;
    int pressedButton_ = 0;  // the button that went down on the face, for telling a click
};
