#pragma once

#include "exchange/BankFormat.h"

#include <string>
#include <vector>

struct sqlite3;

// Writes the questions of the bank, all of them or the rows of a query such
// as the bank window's search, to a file of any of the formats.
class BankExporter {
public:
    static constexpr char wholeBank[] = "SELECT * FROM KS_SJTK";

    explicit BankExporter(sqlite3* db) : db_(db) {}

    // query: program text (GBK) selecting rows of KS_SJTK. The rows written,
    // or -1 with the reason in lastErrorText.
    int exportTo(const std::string& path, BankFormat::Kind kind, const std::string& query = wholeBank,
                 TextEncoding encoding = TextEncoding::Utf8);
    // The rows of the query as questions, options up to the last one given.
    bool read(const std::string& query, std::vector<BankQuestion>& questions);
    const std::string& lastErrorText() const { return error_; }

private:
    sqlite3* db_;
    std::string error_;
};
