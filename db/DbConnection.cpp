#include "db/DbConnection.h"

#include "db/BackendRegistry.h"
#include "db/QueryExporter.h"
#include "db/SqlStatements.h"

// Every operation switches on the current kind. The MySQL branches answer
// false or an empty text until the MySQL backend is registered.

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
        (void)host;
        (void)user;
        (void)charset;
        return false;
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
        return false;
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
        return false;
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
        return false;
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
        return false;
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
        return {};
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
        return {};
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
