#pragma once

#include "platform/gui/GuiKey.h"

#include <optional>
#include <string>

class ExamWindow;

// The exam window from the keyboard. Every key stands for a control and does
// what the mouse does with it: option letters and digits click the option,
// the arrow and page keys the previous and next buttons, Ctrl+Enter the
// hand-in button, Ctrl+Plus and Ctrl+Minus the font buttons. Home, End and
// G, a number, Enter press a grid cell; F flags the question for review.
// Once the report covers the question pages, no key reaches what it hides.
class ExamKeys {
public:
    explicit ExamKeys(ExamWindow& window);

    // True when the key was one of the exam's commands.
    bool take(const platform::GuiKey& key);

    // One line on the keys for the candidate (GBK).
    static std::string helpText();

private:
    bool takeJumpKey(const platform::GuiKey& key);
    bool takeControlKey(const platform::GuiKey& key);
    bool takeCharacter(char character, bool repeated);
    static void click(const char* control);

    ExamWindow& window_;
    // Set after G: the digits typed so far.
    std::optional<std::string> jumpDigits_;
};
