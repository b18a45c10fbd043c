#include "db/sqlite/SqliteConnection.h"

#include "db/sqlite/SqliteRecordset.h"
#include "db/sqlite/SqliteText.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <sqlite3.h>

#include <cstring>

namespace {

const std::string& noEncryptionMessage()
{
    return GBK("此版本的 SQLite 不支持数据库加密：不能使用密码打开数据库，也不能设置密码");
}

const std::string& notOpenMessage()
{
    return GBK("数据库未打开");
}

const std::string& nulByteMessage()
{
    return GBK("SQL 语句含有空字符（NUL），未执行");
}

const std::string& invalidGbkMessage()
{
    return GBK("SQL 语句含有无效的 GBK 字符，未执行");
}

// The reason a statement text cannot go to SQLite as it is; null when it can.
const std::string* refusalOf(const std::string& sql)
{
    if (holdsNulByte(sql))
        return &nulByteMessage();
    if (!isValidGbk(sql))
        return &invalidGbkMessage();
    return nullptr;
}

const char* asText(const ByteArray& utf8)
{
    return utf8.empty() ? "" : reinterpret_cast<const char*>(utf8.data());
}

// The file name as SQLite gets it: the system's name of the GBK path. The
// library is built to read names that start with "file:" as URIs, whose
// options could change how the file is opened, so such a relative name is
// anchored to the current folder.
std::string pathForSqlite(const std::string& gbkPath)
{
    std::string name = platform::FileSystem::toSystemPath(gbkPath).value_or(std::string());
    if (name.starts_with("file:"))
        name.insert(0, "./");
    return name;
}

void raiseMessage(sqlite3_context* context, int, sqlite3_value** arguments)
{
    sqlite3_result_error(context, reinterpret_cast<const char*>(sqlite3_value_text(arguments[0])), -1);
}

} // namespace

bool SqliteConnection::attachHandle(sqlite3* handle)
{
    owned_.reset();
    handle_ = handle;
    detachedError_.clear();
    return sqlite3_errcode(handle_) != SQLITE_NOMEM;
}

bool SqliteConnection::isOpen() const
{
    return sqlite3_errcode(handle_) != SQLITE_NOMEM;
}

bool SqliteConnection::failWithoutHandle(const std::string& message)
{
    if (handle_ != nullptr)
        reportError(handle_, message);
    else
        detachedError_ = message;
    return false;
}

bool SqliteConnection::open(const std::string& file, bool useFile, const std::optional<std::string>& password,
                            std::optional<int> createIfMissing, int busyTimeoutMs)
{
    detachedError_.clear();
    // Without encryption a password could only be ignored, which would leave
    // the data readable by anyone: refuse before any file is touched.
    if (!password.value_or("").empty())
        return failWithoutHandle(noEncryptionMessage());
    if (!isValidGbk(file))
        return failWithoutHandle(GBK("数据库文件名含有无效的 GBK 字符：") + file);
    if (holdsNulByte(file))
        return failWithoutHandle(GBK("数据库文件名含有空字符（NUL）"));

    const bool existed = platform::FileSystem::exists(file);

    const std::string path = useFile ? pathForSqlite(file) : std::string(":memory:");
    if (useFile && createIfMissing.value_or(0) == 1 && !existed) {
        sqlite3* creator = nullptr;
        const int rc = sqlite3_open_v2(path.c_str(), &creator, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            // Keep the reason: the creating handle goes away with it.
            const char* message = sqlite3_errmsg(creator);
            std::string reason = message ? fromUtf8(message, std::strlen(message)) : std::string();
            sqlite3_close_v2(creator);
            return failWithoutHandle(reason.empty() ? GBK("不能创建数据库文件：") + file : reason);
        }
        sqlite3_close_v2(creator);
    }

    owned_.reset();
    handle_ = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &handle_, SQLITE_OPEN_READWRITE, nullptr);
    // A handle that failed to open still carries the reason until it is closed.
    if (handle_ != nullptr)
        owned_.reset(handle_, sqlite3_close_v2);
    if (opened != SQLITE_OK)
        return false;
    if (busyTimeoutMs > 0)
        sqlite3_busy_timeout(handle_, busyTimeoutMs);
    if (!existed)
        return true;
    return execute("select name as title from sqlite_master where type='table'");
}

void SqliteConnection::close()
{
    detachedError_.clear();
    // The last owner's release closes the database; a statement some result
    // still holds then keeps it only until that statement is released.
    owned_.reset();
    handle_ = nullptr;
}

bool SqliteConnection::changeKey(const std::string& password)
{
    if (handle_ == nullptr)
        return failWithoutHandle(notOpenMessage());
    // An unencrypted database already has the empty key.
    if (password.empty())
        return true;
    return failWithoutHandle(noEncryptionMessage());
}

std::string SqliteConnection::lastErrorText() const
{
    if (handle_ == nullptr && !detachedError_.empty())
        return detachedError_;
    const char* message = sqlite3_errmsg(handle_);
    if (message == nullptr)
        return GBK("获取信息失败！");
    std::string text = fromUtf8(message, std::strlen(message));
    if (text == "not an error")
        return {};
    return text;
}

int SqliteConnection::lastErrorCode() const
{
    if (handle_ == nullptr && !detachedError_.empty())
        return SQLITE_ERROR;
    return sqlite3_errcode(handle_);
}

std::string SqliteConnection::libraryVersion() const
{
    return sqlite3_libversion();
}

bool SqliteConnection::setBusyTimeout(int milliseconds)
{
    if (handle_ == nullptr)
        return failWithoutHandle(notOpenMessage());
    return sqlite3_busy_timeout(handle_, milliseconds) == SQLITE_OK;
}

bool SqliteConnection::execute(const std::string& sql)
{
    if (handle_ == nullptr)
        return failWithoutHandle(notOpenMessage());
    if (const std::string* refusal = refusalOf(sql))
        return failWithoutHandle(*refusal);
    const ByteArray sqlUtf8 = toUtf8(sql);
    return sqlite3_exec(handle_, asText(sqlUtf8), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteConnection::beginTransaction()
{
    return execute("BEGIN TRANSACTION");
}

bool SqliteConnection::commit()
{
    return execute("COMMIT");
}

bool SqliteConnection::rollback()
{
    return execute("ROLLBACK");
}

void SqliteConnection::interrupt()
{
    if (handle_ != nullptr)
        sqlite3_interrupt(handle_);
}

bool SqliteConnection::compact()
{
    return execute("VACUUM");
}

int SqliteConnection::changes() const
{
    return handle_ != nullptr ? sqlite3_changes(handle_) : 0;
}

bool SqliteConnection::attachDatabase(const std::string& file, const std::string& alias)
{
    return execute("Attach Database '" + file + "' as " + alias);
}

bool SqliteConnection::detachDatabase(const std::string& alias)
{
    return execute("Detach Database " + alias);
}

void SqliteConnection::reportError(sqlite3* handle, const std::string& message)
{
    if (handle == nullptr)
        return;
    static constexpr char reportSql[] = "SELECT report_failure(?1)";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, reportSql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_create_function_v2(handle, "report_failure", 1, SQLITE_UTF8, nullptr, raiseMessage, nullptr, nullptr,
                                   nullptr);
        if (sqlite3_prepare_v2(handle, reportSql, -1, &statement, nullptr) != SQLITE_OK)
            return;
    }
    const ByteArray utf8 = toUtf8(message);
    sqlite3_bind_text(statement, 1, asText(utf8), -1, SQLITE_TRANSIENT);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
}

std::string SqliteConnection::columnTypeText(const ColumnSpec& column)
{
    switch (column.typeCode) {
    case 0:
    case 1:
        return "Integer";
    case 2:
        return "Double";
    case 3:
        return "VarChar(" + std::to_string(column.length == 0 ? 50 : column.length) + ")";
    case 4:
        return "Blob";
    case 6:
        return "BigInt";
    case 7:
        return "Float";
    case 8:
        return "Bit";
    case 9:
        return "DateTime";
    case 10:
        return "Text";
    default:
        return {};
    }
}

std::string SqliteConnection::columnConstraintText(const ColumnSpec& column)
{
    std::string text;
    if (column.flags & 1)
        text = "Primary Key";
    if (column.flags & 2)
        text += " AutoIncrement";
    if (column.flags & 4)
        text += " Not Null";
    if (!column.defaultValue.empty())
        text += " Default (" + column.defaultValue + ")";
    return text;
}

bool SqliteConnection::createTable(const std::string& table, const std::vector<ColumnSpec>& columns)
{
    std::string sql = "create table " + table;
    if (!columns.empty()) {
        sql += " (";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            sql += columns[i].name + " ";
            sql += columnTypeText(columns[i]) + " ";
            sql += columnConstraintText(columns[i]) + " ";
            if (i + 1 < columns.size())
                sql += ",";
        }
        sql += ")";
    }
    return execute(sql);
}

bool SqliteConnection::dropTable(const std::string& table)
{
    return execute("Drop table if exists " + table);
}

bool SqliteConnection::clearTable(const std::string& table)
{
    return execute("Delete From " + table);
}

bool SqliteConnection::renameTable(const std::string& table, const std::string& newName)
{
    return execute("alter table " + table + " rename to " + newName);
}

bool SqliteConnection::tableExists(const std::string& table)
{
    if (handle_ == nullptr)
        return failWithoutHandle(notOpenMessage());
    const std::string sql = "select count(*) from sqlite_master where type='table' and tbl_name='" + table + "'";
    if (const std::string* refusal = refusalOf(sql))
        return failWithoutHandle(*refusal);
    const ByteArray sqlUtf8 = toUtf8(sql);
    sqlite3_stmt* statement = nullptr;
    int count = 0;
    if (sqlite3_prepare_v2(handle_, asText(sqlUtf8), static_cast<int>(sqlUtf8.size()), &statement, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        count = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return count > 0;
}

bool SqliteConnection::addColumn(const std::string& table, const ColumnSpec& column)
{
    return execute("alter table " + table + " add column " + column.name + " " + columnTypeText(column) + " " +
                   columnConstraintText(column) + " ");
}

bool SqliteConnection::createIndex(const std::string& table, const std::string& columns, const std::string& index)
{
    return execute("create index if not exists " + index + " on " + table + "(" + columns + ")");
}

bool SqliteConnection::dropIndex(const std::string& index)
{
    return execute("drop index if exists " + index);
}

bool SqliteConnection::createView(const std::string& view, const std::string& select, std::optional<bool> temporary)
{
    return execute(std::string("CREATE ") + (temporary.value_or(false) ? "TEMPORARY " : "") + "VIEW " + view + " AS " +
                   select);
}

bool SqliteConnection::dropView(const std::string& view)
{
    return execute("DROP VIEW " + view);
}

bool SqliteConnection::createTrigger(const std::string& table, const std::string& trigger, const std::string& body,
                                     int event, const std::optional<std::string>& updateColumns,
                                     std::optional<int> timing, std::optional<bool> temporary)
{
    std::string sql =
        std::string("CREATE ") + (temporary.value_or(false) ? "TEMPORARY " : "") + "TRIGGER " + trigger + " ";
    switch (timing.value_or(0)) {
    case 1:
        sql += "BEFORE ";
        break;
    case 2:
        sql += "AFTER ";
        break;
    default:
        break;
    }
    switch (event) {
    case 0:
        sql += "INSERT ";
        break;
    case 1:
        sql += "DELETE ";
        break;
    case 2:
        sql += "UPDATE ";
        break;
    case 3:
        sql += "UPDATE OF " + updateColumns.value_or("") + " ";
        break;
    default:
        break;
    }
    sql += "ON " + table + " BEGIN " + body + " END";
    return execute(sql);
}

bool SqliteConnection::dropTrigger(const std::string& trigger)
{
    return execute("DROP TRIGGER " + trigger);
}

std::string SqliteConnection::listTables(std::optional<int> all)
{
    std::string query;
    switch (all.value_or(0)) {
    case 0:
        query = "select name as title from sqlite_master where type='table' and name not like('sqlite%')";
        break;
    case 1:
        query = "select name as title from sqlite_master where type='table'";
        break;
    default:
        return {};
    }
    SqliteRecordset recordset;
    if (!recordset.attach(*this) || !recordset.open(query, 1))
        return {};
    std::string names;
    for (int row = 0; row < recordset.recordCount(); ++row) {
        names += recordset.value(std::string("title")).text() + ",";
        recordset.moveNext();
    }
    recordset.close();
    return names;
}

std::string SqliteConnection::storedSql(const std::string& query)
{
    SqliteRecordset recordset;
    if (!recordset.attach(*this) || !recordset.open(query, 1))
        return {};
    std::string sql;
    recordset.readText("sql", sql);
    recordset.close();
    return sql;
}

std::string SqliteConnection::tableSql(const std::string& table)
{
    return storedSql("select sql from sqlite_master where type='table' and name='" + table + "' and tbl_name='" +
                     table + "'");
}

std::string SqliteConnection::indexSql(const std::string& table, const std::string& index)
{
    return storedSql("select sql from sqlite_master where type='index' and name='" + index + "' and tbl_name='" +
                     table + "'");
}

std::string SqliteConnection::viewSql(const std::string& view)
{
    return storedSql("select sql from sqlite_master where type='view' and name='" + view + "' and tbl_name='" + view +
                     "'");
}

std::string SqliteConnection::triggerSql(const std::string& table, const std::string& trigger)
{
    return storedSql("select sql from sqlite_master where type='trigger' and name='" + trigger + "' and tbl_name='" +
                     table + "'");
}
