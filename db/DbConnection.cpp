#include "db/DbConnection.h"

#include "db/BackendRegistry.h"
#include "db/QueryExporter.h"
#include "db/SqlStatements.h"

// Every operation switches on the current kind.

namespace {

Database& sqliteDatabase()
{
    return BackendRegistry::instance()->sqliteDatabase();
}

SqliteConnection& sqlite()
{
    return BackendRegistry::instance()->sqliteConnection();
}

// The registry's recordset would otherwise keep the handle of a database that
// no longer exists and hand it to SQLite on its next query. Releasing its
// result also lets the database close at once.
void closeSqlite()
{
    SqliteRecordset& recordset = BackendRegistry::instance()->sqliteRecordset();
    recordset.close();
    recordset.attachHandle(nullptr);
    sqliteDatabase().close();
}

Database& mysqlDatabase()
{
    return BackendRegistry::instance()->mysqlDatabase();
}

MysqlConnection& mysql()
{
    return BackendRegistry::instance()->mysqlConnection();
}

// As for SQLite: the registry's recordset must not keep a result or a handle of
// a connection that is gone.
void closeMysql()
{
    MysqlRecordset& recordset = BackendRegistry::instance()->mysqlRecordset();
    recordset.close();
    recordset.attachHandle(nullptr);
    mysqlDatabase().close();
}

// The Database of the current kind; null with no backend selected.
Database* current()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return &sqliteDatabase();
    case DbKind::Mysql:
        return &mysqlDatabase();
    default:
        return nullptr;
    }
}

} // namespace

bool DbConnection::open(const std::optional<std::string>& host, const std::optional<std::string>& user,
                        const std::optional<std::string>& password, const std::string& database,
                        const std::optional<std::string>& charset, DbKind kind)
{
    BackendRegistry* registry = BackendRegistry::instance();
    if (registry == nullptr)
        return false;
    registry->setKind(kind);
    switch (kind) {
    case DbKind::Sqlite: {
        closeSqlite();
        ConnectOptions options = ConnectOptions::sqlite(database, true);
        options.password = password.value_or("");
        return sqliteDatabase().open(options);
    }
    case DbKind::Mysql: {
        // User and password count as given even when left out, so the backend's
        // default user name never applies here. The session keeps the server's
        // own rules for literals, which the statements of the facades' callers
        // are written for, and no limit on how long a statement may take.
        closeMysql();
        ConnectOptions options = ConnectOptions::mysql(host.value_or(""), MysqlConnection::DefaultPort, database,
                                                       user.value_or(""), password.value_or(""));
        options.charset = charset.value_or("GBK");
        options.transferTimeoutSeconds = 0;
        options.dialectSession = false;
        return mysqlDatabase().open(options);
    }
    default:
        return false;
    }
}

bool DbConnection::execute(const std::string& sql)
{
    Database* database = current();
    return database != nullptr && database->execute(sql);
}

void DbConnection::close()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        closeSqlite();
        break;
    case DbKind::Mysql:
        closeMysql();
        break;
    default:
        break;
    }
}

bool DbConnection::createTable(const std::string& table)
{
    DbKind kind = BackendRegistry::currentKind();
    if (kind != DbKind::Sqlite && kind != DbKind::Mysql)
        return false;
    return execute(SqlStatements::createTable(kind, table));
}

bool DbConnection::addColumn(const std::string& table, const std::string& column, const std::optional<std::string>&,
                             std::optional<int>)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return execute(SqlStatements::addColumn(table, column, "TEXT", 50));
    case DbKind::Mysql:
        return execute(SqlStatements::addColumn(table, column, "varchar", 50));
    default:
        return false;
    }
}

bool DbConnection::exportQuery(const std::string& query, const std::string& path,
                               const std::optional<std::string>& separator)
{
    DbKind kind = BackendRegistry::currentKind();
    if (kind != DbKind::Sqlite && kind != DbKind::Mysql)
        return false;
    return QueryExporter::exportQuery(query, path, separator, sheetWriter_);
}

bool DbConnection::commit()
{
    Database* database = current();
    return database != nullptr && database->commit();
}

bool DbConnection::rollback()
{
    Database* database = current();
    return database != nullptr && database->rollback();
}

bool DbConnection::beginTransaction()
{
    Database* database = current();
    return database != nullptr && database->beginTransaction();
}

std::string DbConnection::lastErrorText() const
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().lastErrorText();
    case DbKind::Mysql:
        return mysql().lastErrorText();
    default:
        return {};
    }
}

std::string DbConnection::clientVersion() const
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().libraryVersion();
    case DbKind::Mysql:
        return mysql().versionText(1);
    default:
        return {};
    }
}

bool DbConnection::compact()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().compact();
    case DbKind::Mysql:
        return true;
    default:
        return false;
    }
}

bool DbConnection::clearTable(const std::string& table)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().clearTable(table);
    case DbKind::Mysql:
        return mysqlDatabase().withReconnect([&] { return mysql().clearTable(table); });
    default:
        return false;
    }
}

bool DbConnection::dropTable(const std::string& table)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().dropTable(table);
    case DbKind::Mysql:
        return mysqlDatabase().withReconnect([&] { return mysql().dropTable(table); });
    default:
        return false;
    }
}

long long DbConnection::changedRows() const
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().changes();
    case DbKind::Mysql:
        return mysql().changedRows();
    default:
        return -1;
    }
}

bool DbConnection::setBusyTimeout(int milliseconds)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().setBusyTimeout(milliseconds);
    case DbKind::Mysql:
        return true;
    default:
        return false;
    }
}
