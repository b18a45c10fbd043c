#include "db/DbRecordset.h"

#include "db/BackendRegistry.h"
#include "db/SharedResultGuard.h"
#include "db/SqlStatements.h"

#include <functional>
#include <vector>

// Every operation switches on the current kind.

namespace {

SqliteRecordset& sqliteRecordset()
{
    return BackendRegistry::instance()->sqliteRecordset();
}

MysqlRecordset& mysqlRecordset()
{
    return BackendRegistry::instance()->mysqlRecordset();
}

bool isSelected(DbKind kind)
{
    return kind == DbKind::Sqlite || kind == DbKind::Mysql;
}

bool executeOnBackend(const std::string& sql)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return BackendRegistry::instance()->sqliteDatabase().execute(sql);
    case DbKind::Mysql:
        return BackendRegistry::instance()->mysqlDatabase().execute(sql);
    default:
        return false;
    }
}

// Work on the registry's MySQL recordset runs once more on a new session when
// the server lost the one it ran on, as statements through the connection do.
// Only while the recordset works on the registry's connection: one attached
// elsewhere, or to nothing, is no business of its Database.
bool onServer(const std::function<bool()>& attempt)
{
    BackendRegistry* registry = BackendRegistry::instance();
    if (registry->mysqlRecordset().handle() != registry->mysqlConnection().handle() ||
        registry->mysqlRecordset().handle() == nullptr)
        return attempt();
    return registry->mysqlDatabase().withReconnect(attempt);
}

// Runs a one-placeholder statement with the blob bound as raw bytes, then
// releases the result it leaves.
template <typename Recordset>
bool runBlobStatement(Recordset& recordset, const std::string& sql, const std::optional<ByteArray>& data)
{
    bool ran = recordset.open(sql, 1, data, std::nullopt, std::nullopt, std::vector<int>{0});
    recordset.close();
    return ran;
}

} // namespace

bool DbRecordset::attach()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().attach(BackendRegistry::instance()->sqliteConnection());
    case DbKind::Mysql:
        return mysqlRecordset().attach(BackendRegistry::instance()->mysqlConnection());
    default:
        return false;
    }
}

bool DbRecordset::attach(const DbConnection&)
{
    return attach();
}

bool DbRecordset::open(const std::string& query, std::optional<int> mode)
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().open(query, mode.value_or(0));
    case DbKind::Mysql:
        return onServer([&] { return mysqlRecordset().open(query, mode.value_or(0)); });
    default:
        return false;
    }
}

void DbRecordset::close()
{
    if (SharedResultGuard::refusesRecordsetCall())
        return;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        sqliteRecordset().close();
        break;
    case DbKind::Mysql:
        mysqlRecordset().close();
        break;
    default:
        break;
    }
}

bool DbRecordset::moveFirst()
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().moveFirst();
    case DbKind::Mysql:
        return mysqlRecordset().moveFirst();
    default:
        return false;
    }
}

bool DbRecordset::moveLast()
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().moveLast();
    case DbKind::Mysql:
        return mysqlRecordset().moveLast();
    default:
        return false;
    }
}

bool DbRecordset::moveNext()
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().moveNext();
    case DbKind::Mysql:
        return mysqlRecordset().moveNext();
    default:
        return false;
    }
}

int DbRecordset::recordCount()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().recordCount();
    case DbKind::Mysql:
        return static_cast<int>(mysqlRecordset().recordCount());
    default:
        return 0;
    }
}

int DbRecordset::fieldCount()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().fieldCount();
    case DbKind::Mysql:
        return mysqlRecordset().fieldCount();
    default:
        return 0;
    }
}

int DbRecordset::fieldIndex(const std::string& name)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().fieldIndex(name);
    case DbKind::Mysql:
        return mysqlRecordset().fieldIndex(name);
    default:
        return -1;
    }
}

std::string DbRecordset::fieldName(int index)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().fieldName(index);
    case DbKind::Mysql:
        return mysqlRecordset().fieldName(index);
    default:
        return {};
    }
}

bool DbRecordset::readText(const std::string& name, std::string& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readText(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readText(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readFloat(const std::string& name, float& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readFloat(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readFloat(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readDouble(const std::string& name, double& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readDouble(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readDouble(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readInt64(const std::string& name, std::int64_t& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readInt64(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readInt64(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readBool(const std::string& name, bool& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readBool(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readBool(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readDateTime(const std::string& name, DateTimeValue& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readDateTime(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readDateTime(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readBlob(const std::string& name, ByteArray& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readBlob(name, out);
    case DbKind::Mysql:
        return mysqlRecordset().readBlob(name, out);
    default:
        return false;
    }
}

bool DbRecordset::readTextAt(int index, std::string& out)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().readTextAt(index, out);
    case DbKind::Mysql:
        return mysqlRecordset().readTextAt(index, out);
    default:
        return false;
    }
}

unsigned long long DbRecordset::resultSerial()
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return sqliteRecordset().resultSerial();
    case DbKind::Mysql:
        return mysqlRecordset().resultSerial();
    default:
        return 0;
    }
}

bool DbRecordset::insertRow(const std::string& table, const std::string& assignments)
{
    const DbKind kind = BackendRegistry::currentKind();
    if (!isSelected(kind))
        return false;
    std::string sql;
    if (!SqlStatements::insertRow(table, assignments, sql))
        return false;
    // A list without names gives "INSERT INTO T () VALUES ()", which MySQL
    // would run as a row of column defaults.
    if (kind == DbKind::Mysql && sql.ends_with(" () VALUES ()"))
        return false;
    return executeOnBackend(sql);
}

bool DbRecordset::deleteRows(const std::string& table, const std::string& condition)
{
    return executeOnBackend(SqlStatements::deleteRows(table, condition));
}

bool DbRecordset::updateRows(const std::string& table, const std::string& assignments, const std::string& condition)
{
    return executeOnBackend(SqlStatements::updateRows(table, assignments, condition));
}

bool DbRecordset::writeBlob(const std::string& table, const std::string& column,
                            const std::optional<std::string>& condition, const std::optional<ByteArray>& data)
{
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite:
        return writeBlobSqlite(table, column, condition, data);
    case DbKind::Mysql:
        return writeBlobMysql(table, column, condition, data);
    default:
        return false;
    }
}

bool DbRecordset::writeBlobMysql(const std::string& table, const std::string& column,
                                 const std::optional<std::string>& condition, const std::optional<ByteArray>& data)
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    if (!isSelected(BackendRegistry::currentKind()))
        return false;
    const std::string sql = SqlStatements::writeBlob(table, column, condition.value_or(""));
    return onServer([&] { return runBlobStatement(mysqlRecordset(), sql, data); });
}

bool DbRecordset::writeBlobSqlite(const std::string& table, const std::string& column,
                                  const std::optional<std::string>& condition, const std::optional<ByteArray>& data)
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    if (!isSelected(BackendRegistry::currentKind()))
        return false;
    return runBlobStatement(sqliteRecordset(), SqlStatements::writeBlob(table, column, condition.value_or("")), data);
}

bool DbRecordset::exists(const std::string& table, const std::string& condition)
{
    if (SharedResultGuard::refusesRecordsetCall())
        return false;
    switch (BackendRegistry::currentKind()) {
    case DbKind::Sqlite: {
        SqliteRecordset& recordset = sqliteRecordset();
        bool ran = recordset.open(SqlStatements::exists(table, condition), 1);
        bool found = ran && recordset.recordCount() >= 1;
        recordset.close();
        return found;
    }
    case DbKind::Mysql: {
        const std::string sql = SqlStatements::exists(table, condition);
        bool found = false;
        onServer([&] {
            MysqlRecordset& recordset = mysqlRecordset();
            bool ran = recordset.open(sql, 1);
            found = ran && recordset.recordCount() >= 1;
            recordset.close();
            return ran;
        });
        return found;
    }
    default:
        return false;
    }
}
