#pragma once

#include <string>

struct sqlite3;

// A question bank file opened for the command-line tool: it must exist and
// hold the table KS_SJTK; it is never created. Closed with the object.
class BankDatabase {
public:
    BankDatabase() = default;
    ~BankDatabase();
    BankDatabase(const BankDatabase&) = delete;
    BankDatabase& operator=(const BankDatabase&) = delete;

    // path: GBK. False with the reason (GBK) in lastErrorText.
    bool open(const std::string& path);
    sqlite3* handle() const { return db_; }
    const std::string& lastErrorText() const { return error_; }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};
