#pragma once

#include "papers/OptionOrder.h"
#include "platform/gui/Gui.h"

#include <optional>
#include <string>

class AppState;

// The correction window: shows the question on screen and writes a corrected
// title, options and answer into the bank and into the paper, so that the
// exam goes on with the corrected question. The bank's option count stays.
// Where the paper shuffles options, the window shows them, and takes the
// answer, in the order the candidate sees; the bank keeps its own letters.
class CorrectionWindow {
public:
    // examWindow: the window showing the question, whose answer switch and
    // answer label follow a correction.
    CorrectionWindow(AppState& state, std::string examWindow, std::optional<OptionOrder> order = std::nullopt);
    CorrectionWindow(const CorrectionWindow&) = delete;
    CorrectionWindow& operator=(const CorrectionWindow&) = delete;

    // Handlers for the window's events, bound to one CorrectionWindow that
    // lives as long as the table does.
    static platform::HandlerTable handlers(AppState& state, const std::string& examWindow,
                                           std::optional<OptionOrder> order = std::nullopt);
    // The window as it opens: its design plus the category of the question.
    static platform::WindowDescription layout();
    // Handlers bound to this object, which must outlive the window.
    platform::HandlerTable handlerTable();

    const std::string& windowId() const { return window_; }

    // Event operations.
    void fill();
    void correct();

    std::string answerLetter() const;

private:
    void reportError(const std::string& message);
    void showCategory();
    bool idMissing();

    std::string shown(const std::string& bankLetters) const;

    AppState& state_;
    std::string window_;
    std::string examWindow_;
    std::optional<OptionOrder> order_;
};
