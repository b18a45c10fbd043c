#pragma once

#include "exchange/ParsedBank.h"
#include "exchange/TitleIndex.h"

#include <string>
#include <vector>

// A question in the bank's own layout, as the bank window's add stores it:
// options without spaces, each of the four slots followed by "|", the answer
// letter, and the option count as text. Texts are UTF-8, as SQLite keeps them.
struct CheckedQuestion {
    int line = 0;
    std::string title;
    std::string tmnr;
    std::string answer;
    std::string did;
    std::string category = {}; // empty when the file gave none
};

struct CheckedBank {
    std::vector<CheckedQuestion> questions; // the rows that can be stored (check() keeps them)
    std::vector<BankProblem> problems;      // by line, the reader's and the checker's
    std::size_t questionsRead = 0;          // questions the file holds, with and without problems
    std::size_t accepted = 0;               // questions without problems, kept or not
};

// The dry run: decides for every question read whether the bank can store it
// and how. A title keeps its inner line breaks (as CR LF) and loses the spaces
// around it; options lose every space, as in the bank window's add. A key of
// several letters is a multiple-answer question, stored with its letters in
// order; a stated type must agree with the key.
class BankChecker {
public:
    // storedTitles: the titles already in the bank, UTF-8.
    explicit BankChecker(TitleIndex storedTitles = {});
    // Room for the titles of this many questions.
    void expect(std::size_t questions);

    CheckedBank check(const ParsedBank& parsed);
    // One question after the other: true with the stored form in out, or
    // false with its problems appended (out then holds nothing of use).
    // Earlier questions count for duplicates. Reusing one out for every
    // question spares the allocation of its texts.
    bool checkOne(const BankQuestion& question, CheckedQuestion& out, std::vector<BankProblem>& problems);
    static void sortProblems(std::vector<BankProblem>& problems);
    // Whether every character converts to GBK and back unchanged.
    static bool fitsGbk(std::string_view utf8);

    // "第12行：reason", program text.
    static std::string describe(const BankProblem& problem);

private:
    TitleIndex titles_;
    std::string spill_; // options past the four slots, without spaces
};
