#pragma once

#include "db/DbKind.h"

#include <string>
#include <string_view>

// The statement texts that the facades build from caller texts. Nothing is
// quoted, escaped or checked: names, conditions and assignments are pasted in
// as they are, and the backend reports what it cannot run.
class SqlStatements {
public:
    // A table with the single column id, an integer primary key (auto-increment
    // on MySQL). Empty for a kind that selects no backend.
    static std::string createTable(DbKind kind, std::string_view table);
    static std::string addColumn(std::string_view table, std::string_view column, std::string_view type, int length);
    static std::string deleteRows(std::string_view table, std::string_view condition);
    static std::string updateRows(std::string_view table, std::string_view assignments, std::string_view condition);

    // An INSERT from an assignments list such as a='1',b='x y'. Names are the
    // texts between "," and "='", values those between "='" and "'," of the
    // list wrapped in commas. False, with the statement left alone, when fewer
    // values than names are found (a final value without its closing quote,
    // say): the statement would shift values into the wrong columns.
    static bool insertRow(std::string_view table, std::string_view assignments, std::string& statement);

    // The statement of a blob write, with one "?" for the blob: an update of the
    // matching rows, or an insert of a new row when the condition is empty.
    static std::string writeBlob(std::string_view table, std::string_view column, std::string_view condition);
    static std::string exists(std::string_view table, std::string_view condition);
};
