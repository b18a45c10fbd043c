#pragma once

#include "app/PaperChoice.h"
#include "exam/AppState.h"
#include "platform/gui/Gui.h"

#include <functional>
#include <optional>
#include <string>

class Database;
class ExamWindow;
class RoomServices;

// The start window: at creation it finds the program's files, shows the
// configured title, learns from the room whether this PC is in one and opens
// the question bank; its enter button takes the candidate's entries, draws
// the paper and opens the exam window.
class StartWindow {
public:
    static constexpr char windowId[] = "start";

    // runDirectory: where tk.db and i.ini are; unset = the program's own folder.
    // bank: the bank the program opened (the file or the room's server), for
    // the papers the administrator defined; none offers only the default paper.
    // filesProblem: why the folder may lack the bank, added to the message
    // that says it is missing.
    StartWindow(AppState& state, ExamWindow& exam, RoomServices& room, std::optional<std::string> runDirectory = {},
                std::function<Database*()> bank = {}, std::string filesProblem = {});
    ~StartWindow();
    StartWindow(const StartWindow&) = delete;
    StartWindow& operator=(const StartWindow&) = delete;

    // Opens the window; its creation runs the start-up checks. False when
    // they ended the program (exitCode() tells with which code).
    bool open();
    std::optional<int> exitCode() const { return exitCode_; }

    // Fills the paper with up to 100 random questions of the bank; the number
    // drawn, 0 when the bank gave none.
    int drawPaper();
    // Draws the defined paper into entries 1..n; false, after telling the
    // candidate why, when the bank cannot serve it.
    bool drawDefinedPaper(const PaperDefinition& paper);

private:
    platform::HandlerTable handlers();
    void created();
    // The candidate's identity-card and seat numbers; false once the
    // candidate has been asked for the first one missing.
    bool readEntries(std::string& candidateId, std::string& seatNumber);
    void enterClicked();
    // Draws the drill of the candidate's own mistakes instead of a paper.
    void drillClicked();
    void endProgram(const std::string& message, const std::string& caption, platform::MessageBoxIcon icon,
                    int exitCode);
    // Why the bank cannot serve a paper; empty when it can.
    std::string bankProblem();
    // The bank is open: its defined papers, if any, are offered.
    void offerPapers();

    AppState& state_;
    ExamWindow& exam_;
    std::optional<std::string> runDirectory_;
    std::string filesProblem_;
    RoomServices& room_;
    std::optional<int> exitCode_;
    std::function<Database*()> bank_;
    PaperChoice papers_;
};
