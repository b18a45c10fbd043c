#pragma once

#include "db/types/DateTimeValue.h"
#include "db/types/FieldValue.h"
#include "db/types/NavigationFlags.h"
#include "db/sqlite/SqliteConnection.h"
#include "platform/ByteArray.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
class SqliteResult;

// One query at a time on an SQLite database handle shared with a
// SqliteConnection: the rows are walked by position and fields are read by
// name. A statement runs exactly once: its rows are kept when it is opened, so
// the row count is known at once and moving backwards costs nothing.
//
// Positions: 0 .. recordCount() - 1 on a row, -1 before the first row, -2 after
// the last. recordCount() is -1 for a statement that produced no rows.
// Copies share the handle and the current result. Attached to a connection,
// the recordset owns the handle jointly with it, so the database stays usable
// for it until it is attached elsewhere or gone; a bare handle is borrowed.
class SqliteRecordset {
public:
    bool attach(const SqliteConnection& connection);
    bool attachHandle(sqlite3* handle);
    // A connection object on this recordset's handle, sharing its ownership:
    // its close() ends only its own use of the database.
    SqliteConnection connection() const;

    // Runs a statement: with mode 0, 1 or none the text is the SQL, with any
    // other mode a table name for "Select * From " + text. Up to three blobs
    // bind to the "?" placeholders 1..n, n being the number of textFlags
    // entries (at most 3); a non-zero flag takes that blob as GBK text and
    // binds its UTF-8 form with a terminating zero byte. A blob left out binds
    // NULL. True when the statement ran, whether or not it produced rows.
    bool open(const std::string& text, std::optional<int> mode = std::nullopt,
              const std::optional<ByteArray>& blob1 = std::nullopt,
              const std::optional<ByteArray>& blob2 = std::nullopt,
              const std::optional<ByteArray>& blob3 = std::nullopt,
              const std::optional<std::vector<int>>& textFlags = std::nullopt);
    // Like open, but true only when the query produced at least one row.
    bool query(const std::string& sql);
    bool openOrdered(const std::string& table, const std::string& orderBy);
    bool openWhere(const std::string& table, const std::string& condition);
    // Releases the statement; position and counts stay readable.
    void close();
    int changes() const;
    std::string statementSql() const;

    int recordCount() const { return rowCount_; }
    bool isOpen() const;
    bool isBeforeFirst() const;
    bool isAfterLast() const;
    bool moveFirst();
    bool moveLast();
    bool moveTo(int row);
    bool movePrevious();
    bool moveNext();
    int currentRowIndex() const { return currentRow_; }
    // Changes whenever the current result is replaced or released, so a
    // reader can tell that the rows it walks are no longer there.
    unsigned long long resultSerial() const { return resultSerial_; }

    int fieldCount() const;
    std::string fieldName(int index) const;
    std::string fieldDeclaredType(int index) const;
    // Exact, case-sensitive; the first field of that name; -1 when none.
    int fieldIndex(const std::string& name) const;
    int fieldByteCount(int index) const;

    // A non-empty name wins over the index. Bytes for a column declared
    // "Blob", text otherwise; the integer 0 when there is no such field.
    FieldValue value(const std::optional<std::string>& name = std::nullopt,
                     std::optional<int> index = std::nullopt) const;
    bool readValue(FieldValue& out, const std::optional<std::string>& name = std::nullopt,
                   std::optional<int> index = std::nullopt) const;

    // Reads of the current row by field name. True when the field exists and
    // a statement is open; the out value is written in every case (empty or 0
    // when there is no such field or no current row).
    bool readText(const std::string& name, std::string& out) const;
    // The same read by position, for results whose fields share a name.
    bool readTextAt(int index, std::string& out) const;
    bool readInt(const std::string& name, int& out) const;
    bool readInt64(const std::string& name, std::int64_t& out) const;
    bool readFloat(const std::string& name, float& out) const;
    bool readDouble(const std::string& name, double& out) const;
    bool readBlob(const std::string& name, ByteArray& out) const;
    // True for exactly "1", "yes", "on", "true" or "真".
    bool readBool(const std::string& name, bool& out) const;
    // Texts that hold no date give 100-01-01 00:00:00.
    bool readDateTime(const std::string& name, DateTimeValue& out) const;

    // Narrows the query that open or query stored by a condition, pasted in
    // as a "where" clause, and makes the narrowed result current when it has
    // rows; otherwise the current result stays. Filters do not accumulate: an
    // empty condition runs the stored query again.
    bool filter(const std::string& condition);
    // The whole result of a query as texts: row 0 holds the column names, so
    // rows counts them too. True with everything empty when there are no rows.
    bool queryTable(const std::string& sql, int& rows, int& columns, std::vector<std::vector<std::string>>& table);
    // UPDATE table SET column=replace(column,'find','replacement') [WHERE condition].
    bool replaceInColumn(const std::string& table, const std::string& column, const std::string& find,
                         const std::string& replacement, const std::string& condition);
    // The integer in the column of the one row of table matching condition;
    // false unless exactly one row matches.
    bool lookupInt(const std::string& table, const std::string& condition, int& value, int columnIndex);
    // Whether any row of table matches condition. Replaces the current result.
    bool hasRows(const std::string& table, const std::string& condition);
    // Button states for position (1-based) in total positions: the start pair
    // on the first, the end pair on the last, all four with at most one
    // position, none in between; a position past the total changes nothing.
    static void navigationFlags(int position, int total, NavigationFlags& flags);

private:
    std::shared_ptr<SqliteResult> runStatement(const std::string& sql, const std::optional<ByteArray>* const* blobs,
                                               const std::optional<std::vector<int>>& textFlags, int& rc);
    bool run(const std::string& sql, const std::optional<ByteArray>* const* blobs,
             const std::optional<std::vector<int>>& textFlags, bool requireRows);
    int locate(const std::string& name) const;

    sqlite3* handle_ = nullptr;
    std::shared_ptr<sqlite3> owned_;
    std::shared_ptr<SqliteResult> result_;
    std::string baseSql_;
    int currentRow_ = -1;
    int rowCount_ = -1;
    int columnCount_ = 0;
    unsigned long long resultSerial_ = 0;
};
