#pragma once
// The speech balloon: a borderless topmost window through which the character says a text or asks for
// an answer. One instance lives as long as the program; its window is made on first use. It is told
// where the character is; it never asks the character.
#include <windows.h>

#include <optional>
#include <string>

#include "balloon/painting.h"
#include "balloon/placement.h"
#include "platform/window.h"

class Balloon : public platform::Window {
public:
    static constexpr const char* ClassName = "Pellory.frmBalloon";
    // The face is drawn in pixels at fixed places (the tail's columns among them), so the window keeps this
    // size in pixels at any DPI: 3705 x 1935 twips at 96 DPI.
    static constexpr int WidthPx = 247;
    static constexpr int HeightPx = 129;
    static constexpr unsigned AutoCloseMs = 10000;

    Balloon();

    // `character` is the character's window on the screen, in pixels.
    // A message that closes on a click or after ten seconds.
    void Say(const std::string& text, const std::string& caption, const RECT& character);
    // A question with the answer field and "OK"; returns at once.
    void Ask(const std::string& question, const std::string& caption, const std::string& defaultAnswer,
             const RECT& character);
    // Asks, then handles events until the balloon is hidden. The answer is the field's content right after the
    // event that closed it, or nothing when the balloon was hidden before the first look.
    std::optional<std::string> AskAndWait(const std::string& question, const std::string& caption,
                                          const std::string& defaultAnswer, const RECT& character);
    // Places the balloon beside the character, shown or not, and turns the tail towards it.
    void FollowCharacter(const RECT& character);
    // Every way of closing does this: a click, "OK", Enter, the auto-close timer.
    void Close();

    const std::string& Caption() const { return caption_; }
    const std::string& Text() const { return text_; }
    std::string Answer() const;
    HWND AnswerField() const { return answerField_; }
    HWND OkButton() const { return okButton_; }
    bool IsAsking() const;
    platform::Timer& AutoCloseTimer() { return autoCloseTimer_; }

protected:
    bool OnCreate() override;
    void OnPaint(HDC dc) override;
    void OnMouseDown(platform::MouseButton button, POINT at) override;
    void OnMouseUp(platform::MouseButton button, POINT at) override;
    // Alt+F4 closes it like a click; the window itself stays for the next use.
    void OnClose() override { Close(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK AnswerFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR self);
    void SetTexts(const std::string& text, const std::string& caption);
    void BringToTop();

    std::string caption_;
    std::string text_;
    Tail tail_ = Tail::Bottom;
    HWND answerField_ = nullptr;  // children: the window destroys them
    HWND okButton_ = nullptr;
    platform::Timer autoCloseTimer_;
    BalloonFonts fonts_;
    std::optional<platform::MouseButton> pressed_;  // the button that went down on the face, for telling a click
};
