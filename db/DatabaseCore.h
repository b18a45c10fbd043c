#pragma once

#include "db/ConnectOptions.h"
#include "db/DbKind.h"
#include "db/mysql/MysqlConnection.h"
#include "db/sqlite/SqliteConnection.h"

#include <functional>
#include <string>
#include <string_view>

// What a Database and the statements prepared on it share: the backend
// connections, the options to connect again with, the reason of the last
// failure and the state of a transaction the server lost. Statements hold it
// jointly with their Database, so one kept past its Database fails instead of
// touching freed memory.
class DatabaseCore {
public:
    enum class OpenFailure { None, Unreachable, AccessDenied, NoDatabase, BadOptions, NotADatabase, Other };
    // What the backend's last failure says of the data: another connection
    // held it past the wait, or it takes no writes.
    enum class Refusal { None, Busy, ReadOnly };

    explicit DatabaseCore(DbKind kind) : kind_(kind) {}
    DatabaseCore(const DatabaseCore&) = delete;
    DatabaseCore& operator=(const DatabaseCore&) = delete;

    bool open(const ConnectOptions& options);
    void close();
    bool isOpen() const;
    DbKind kind() const { return kind_; }
    const ConnectOptions& options() const { return options_; }
    OpenFailure openFailure() const { return openFailure_; }

    SqliteConnection& sqlite() { return sqlite_; }
    MysqlConnection& mysql() { return mysql_; }

    // Runs `attempt`, a piece of work on the backend connection. On the server,
    // when it fails because the connection was lost, it runs once more on a new
    // connection, unless a transaction was open (the transaction is then gone:
    // every statement fails until rollback or commit ends it) or the attempt
    // ran into the transfer time-out (the server may still be running it).
    // While the server's transaction is lost, nothing runs.
    bool withReconnect(const std::function<bool()>& attempt);

    bool inTransaction() const;
    bool beginTransaction();
    bool commit();
    bool rollback();

    // Called after a lost server connection was replaced, whether or not the
    // new one could be made, so that holders of the old one can move over.
    void setReconnectListener(std::function<void()> listener) { reconnectListener_ = std::move(listener); }

    // The reason of the last failure, "" after a success; GBK.
    const std::string& lastErrorText() const { return error_; }
    Refusal lastRefusal() const;
    void clearError() { error_.clear(); }
    // Sets the reason and answers false.
    bool fail(std::string reason);
    // The backend's own reason, for a failure it reported.
    bool failFromBackend();
    static const std::string& notOpenText();

private:
    bool openSqlite();
    bool openMysql();
    bool connectMysql();
    bool runSessionStatements();
    bool reconnect();
    bool reconnectable() const;
    OpenFailure mysqlOpenFailure() const;
    OpenFailure sqliteOpenFailure() const;

    DbKind kind_;
    ConnectOptions options_;
    OpenFailure openFailure_ = OpenFailure::None;
    SqliteConnection sqlite_;
    MysqlConnection mysql_;
    // The server session this object connected, the only one it may replace:
    // the facades' callers may connect the backend connection themselves.
    const void* ownSession_ = nullptr;
    // The transaction of a lost session, until rollback or commit ends it.
    bool transactionLost_ = false;
    std::string transactionLostText_;
    std::function<void()> reconnectListener_;
    std::string error_;
};
