#pragma once

#include "db/DbKind.h"
#include "db/XlsSheetWriter.h"

#include <optional>
#include <string>

// The application's connection. It keeps no database state: each operation
// reads the current kind from BackendRegistry and forwards to that backend's
// connection, so every DbConnection in the process works on the same database.
// With no backend selected every operation does nothing and answers false or
// an empty text. Failures are reported by the result only; lastErrorText
// gives the reason.
class DbConnection {
public:
    // Stores kind as the current kind first, whatever happens next, then
    // closes that backend's connection and opens it again. SQLite: database is
    // the file, created when missing; host, user and charset play no part.
    // MySQL: port 3306, charset "GBK" unless given.
    bool open(const std::optional<std::string>& host, const std::optional<std::string>& user,
              const std::optional<std::string>& password, const std::string& database,
              const std::optional<std::string>& charset, DbKind kind);
    bool execute(const std::string& sql);
    // Closes the current backend's connection; the kind stays, so later
    // operations fail at that backend.
    void close();
    // A table with the single column id, an integer primary key.
    bool createTable(const std::string& table);
    // Adds a text column: TEXT(50) on SQLite, varchar(50) on MySQL, whatever
    // type and length are passed.
    bool addColumn(const std::string& table, const std::string& column, const std::optional<std::string>& type = {},
                   std::optional<int> length = {});
    // Runs query and writes its rows to path; the extension (".txt", ".csv" or
    // ".xls", case-sensitive) chooses the format. False, with nothing written,
    // for any other extension or with no backend selected; false also for a
    // query without rows (text files are then left empty, no spreadsheet is
    // written); an existing file is replaced only by a complete export or such
    // an empty file. The export replaces the result every DbRecordset sees.
    bool exportQuery(const std::string& query, const std::string& path,
                     const std::optional<std::string>& separator = {});
    bool commit();
    bool rollback();
    bool beginTransaction();
    std::string lastErrorText() const;
    std::string clientVersion() const;
    // VACUUM on SQLite; nothing to do (and true) on MySQL.
    bool compact();
    // Deletes every row of the table.
    bool clearTable(const std::string& table);
    // SQLite drops "if exists", so a missing table is no failure there.
    bool dropTable(const std::string& table);
    // Rows that the last INSERT, UPDATE or DELETE that ran touched, an UPDATE
    // counting every row its condition matched, changed or not; -1 when that
    // is not known (no backend selected, or the backend cannot tell).
    long long changedRows() const;
    // How long a statement waits for a database that another program holds
    // locked before it fails. SQLite only; MySQL's server waits by itself.
    bool setBusyTimeout(int milliseconds);

private:
    // Only the export uses it; copies of the connection get their own copy.
    XlsSheetWriter sheetWriter_;
};
