#include "db/sqlite/SqliteConnection.h"

#include "db/sqlite/SqliteText.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

const std::string& noEncryptionMessage()
{
    return GBK("此版本的 SQLite 不支持数据库加密：不能使用密码打开数据库，也不能设置密码");
}

const std::string& notOpenMessage()
{
    return GBK("数据库未打开");
}

const char* asText(const ByteArray& utf8)
{
    return utf8.empty() ? "" : reinterpret_cast<const char*>(utf8.data());
}

// The file name as SQLite gets it. The library is built to read names that
// start with "file:" as URIs, whose options could change how the file is
// opened, so such a relative name is anchored to the current folder.
ByteArray pathForSqlite(const std::string& gbkPath)
{
    ByteArray utf8 = toUtf8(gbkPath);
    static constexpr char uriScheme[] = "file:";
    if (utf8.size() > 5 && std::memcmp(utf8.data(), uriScheme, 5) == 0)
        utf8.insert(utf8.begin(), {'.', '/'});
    return utf8;
}

void raiseMessage(sqlite3_context* context, int, sqlite3_value** arguments)
{
    sqlite3_result_error(context, reinterpret_cast<const char*>(sqlite3_value_text(arguments[0])), -1);
}

} // namespace

bool SqliteConnection::attachHandle(sqlite3* handle)
{
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
                            std::optional<int> createIfMissing)
{
    detachedError_.clear();
    // Without encryption a password could only be ignored, which would leave
    // the data readable by anyone: refuse before any file is touched.
    if (!password.value_or("").empty())
        return failWithoutHandle(noEncryptionMessage());
    if (!isValidGbk(file))
        return failWithoutHandle(GBK("数据库文件名含有无效的 GBK 字符：") + file);

    const ByteArray fileUtf8 = toUtf8(file);
    std::error_code error;
    const bool existed =
        !file.empty() && std::filesystem::exists(std::filesystem::path(asText(fileUtf8)), error) && !error;

    const ByteArray path = useFile ? pathForSqlite(file) : toUtf8(":memory:");
    if (useFile && createIfMissing.value_or(0) == 1 && !existed) {
        sqlite3* creator = nullptr;
        const int rc = sqlite3_open_v2(asText(path), &creator, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            // Keep the reason: the creating handle goes away with it.
            const char* message = sqlite3_errmsg(creator);
            std::string reason = message ? fromUtf8(message, std::strlen(message)) : std::string();
            sqlite3_close_v2(creator);
            return failWithoutHandle(reason.empty() ? GBK("不能创建数据库文件：") + file : reason);
        }
        sqlite3_close_v2(creator);
    }

    if (sqlite3_open_v2(asText(path), &handle_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return false;
    if (!existed)
        return true;
    return execute("select name as title from sqlite_master where type='table'");
}

void SqliteConnection::close()
{
    detachedError_.clear();
    if (handle_ == nullptr)
        return;
    // A statement some recordset still holds must not keep the file open:
    // the handle then goes away when that statement is released.
    sqlite3_close_v2(handle_);
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
    if (!isValidGbk(sql))
        return failWithoutHandle(GBK("SQL 语句含有无效的 GBK 字符，未执行"));
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
