#pragma once

#include "db/types/ColumnSpec.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The SQLite side of the database access layer: one database handle. All texts
// are GBK. The handle that open() makes is owned jointly by this object, its
// copies and the recordsets attached to them: close() ends this object's use,
// and the database closes when the last of them has closed or gone. A handle
// passed in as a bare pointer is only borrowed: close() then forgets it and
// never closes a database this object does not own.
class SqliteConnection {
public:
    SqliteConnection() = default;
    explicit SqliteConnection(sqlite3* handle) : handle_(handle) {}
    explicit SqliteConnection(std::shared_ptr<sqlite3> owned) : handle_(owned.get()), owned_(std::move(owned)) {}

    sqlite3* handle() const { return handle_; }
    // The joint ownership of the handle; empty for a borrowed handle.
    const std::shared_ptr<sqlite3>& ownedHandle() const { return owned_; }
    // Borrows the handle; false when SQLite reports it unusable (null included).
    bool attachHandle(sqlite3* handle);
    bool isOpen() const;

    // Opens the database file (an in-memory database when useFile is false).
    // createIfMissing 1 creates a missing file. A non-empty password needs an
    // SQLite build with encryption, which this one is not: such an open fails
    // without touching any file. An existing file is probed with a query, so a
    // file that is not a database fails here. Callers close first. A positive
    // busyTimeoutMs is in force from the probe on, so that a file another
    // program holds locked is waited for rather than refused at once.
    bool open(const std::string& file, bool useFile, const std::optional<std::string>& password = std::nullopt,
              std::optional<int> createIfMissing = std::nullopt, int busyTimeoutMs = 0);
    // Safe when nothing is open.
    void close();
    // A non-empty key needs the encryption this build lacks: false, with the
    // reason in lastErrorText. The empty key is the one an unencrypted
    // database has already.
    bool changeKey(const std::string& password);

    // The reason of the last failure on the handle, "" when there was none.
    std::string lastErrorText() const;
    int lastErrorCode() const;
    std::string libraryVersion() const;
    bool setBusyTimeout(int milliseconds);

    // Runs the statement text; result rows are discarded. A text that is not
    // valid GBK is refused, since it would reach the database altered.
    bool execute(const std::string& sql);
    bool beginTransaction();
    bool commit();
    bool rollback();
    void interrupt();
    // VACUUM.
    bool compact();
    int changes() const;
    bool attachDatabase(const std::string& file, const std::string& alias);
    bool detachDatabase(const std::string& alias);

    // Schema statements. Names, types, conditions and bodies are pasted into
    // the statement texts as given, without quoting.

    // Type codes of ColumnSpec: 0 and 1 Integer, 2 Double, 3 VarChar(length,
    // 50 when 0), 4 Blob, 6 BigInt, 7 Float, 8 Bit, 9 DateTime, 10 Text; any
    // other code has no type text.
    static std::string columnTypeText(const ColumnSpec& column);
    // Flag bits of ColumnSpec: 1 primary key, 2 auto-increment, 4 not null;
    // then the default, when there is one.
    static std::string columnConstraintText(const ColumnSpec& column);
    bool createTable(const std::string& table, const std::vector<ColumnSpec>& columns);
    // Succeeds for a missing table.
    bool dropTable(const std::string& table);
    // Deletes every row.
    bool clearTable(const std::string& table);
    bool renameTable(const std::string& table, const std::string& newName);
    // Exact, case-sensitive name of a table (views do not count).
    bool tableExists(const std::string& table);
    bool addColumn(const std::string& table, const ColumnSpec& column);
    // Succeeds when the index exists already.
    bool createIndex(const std::string& table, const std::string& columns, const std::string& index);
    // Succeeds for a missing index.
    bool dropIndex(const std::string& index);
    bool createView(const std::string& view, const std::string& select, std::optional<bool> temporary = std::nullopt);
    // Fails for a missing view.
    bool dropView(const std::string& view);
    // event: 0 INSERT, 1 DELETE, 2 UPDATE, 3 UPDATE OF updateColumns;
    // timing: 1 BEFORE, 2 AFTER, else SQLite's default. The body carries its
    // own statement terminators.
    bool createTrigger(const std::string& table, const std::string& trigger, const std::string& body, int event,
                       const std::optional<std::string>& updateColumns = std::nullopt,
                       std::optional<int> timing = std::nullopt, std::optional<bool> temporary = std::nullopt);
    // Fails for a missing trigger.
    bool dropTrigger(const std::string& trigger);
    // The table names, each followed by ",": all 1 includes SQLite's own
    // tables, all 0 (or left out) leaves out names starting with "sqlite",
    // any other value gives "".
    std::string listTables(std::optional<int> all = std::nullopt);
    // The stored CREATE statements; "" when there is no such object.
    std::string tableSql(const std::string& table);
    std::string indexSql(const std::string& table, const std::string& index);
    std::string viewSql(const std::string& view);
    std::string triggerSql(const std::string& table, const std::string& trigger);

    // Puts a GBK message into the handle's error state, so that lastErrorText
    // of every object sharing the handle reports it. For failures found before
    // anything reaches SQLite.
    static void reportError(sqlite3* handle, const std::string& message);

private:
    std::string storedSql(const std::string& query);
    bool failWithoutHandle(const std::string& message);

    sqlite3* handle_ = nullptr;
    std::shared_ptr<sqlite3> owned_;
    // A failure reported while no handle was open to carry it.
    std::string detachedError_;
};
