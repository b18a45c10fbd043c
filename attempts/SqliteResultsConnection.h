#pragma once

#include "attempts/ResultsConnection.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteRecordset.h"

// A results database in an SQLite file of its own, on a handle of its own: the
// bank's connection in the backend registry is never touched. Write-ahead
// journal with normal syncing: a commit is in the journal file before it
// returns, so a killed process loses nothing committed, and no commit waits
// for the disk.
class SqliteResultsConnection : public ResultsConnection {
public:
    SqliteResultsConnection() = default;
    ~SqliteResultsConnection() override;
    SqliteResultsConnection(const SqliteResultsConnection&) = delete;
    SqliteResultsConnection& operator=(const SqliteResultsConnection&) = delete;

    // Creates the file when missing. False (reason in lastErrorText) when it
    // cannot be opened or is no database.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return connection_.isOpen(); }

    DbKind kind() const override { return DbKind::Sqlite; }
    bool execute(const std::string& sql) override;
    bool query(const std::string& sql, Rows& rows) override;
    std::string lastErrorText() const override;

private:
    SqliteConnection connection_;
    SqliteRecordset recordset_;
    std::string openError_;
};
