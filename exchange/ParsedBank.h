#pragma once

#include <string>
#include <vector>

// Questions as they travel between a file and the bank. Texts are UTF-8 as
// read or to be written; the checker decides what GBK can hold and how the
// bank stores it.
struct BankQuestion {
    // Row of a spreadsheet (1 = the header) or line of a text format where the
    // question starts; 0 when it does not come from a file.
    int line = 0;
    std::string title;
    std::vector<std::string> options;
    std::string answer;
    // Both optional: the kind the file states (单选, 多选 or 判断), held
    // against the key, and the category the question is filed under.
    std::string type = {};
    std::string category = {};
};

// One problem of one question, with the reason in program text (GBK).
struct BankProblem {
    int line = 0;
    std::string reason;
};

// What a reader made of a file. A non-empty error means the file as a whole
// could not be read; the questions and problems are then empty.
struct ParsedBank {
    std::vector<BankQuestion> questions;
    std::vector<BankProblem> problems;
    std::string error; // GBK
    // What the user should know of how the file was read, such as which
    // sheet of a workbook of several (GBK).
    std::vector<std::string> notes;
};
