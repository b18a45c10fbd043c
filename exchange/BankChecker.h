#pragma once

#include "exchange/ParsedBank.h"

#include <memory>
#include <string>
#include <unordered_set>
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
};

struct CheckedBank {
    std::vector<CheckedQuestion> questions; // the rows that can be stored
    std::vector<BankProblem> problems;      // by line, the reader's and the checker's
    std::size_t questionsRead = 0;          // questions the file holds, with and without problems
};

// The dry run: decides for every question read whether the bank can store it
// and how. A title keeps its inner line breaks (as CR LF) and loses the spaces
// around it; options lose every space, as in the bank window's add.
class BankChecker {
public:
    // storedTitles: the titles already in the bank, UTF-8.
    explicit BankChecker(std::unordered_set<std::string> storedTitles = {});
    ~BankChecker();
    BankChecker(const BankChecker&) = delete;
    BankChecker& operator=(const BankChecker&) = delete;

    CheckedBank check(const ParsedBank& parsed);
    // Whether every character converts to GBK and back unchanged.
    bool fitsGbk(std::string_view utf8);

    // "第12行：reason", program text.
    static std::string describe(const BankProblem& problem);

private:
    struct Converter;
    std::unique_ptr<Converter> converter_;
    std::unordered_set<std::string> storedTitles_;
};
