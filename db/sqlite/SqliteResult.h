#pragma once

#include "db/sqlite/ByteArena.h"
#include "platform/ByteArray.h"

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3_stmt;

// Everything one statement produced, kept after it ran to its end: the
// prepared statement, for the column names, declared types and text, and the
// values of every row as SQLite gave them. Reads convert a value exactly as
// SQLite's column readers would have converted it on the live statement. Rows
// and columns out of range read as NULL.
//
// Rows lie one after another in a byte arena, each as the end offsets of its
// values, their type tags and then the value bytes (integers and reals as their
// 8 bytes), so a million rows cost a few allocations and little beyond the
// bytes of their values.
class SqliteResult {
public:
    // Takes over the prepared statement; it is finalized with the result.
    explicit SqliteResult(sqlite3_stmt* statement);
    ~SqliteResult();
    SqliteResult(const SqliteResult&) = delete;
    SqliteResult& operator=(const SqliteResult&) = delete;

    // Steps the statement to its end once, keeping the rows. SQLITE_DONE when
    // it got there; otherwise the failing code, with no rows kept and the
    // reason in the handle's error state.
    int run();

    sqlite3_stmt* statement() const { return statement_; }
    int columnCount() const { return columnCount_; }
    int rowCount() const { return rowCount_; }
    // GBK; empty for a column out of range.
    const std::string& columnName(int column) const;
    // The first column of exactly that name (case-sensitive), -1 when none.
    int columnIndex(const std::string& name) const;
    std::string declaredType(int column) const;
    // Declared "Blob". The library reports that type as "BLOB", so the
    // letter case cannot count.
    bool isBlobColumn(int column) const;

    std::string text(int row, int column) const; // GBK
    std::int64_t integer(int row, int column) const;
    double real(int row, int column) const;
    ByteArray bytes(int row, int column) const;
    int byteCount(int row, int column) const;

private:
    struct Field {
        int type = 5; // SQLITE_INTEGER .. SQLITE_NULL
        const char* data = nullptr;
        std::uint32_t length = 0;
        std::int64_t integer() const;
        double real() const;
    };

    Field field(int row, int column) const;
    bool keepRow();
    bool convert(const Field& field) const;

    sqlite3_stmt* statement_;
    // "SELECT ?1": a stored value bound to it comes back through the column
    // readers, which then convert it as they would have the original.
    sqlite3_stmt* converter_ = nullptr;
    int columnCount_ = 0;
    int rowCount_ = 0;
    std::vector<std::string> names_;
    std::vector<const char*> rows_;
    ByteArena arena_;
};
