#pragma once

#include <optional>
#include <string>

struct sqlite3;

// The SQLite side of the database access layer: one database handle. A light
// handle: copies work on the same database and destroying an object closes
// nothing; only close() ends the use of the database. All texts are GBK.
class SqliteConnection {
public:
    SqliteConnection() = default;
    explicit SqliteConnection(sqlite3* handle) : handle_(handle) {}

    sqlite3* handle() const { return handle_; }
    // Stores the handle; false when SQLite reports it unusable (null included).
    bool attachHandle(sqlite3* handle);
    bool isOpen() const;

    // Opens the database file (an in-memory database when useFile is false).
    // createIfMissing 1 creates a missing file. A non-empty password needs an
    // SQLite build with encryption, which this one is not: such an open fails
    // without touching any file. An existing file is probed with a query, so a
    // file that is not a database fails here. Callers close first.
    bool open(const std::string& file, bool useFile, const std::optional<std::string>& password = std::nullopt,
              std::optional<int> createIfMissing = std::nullopt);
    // Safe when nothing is open.
    void close();
    // Always false in this build (no encryption), with the reason in lastErrorText.
    bool changeKey(const std::string& password);

    // The reason of the last failure on the handle, "" when there was none.
    std::string lastErrorText() const;
    int lastErrorCode() const;
    std::string libraryVersion() const;
    bool setBusyTimeout(int milliseconds);

    // Runs the statement text; result rows are discarded.
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

    // Puts a GBK message into the handle's error state, so that lastErrorText
    // of every object sharing the handle reports it. For failures found before
    // anything reaches SQLite.
    static void reportError(sqlite3* handle, const std::string& message);

private:
    bool failWithoutHandle(const std::string& message);

    sqlite3* handle_ = nullptr;
    // A failure reported while no handle was open to carry it.
    std::string detachedError_;
};
