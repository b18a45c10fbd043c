#pragma once

#include "exchange/BankFormat.h"

#include <string>
#include <vector>

class Database;

// Writes the questions of the bank, all of them or the rows of a query such
// as the bank window's search, to a file of any of the formats.
class BankExporter {
public:
    explicit BankExporter(Database& bank) : bank_(bank) {}

    // query: program text (GBK) selecting rows of the question table; empty
    // for the whole bank. The rows written, or -1 with the reason in
    // lastErrorText. Questions the format cannot carry are left out and
    // listed in leftOut.
    int exportTo(const std::string& path, BankFormat::Kind kind, const std::string& query = {},
                 TextEncoding encoding = TextEncoding::Utf8);
    // The rows of the query as questions, options up to the last one given.
    bool read(const std::string& query, std::vector<BankQuestion>& questions);
    const std::string& lastErrorText() const { return error_; }
    const std::vector<BankProblem>& leftOut() const { return leftOut_; }

private:
    Database& bank_;
    std::string error_;
    std::vector<BankProblem> leftOut_;
};
