#pragma once

#include "db/DbKind.h"

#include <string>
#include <vector>

// The results database as the store sees it: statements in, rows of texts out.
// The store writes only statements that SQLite and MySQL/MariaDB both run, so a
// server connection can stand behind the same interface. Failures are reported
// by the result, the reason by lastErrorText; nothing throws.
class ResultsConnection {
public:
    using Rows = std::vector<std::vector<std::string>>;

    virtual ~ResultsConnection() = default;

    virtual DbKind kind() const = 0;
    virtual bool execute(const std::string& sql) = 0;
    // The result rows without a header row; NULL reads as "".
    virtual bool query(const std::string& sql, Rows& rows) = 0;
    virtual std::string lastErrorText() const = 0;
};
