#pragma once

#include "db/mysql/MysqlRecordset.h"
#include "db/sqlite/SqliteRecordset.h"

#include <string>
#include <variant>
#include <vector>

// The result open on the current backend, kept apart from it: queries run
// later through any DbRecordset leave it as it was. Texts are read by row and
// column as DbRecordset::readText reads them by the column's name, so a column
// sharing its name with an earlier one reads as that one.
class DbResultCopy {
public:
    DbResultCopy() = default;
    // Empty (no rows) when the current backend holds no result.
    static DbResultCopy ofCurrentResult();

    int rowCount() const { return rows_; }
    int columnCount() const { return static_cast<int>(names_.size()); }
    // GBK; empty outside the rows and columns.
    std::string text(int row, int column) const;

private:
    // Reads move the copy's own current row.
    mutable std::variant<std::monostate, SqliteRecordset, MysqlRecordset> recordset_;
    std::vector<std::string> names_;
    int rows_ = 0;
};
