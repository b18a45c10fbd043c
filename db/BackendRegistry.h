#pragma once

#include "db/Database.h"
#include "db/DbKind.h"
#include "db/mysql/MysqlConnection.h"
#include "db/mysql/MysqlRecordset.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteRecordset.h"

// The process-wide backend state behind every DbConnection and DbRecordset:
// the current kind, one Database per backend (whose backend connections the
// facades drive) and one recordset per backend. The program creates one
// registry at start-up, before the first open, and destroys it at shutdown
// after its own objects; while it lives, instance() returns it. Facades used
// without a registry act as if no backend were selected.
class BackendRegistry {
public:
    // Becomes the process's registry unless another one is alive.
    BackendRegistry();
    // Releases the open result and closes the open databases.
    ~BackendRegistry();
    BackendRegistry(const BackendRegistry&) = delete;
    BackendRegistry& operator=(const BackendRegistry&) = delete;

    static BackendRegistry* instance();
    // The kind of the live registry; None without one.
    static DbKind currentKind();

    DbKind kind() const { return kind_; }
    void setKind(DbKind kind) { kind_ = kind; }

    Database& sqliteDatabase() { return sqliteDatabase_; }
    Database& mysqlDatabase() { return mysqlDatabase_; }
    MysqlConnection& mysqlConnection() { return mysqlDatabase_.mysqlConnection(); }
    SqliteConnection& sqliteConnection() { return sqliteDatabase_.sqliteConnection(); }
    SqliteRecordset& sqliteRecordset() { return sqliteRecordset_; }
    MysqlRecordset& mysqlRecordset() { return mysqlRecordset_; }

private:
    DbKind kind_ = DbKind::None;
    Database mysqlDatabase_{DbKind::Mysql};
    Database sqliteDatabase_{DbKind::Sqlite};
    SqliteRecordset sqliteRecordset_;
    MysqlRecordset mysqlRecordset_;
};
