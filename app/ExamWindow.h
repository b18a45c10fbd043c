#pragma once

#include "app/ExamKeys.h"
#include "bank/BankWindow.h"
#include "exam/AppState.h"
#include "platform/gui/Gui.h"

#include "papers/OptionOrder.h"

#include <optional>
#include <string>

class RoomServices;

// The exam window: the question on screen with its options, answering, the
// question grid, navigation, the answer switch, the font buttons, the clock
// and the hand-in with its report. Works on the shared AppState.
class ExamWindow {
public:
    static constexpr char windowId[] = "exam";
    // Typed as the identity-card number, it makes the bank management reachable.
    static constexpr char accessCode[] = "739264";
    static constexpr int clockTimerId = 0;
    static constexpr int clockIntervalMs = 1000;

    // room: where the history lists from; bankActions: what the bank window
    // its button opens offers beside the bank itself.
    ExamWindow(AppState& state, RoomServices& room, BankWindow::Actions bankActions = {});
    ~ExamWindow();
    ExamWindow(const ExamWindow&) = delete;
    ExamWindow& operator=(const ExamWindow&) = delete;

    // Opens the window (its creation runs the set-up) without an owner.
    bool open();

    // Shows paper entry k; currentQuestion is left to the caller.
    void showQuestion(int k);
    // Stores the letter (the letters in order for a multiple-answer question,
    // none when all are unticked again) as the answer of the question on
    // screen and colours its cell; true when it is the correct answer.
    bool recordAnswer(const std::string& letter);
    // The control a click on option index (0 = A) goes to: the option's
    // check box while a multiple-answer question is on screen.
    const char* optionControl(int index) const;
    void clockTick();
    // Asks first, then hands in.
    void handIn();
    // As a press on the cell of question k (1..paperLength()).
    void jumpTo(int k);
    // Questions on the paper: 100 in an exam, fewer in a short drill.
    int paperLength() const { return state_.paperLength; }
    // Sets or clears the review flag of the question on screen.
    void toggleFlag();
    // Shows the review flag of question k on its cell as the paper holds it.
    void showFlag(int k);

    // Name of the grid cell of question k (1..100).
    static std::string cellName(int k);

private:
    platform::HandlerTable handlers();
    void created();
    void beingDestroyed();
    void optionClicked(const platform::GuiEvent& event);
    void tickBoxClicked();
    void addMultipleAnswerControls();
    void addPdfButton();
    void saveReportPdf();
    void answerSwitchClicked();
    void cellPressed(const platform::GuiEvent& event);
    void previousClicked();
    void nextClicked();
    void setQuestionFontSize(int points);
    void openBankWindow();
    void openCorrectionWindow();

    // Writes and shows the report, stops the clock and records the hand-in.
    void submit();
    // The time of a paper that is handed in when it runs out has run out.
    void timeUp();
    // The order of the entry's options on screen, when the paper shuffles them.
    std::optional<OptionOrder> optionOrder(const PaperEntry& entry) const;
    // Letters of the bank as the screen shows them.
    std::string shown(const PaperEntry& entry, const std::string& bankLetters) const;
    // A defined paper in exam mode before its hand-in: nothing tells right from wrong.
    bool hidingResults() const;
    // Colours cell k by its answer held against key.
    void colourCell(int k, const std::string& key);
    void describeCell(int k);
    void setUpDefinedPaper();

    void resetCellBorders();
    void uncheckOptions();
    void stopClock();

    AppState& state_;
    RoomServices& room_;
    const BankWindow::Actions bankActions_;
    ExamKeys keys_{*this};
    // Above the report in its PDF: whose paper, when handed in, the score.
    std::string pdfHeading_;
    bool handedIn_ = false;
};
