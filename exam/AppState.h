#pragma once

#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "exam/ExamClock.h"
#include "exam/Paper.h"
#include "papers/PaperDefinition.h"
#include "platform/FileSystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class AttemptRecorder;
class Database;

// The one record of the running examination, shared by the start window, the
// exam window and the maintenance windows. Created before the first window
// and destroyed after the last. Header only, so the maintenance windows can
// use it without linking the exam.
class AppState {
public:
    AppState() = default;
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // A file beside the program.
    std::string filePath(std::string_view name) const { return platform::FileSystem::joinPath(runDirectory, name); }

    std::string runDirectory; // GBK, no trailing separator
    DbConnection connection;
    std::string candidateId;
    std::string seatNumber;
    DbRecordset recordset; // attached to `connection` when the paper is drawn
    Paper paper;
    std::int32_t currentQuestion = 1; // number of the question on screen, 1..100
    std::string currentAnswer;        // answer of the question last shown
    // Names of the question-grid cells in the exam window; empty until it opens.
    std::array<std::string, Paper::size> questionCells;
    std::string currentId; // bank key of the question last shown
    ExamClock clock;

    // Shows paper entry k in the exam window (not changing currentQuestion);
    // set while the exam window is open, empty otherwise.
    std::function<void(int)> showQuestion;
    // Called after the candidate set or cleared the review flag of question k
    // (entry k's `flagged`); empty when nobody listens.
    std::function<void(int)> flagChanged;
    // The record of the attempt in the results database; null where nothing is recorded.
    AttemptRecorder* attempts = nullptr;
    // The bank the program opened, whose categories the history charts; empty or null without one.
    std::function<Database*()> bank;
    // A drill of the candidate's own mistakes instead of an exam; its paper
    // holds paperLength questions, an exam's always Paper::size.
    bool drill = false;
    int paperLength = Paper::size;
    // The administrator's paper the candidate chose, as it was when drawn
    // (a later change in the bank does not reach a running or resumed
    // attempt); unset for the program's own paper and for a drill.
    std::optional<PaperDefinition> definedPaper;
    // Makes each question's option order when the defined paper shuffles them.
    std::uint64_t optionSeed = 0;
};
