#pragma once

#include "attempts/AttemptRecords.h"
#include "exam/Paper.h"

#include <string>
#include <vector>

class AppState;
class ExamWindow;
class RoomServices;

// Between the exam workflow and the record of its attempt: the resume offer in
// the start window, and what the exam window's handlers tell the record. Every
// function does nothing while the state has no recorder.
class AttemptBridge {
public:
    static AttemptEntry entryOf(int number, const PaperEntry& entry);
    // Entries 1 to length of the paper (a short drill stores only its own).
    static std::vector<AttemptEntry> entriesOf(const Paper& paper, int length = Paper::size);
    // The number of questions of a stored paper: its last entry's number.
    static int lengthOf(const std::vector<AttemptEntry>& entries);
    static void restorePaper(const std::vector<AttemptEntry>& entries, Paper& paper);

    // The candidate has an attempt in progress: a Yes/No box asks whether to
    // continue it. Yes restores its paper and true is returned; No marks it
    // abandoned. False also when there is none.
    static bool offerResume(AppState& state, const std::string& candidateId);
    // The box's text.
    static std::string resumeQuestion(const AttemptSummary& attempt);

    // The exam window has been set up: a resumed attempt gets its answers,
    // question and clock back; otherwise the drawn paper starts a new record.
    static void examOpened(AppState& state, ExamWindow& exam);
    static void answered(AppState& state);
    static void questionShown(AppState& state, int number);
    static void clockTicked(AppState& state);
    static void handedIn(AppState& state, int score);

    // The history window modal over owner: the candidate's attempts, or
    // everyone's for the administrator code (in an exam room every PC's).
    static void openHistory(AppState& state, RoomServices& room, const std::string& candidateId,
                            const std::string& owner);
    // The start window's history button: the identity-card number typed there.
    static void historyFromStart(AppState& state, RoomServices& room);
    // A stored paper's report, byte for byte as its hand-in wrote it.
    static std::string replayReport(const std::vector<AttemptEntry>& entries);
    // The same for an attempt of a defined paper, marked as that paper was drawn.
    static std::string replayReport(const StoredAttempt& attempt);

    // The time left on the clock (ExamClock::secondsLeft), and back.
    static int secondsLeft(const AppState& state);
    static void setSecondsLeft(AppState& state, int seconds);
    // "h:mm:ss", as the clock shows it.
    static std::string clockCaption(int seconds);
};
