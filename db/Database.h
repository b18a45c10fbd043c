#pragma once

#include "db/ConnectOptions.h"
#include "db/DatabaseCore.h"
#include "db/DbKind.h"
#include "db/Statement.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One database, SQLite file or MySQL/MariaDB server, for statements in GBK.
// Each object has a connection of its own, closed with it (it neither copies
// nor moves: hold it by unique_ptr to hand it over); the facades' process-wide
// registry holds two of them. Failures answer false (or an empty
// result) with the reason in lastErrorText; nothing throws.
//
// On the server a statement that fails because the connection was lost runs
// once more on a new connection made with the same options, its session
// statements run again. Not inside a transaction: the server has dropped it,
// so the statement fails, and so does everything else until rollback() or
// commit() ends the transaction (commit() then fails, rollback() succeeds).
class Database {
public:
    using OpenFailure = DatabaseCore::OpenFailure;
    using Refusal = DatabaseCore::Refusal;
    // NULL is an empty optional.
    using Row = std::vector<std::optional<std::string>>;
    using Rows = std::vector<Row>;

    // The kind the object works on until an open names another; the facades'
    // registry fixes it for backend connections that its callers open.
    explicit Database(DbKind kind = DbKind::None);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Closes what was open first. A server open gives up within the connect
    // time-out. False with the cause in openFailure and the reason in
    // lastErrorText.
    bool open(const ConnectOptions& options);
    void close();
    bool isOpen() const;
    DbKind kind() const { return core_->kind(); }
    const ConnectOptions& options() const { return core_->options(); }
    OpenFailure openFailure() const { return core_->openFailure(); }

    // Runs the text (on SQLite possibly several statements); rows are dropped.
    bool execute(std::string_view sql);
    // The Statement is not valid when the text does not prepare.
    Statement prepare(std::string_view sql);
    // Every row of a query, cells as GBK texts.
    bool query(std::string_view sql, Rows& rows);
    // A table of that name in the database (on SQLite regardless of letter case).
    bool tableExists(std::string_view table);
    // Rows the last INSERT, UPDATE or DELETE touched; on the server an UPDATE
    // counts the rows it matched. -1 when unknown.
    long long changedRows() const;
    // The key the last INSERT of this connection gave its row.
    long long lastInsertKey() const;
    // GBK; "" after a success.
    std::string lastErrorText() const { return core_->lastErrorText(); }
    // Why the last failure happened, where it was the bank refusing: held by
    // another program past the busy wait, or not writable. Read it right
    // after the failure; any later statement changes it.
    Refusal lastRefusal() const { return core_->lastRefusal(); }

    bool beginTransaction();
    // A transaction that may write from its start: on SQLite it takes the
    // file's write lock at once (a writer elsewhere waits or is refused until
    // it ends), so what it reads first cannot change before it writes. On the
    // server as beginTransaction(): rows are locked by the statements that ask.
    bool beginWriteTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const { return core_->inTransaction(); }

    // Work of the facades on the backend connections: runs `attempt`, and on
    // the server once more after a reconnect as a statement would.
    bool withReconnect(const std::function<bool()>& attempt) { return core_->withReconnect(attempt); }
    // Called after the server connection was replaced, e.g. to move a
    // recordset over to the new one.
    void setReconnectListener(std::function<void()> listener) { core_->setReconnectListener(std::move(listener)); }

    // The backend connections. The facades drive them directly; anything they
    // run does not reconnect unless it goes through withReconnect.
    SqliteConnection& sqliteConnection() { return core_->sqlite(); }
    MysqlConnection& mysqlConnection() { return core_->mysql(); }

private:
    std::shared_ptr<DatabaseCore> core_;
};
