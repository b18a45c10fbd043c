#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Plain records of the results database, free of any window or exam type so
// that every backend and every consumer (exam, history, drills, statistics)
// shares them. Texts are GBK; times are local "YYYY-MM-DD HH:MM:SS".

enum class AttemptState { InProgress, HandedIn, Abandoned };

// One entry of a stored paper: the question exactly as it was drawn (or last
// corrected) and the candidate's answer to it.
struct AttemptEntry {
    int number = 0; // 1..paper size
    std::string questionKey{};
    std::string title{};
    std::string options{};
    std::string answer{};
    std::string optionCount{};
    std::string chosen{};   // empty while unanswered
    std::string chosenAt{}; // when `chosen` was last set; empty while unanswered
    bool flagged = false;

    bool sameQuestionTexts(const AttemptEntry& other) const
    {
        return questionKey == other.questionKey && title == other.title && options == other.options &&
               answer == other.answer && optionCount == other.optionCount;
    }
};

// What a new attempt starts with.
struct AttemptStart {
    std::string kind{"exam"}; // "exam" or "drill"
    std::string candidateId{};
    std::string seatNumber{};
    int secondsLeft = 0;
    int paperDuration = 0;
    int currentQuestion = 1;
    std::vector<AttemptEntry> entries{};
    // A paper the administrator defined: its name and the whole paper as
    // drawn; both empty for the program's own paper.
    std::string paperName{};
    std::string paperText{};
};

// One row of the history: an attempt and the figures taken from its entries.
struct AttemptSummary {
    std::int64_t id = 0;
    std::string kind{};
    std::string candidateId{};
    std::string seatNumber{};
    std::string startedAt{};
    std::string endedAt{}; // hand-in or abandonment; empty while in progress
    AttemptState state = AttemptState::InProgress;
    int secondsLeft = 0;
    int paperDuration = 0;
    int currentQuestion = 1;
    int score = -1;    // -1 until handed in
    int paperSize = 0; // entries holding a question
    int answered = 0;
    int flagged = 0;
    std::string paperName{}; // empty for the program's own paper
    std::string paperText{};
    int pointsTenths = -1; // a defined paper's points once handed in
    int passed = -1;       // 1 passed, 0 failed, -1 not marked against a pass mark
};

// One entry of an attempt as the drills and the statistics weigh it.
struct AnsweredEntry {
    std::int64_t attempt = 0;
    std::string questionKey{};
    std::string answer{};
    std::string chosen{}; // empty while unanswered
};

// An attempt with its whole paper, entries in paper order.
struct StoredAttempt {
    AttemptSummary summary;
    std::vector<AttemptEntry> entries{};
};
