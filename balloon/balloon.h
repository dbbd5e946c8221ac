#pragma once
// The speech balloon: a borderless topmost window through which the character says a text or asks for
// an answer. One instance lives as long as the program; its window is made on first use. It is told
// where the character is; it never asks the character.
#include <windows.h>

#include <optional>
#include <string>

#include "balloon/painting.h"
#include "balloon/placement.h"
#include "platform/units.h"
#include "platform/window.h"

class Balloon : public platform::Window {
public:
    static constexpr const char* ClassName = "Pellory.frmBalloon";
    // The window is 247 x 129 pixels at 96 DPI (3705 x 1935 twips); at any other DPI it and everything on
    // it are that picture's lengths scaled, drawn anew.
    static constexpr int WidthAt96 = 247;
    static constexpr int HeightAt96 = 129;
    static constexpr unsigned AutoCloseMs = 10000;
    // The controls' ids, by which the window system finds them (GetDlgItem).
    static constexpr int AnswerFieldId = 101;
    static constexpr int OkButtonId = 102;

    // A message closes itself `autoCloseMs` after it was said.
    explicit Balloon(unsigned autoCloseMs = AutoCloseMs);

    // Texts are UTF-8. `character` is where the character's window is and the Size it is shown at.
    // A message that closes on a click or after ten seconds.
    void Say(const std::string& text, const std::string& caption, const CharacterPlace& character);
    // A question with the answer field and "OK"; returns at once.
    void Ask(const std::string& question, const std::string& caption, const std::string& defaultAnswer,
             const CharacterPlace& character);
    // Asks, then handles events until the balloon is hidden. The answer is the field's content right after the
    // event that closed it, or nothing when the balloon was hidden before the first look.
    std::optional<std::string> AskAndWait(const std::string& question, const std::string& caption,
                                          const std::string& defaultAnswer, const CharacterPlace& character);
    // Places the balloon beside the character, shown or not, and turns the tail towards it.
    void FollowCharacter(const CharacterPlace& character);
    // Every way of closing does this: a click, "OK", Enter, the auto-close timer.
    void Close();

protected:
    bool OnCreate() override;
    void OnPaint(HDC dc) override;
    void OnMouseDown(platform::MouseButton button, POINT at) override;
    void OnMouseUp(platform::MouseButton button, POINT at) override;
    // Alt+F4 closes it like a click; the window itself stays for the next use.
    void OnClose() override { Close(); }
    // Fonts, controls, size and face at the new DPI, and placed beside the character again.
    void OnDpiChanged(int dpi, const RECT& suggested) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK AnswerFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR self);
    void LayOut(POINT topLeft);  // size, controls and fonts at dpi_
    std::string Answer() const;
    bool IsAsking() const;
    void SetTexts(const std::string& text, const std::string& caption);
    void BringToTop();

    std::string caption_;
    std::string text_;
    BalloonSide side_;  // where the tail is drawn
    std::optional<CharacterPlace> character_;  // where it was last told the character is
    int dpi_ = platform::DefaultDpi;  // what the face, the controls and the placement are laid out for
    HWND answerField_ = nullptr;  // children: the window destroys them
    HWND okButton_ = nullptr;
    platform::Timer autoCloseTimer_;
    BalloonFonts fonts_;
    std::optional<platform::MouseButton> pressed_;  // the button that went down on the face, for telling a click
};
