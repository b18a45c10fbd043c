#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Database;

// What the handed-in exams say about each question of the bank. Drills are
// left out: they draw the questions a candidate got wrong, so they would make
// every question look harder and blur the comparison of strong and weak
// candidates that the discrimination rests on.
struct QuestionStatistics {
    std::string key{};    // bank key
    std::string answer{}; // the keyed answer of its newest entry
    // Keyed with several letters, or answered with several by someone: each
    // option ticked counts in its share, so the shares may add up past one.
    bool multiple = false;
    int drawn = 0;
    int right = 0;
    std::array<int, 4> chosen{}; // A to D
    int unanswered = 0;
    // Point-biserial correlation between answering it right and the rest of
    // the score (the attempt's other right answers); unset when either side
    // does not vary.
    std::optional<double> discrimination{};
    // In the top third of attempts by score: entries answered as keyed, and
    // each set of options chosen against the key, indexed by its letters as
    // bits (A is bit 0); a single-answer question only ever has one bit set.
    int topKeyed = 0;
    std::array<int, 16> topWrong{};
    // Single-answer: a negative discrimination, or the top third choosing one
    // wrong option more often than the key. Multiple-answer: the top third
    // choosing one other set more often than the keyed one.
    bool suspect = false;

    double facility() const { return drawn > 0 ? static_cast<double>(right) / drawn : 0.0; }
    double share(int option) const { return drawn > 0 ? static_cast<double>(chosen[option]) / drawn : 0.0; }
    double unansweredShare() const { return drawn > 0 ? static_cast<double>(unanswered) / drawn : 0.0; }
};

// Reads the results database (a file or the room's server) through its store,
// in one pass over the entries in key order, one block of attempts at a time.
class BankStatistics {
public:
    static constexpr int optionCount = 4;
    // Attempts per statement: a block's rows stay a few megabytes.
    static constexpr int attemptsPerBlock = 2000;

    explicit BankStatistics(Database& results) : results_(results) {}

    // False with the reason in lastErrorText; the figures are then empty.
    // paper: the attempts of one paper only, "" for the program's own; unset
    // for every handed-in exam.
    bool compute(const std::optional<std::string>& paper = std::nullopt);

    // Bank keys in first-drawn order.
    const std::vector<QuestionStatistics>& questions() const { return questions_; }
    // The score of every counted attempt, in attempt order.
    const std::vector<int>& scores() const { return scores_; }
    // What the distribution of scores draws, on 0..100 in attempt order: a
    // defined paper's points as a share of what the paper is worth, so that a
    // short paper fills the scale; the scores otherwise.
    const std::vector<int>& distribution() const { return distribution_.empty() ? scores_ : distribution_; }
    std::string lastErrorText() const { return error_; }

private:
    struct Entry {
        std::uint32_t question;
        std::int8_t letters; // options as bits (A is bit 0), 0 unanswered, -1 any other text
        bool right;
    };
    bool fail(const std::string& reason);
    void addAttempt(const std::vector<Entry>& entries, bool top);

    Database& results_;
    std::vector<QuestionStatistics> questions_;
    std::vector<int> scores_;
    std::vector<int> distribution_;
    std::string error_;
    // Per question: sums over its entries of the rest score y, of y squared
    // and of x*y (x: 1 when answered right); exact in integers.
    std::vector<std::array<std::int64_t, 3>> sums_;
};
