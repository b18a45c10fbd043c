#include "db/DbConnection.h"

#include "db/BackendRegistry.h"
#include "db/QueryExporter.h"
#include "db/SqlStatements.h"

// Every operation switches on the current kind.

namespace {

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
    sqlite().close();
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
    mysql().close();
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
    case DbKind::Sqlite:
        closeSqlite();
        return sqlite().open(database, true, password.value_or(""), 1);
    case DbKind::Mysql:
        // User and password count as given even when left out, so the backend's
        // default user name never applies here.
        closeMysql();
        return mysql().connect(host.value_or(""), database, user.value_or(""), password.value_or(""),
                               MysqlConnection::DefaultPort, charset.value_or("GBK"));
    default:
        return false;
    }
}

bool DbConnection::execute(const std::string& sql)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().execute(sql);
    case DbKind::Mysql:
        return mysql().execute(sql);
    default:
        return false;
    }
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
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().commit();
    case DbKind::Mysql:
        return mysql().commit();
    default:
        return false;
    }
}

bool DbConnection::rollback()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().rollback();
    case DbKind::Mysql:
        return mysql().rollback();
    default:
        return false;
    }
}

bool DbConnection::beginTransaction()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqlite().beginTransaction();
    case DbKind::Mysql:
        return mysql().beginTransaction();
    default:
        return false;
    }
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
        return mysql().clearTable(table);
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
        return mysql().dropTable(table);
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
