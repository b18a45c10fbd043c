#include "db/mysql/MysqlConnection.h"

#include "db/mysql/MariadbLibrary.h"
#include "db/mysql/MysqlRecordset.h"

#include <cstdint>
#include <cstdio>
#include <errmsg.h>
#include <mutex>
#include <mysql.h>

namespace {

// The client library dereferences the handle in every call, so without one the
// layer answers itself.
const char* const notConnectedText = "Not connected to a MySQL server";

std::string textOrEmpty(const char* text)
{
    return text ? std::string(text) : std::string();
}

} // namespace

MysqlConnection::MysqlConnection() : library_(&MariadbLibrary::standard())
{
}

MysqlConnection::MysqlConnection(const MariadbLibrary& library) : library_(&library)
{
}

MysqlConnection::Session::~Session()
{
    if (ownsHandle && mysql)
        api.mysql_close(mysql);
}

bool MysqlConnection::setHandle(MYSQL* handle)
{
    const MariadbFunctions* api = handle ? library_->functions() : nullptr;
    setSession(api ? std::make_shared<Session>(*api, handle, false) : nullptr);
    return handle_ != nullptr;
}

void MysqlConnection::setSession(std::shared_ptr<Session> session)
{
    session_ = std::move(session);
    handle_ = session_ ? session_->mysql : nullptr;
}

void MysqlConnection::reportError(const std::string& message)
{
    if (session_)
        session_->reportedError = message;
}

bool MysqlConnection::setOption(int option, const void* value)
{
    if (!handle_)
        return false;
    return session_->api.mysql_options(handle_, static_cast<mysql_option>(option), value) == 0;
}

bool MysqlConnection::setOption(int option, const std::string& value)
{
    return setOption(option, static_cast<const void*>(value.c_str()));
}

bool MysqlConnection::connect(const std::string& host, const std::string& database,
                              const std::optional<std::string>& user, const std::optional<std::string>& password,
                              std::optional<int> port, const std::optional<std::string>& charset)
{
    return connectWithin(host, port.value_or(DefaultPort), database, user.value_or("Root"), password.value_or(""),
                         charset.value_or("GBK"), 0, 0);
}

bool MysqlConnection::connectWithin(const std::string& host, int port, const std::string& database,
                                    const std::string& user, const std::string& password, const std::string& charset,
                                    unsigned connectSeconds, unsigned transferSeconds)
{
    host_ = host;
    setSession(nullptr);
    const MariadbFunctions* api = library_->functions();
    if (!api)
        return false;
    // mysql_init would set the library up on first use, but not safely from
    // several threads at once.
    static std::once_flag library;
    std::call_once(library, [api] { api->mysql_server_init(0, nullptr, nullptr); });

    MYSQL* fresh = api->mysql_init(nullptr);
    setSession(fresh ? std::make_shared<Session>(*api, fresh, true) : nullptr);
    if (!handle_)
        return false;
    // Time-outs only take effect when set before the connection is made.
    if (connectSeconds > 0)
        api->mysql_options(handle_, MYSQL_OPT_CONNECT_TIMEOUT, &connectSeconds);
    if (transferSeconds > 0) {
        api->mysql_options(handle_, MYSQL_OPT_READ_TIMEOUT, &transferSeconds);
        api->mysql_options(handle_, MYSQL_OPT_WRITE_TIMEOUT, &transferSeconds);
    }
    if (api->mysql_real_connect(handle_, host_.c_str(), user.c_str(), password.c_str(), database.c_str(),
                                static_cast<std::uint16_t>(port), nullptr, 0) != handle_)
        return false;
    return api->mysql_set_character_set(handle_, charset.c_str()) == 0;
}

void MysqlConnection::close()
{
    setSession(nullptr);
}

// Statements go with their byte length, so a name holding a zero byte reaches
// the server whole (and is refused) instead of running a shortened statement.
// Rows a statement returns are read and dropped: a result left unread would
// make every later command on the connection fail as out of sync.
bool MysqlConnection::execute(const std::string& sql)
{
    if (!handle_)
        return false;
    session_->reportedError.clear();
    if (session_->api.mysql_real_query(handle_, sql.data(), static_cast<unsigned long>(sql.size())) != 0)
        return false;
    for (;;) {
        if (MYSQL_RES* rows = session_->api.mysql_store_result(handle_))
            session_->api.mysql_free_result(rows);
        else if (session_->api.mysql_field_count(handle_) != 0)
            return false;
        // Asking for a further result when there is none would clear the
        // count of rows the statement changed.
        if (!session_->api.mysql_more_results(handle_))
            return true;
        const int next = session_->api.mysql_next_result(handle_);
        if (next != 0)
            return next < 0;
    }
}

bool MysqlConnection::storeQuery(const std::string& sql, std::shared_ptr<MYSQL_RES>& result)
{
    result.reset();
    if (!handle_)
        return false;
    session_->reportedError.clear();
    if (session_->api.mysql_real_query(handle_, sql.data(), static_cast<unsigned long>(sql.size())) != 0)
        return false;
    MYSQL_RES* stored = session_->api.mysql_store_result(handle_);
    if (!stored)
        // Rows that could not be fetched leave a field count and an error.
        return session_->api.mysql_field_count(handle_) == 0;
    result.reset(stored, [session = session_](MYSQL_RES* rows) { session->api.mysql_free_result(rows); });
    return true;
}

namespace {

unsigned serverStatus(const MysqlConnection::Session* session)
{
    unsigned status = 0;
    if (session == nullptr ||
        session->api.mariadb_get_infov(session->mysql, MARIADB_CONNECTION_SERVER_STATUS, &status) != 0)
        return 0;
    return status;
}

} // namespace

bool MysqlConnection::inTransaction() const
{
    return (serverStatus(session_.get()) & SERVER_STATUS_IN_TRANS) != 0;
}

bool MysqlConnection::keepsBackslashEscapes() const
{
    return handle_ != nullptr && (serverStatus(session_.get()) & SERVER_STATUS_NO_BACKSLASH_ESCAPES) == 0;
}

std::string MysqlConnection::escapedLiteral(std::string_view text) const
{
    std::string buffer(2 * text.size() + 1, '\0');
    unsigned long written = static_cast<unsigned long>(-1);
    if (handle_)
        written = session_->api.mysql_real_escape_string(handle_, buffer.data(), text.data(),
                                                         static_cast<unsigned long>(text.size()));
    buffer.resize(written == static_cast<unsigned long>(-1) ? 0 : written);
    return "'" + buffer + "'";
}

std::string MysqlConnection::versionText(int which) const
{
    if (which == 1)
        if (const MariadbFunctions* api = library_->functions())
            return textOrEmpty(api->mysql_get_client_info());
    if (which == 0 && handle_)
        return textOrEmpty(session_->api.mysql_get_server_info(handle_));
    return {};
}

std::string MysqlConnection::lastErrorText() const
{
    if (!handle_) {
        // Without the client library nothing could connect: say why.
        const std::string missing = library_->lastErrorText();
        return missing.empty() ? notConnectedText : missing;
    }
    if (!session_->reportedError.empty())
        return session_->reportedError;
    return textOrEmpty(session_->api.mysql_error(handle_));
}

int MysqlConnection::lastErrorCode() const
{
    if (!handle_)
        return library_->lastErrorText().empty() ? CR_SERVER_GONE_ERROR : CR_UNKNOWN_ERROR;
    if (!session_->reportedError.empty())
        return CR_UNKNOWN_ERROR;
    return static_cast<int>(session_->api.mysql_errno(handle_));
}

bool MysqlConnection::useDatabase(const std::string& name)
{
    return execute("use " + name);
}

bool MysqlConnection::createDatabase(const std::string& name)
{
    return execute("create database " + name);
}

bool MysqlConnection::dropDatabase(const std::string& name)
{
    return execute("drop database " + name);
}

std::string MysqlConnection::listFirstColumn(const std::string& sql)
{
    std::string names;
    MysqlRecordset recordset;
    recordset.attach(*this);
    if (recordset.open(sql)) {
        for (std::int64_t row = 0, count = recordset.recordCount(); row < count; ++row) {
            names += recordset.value(std::nullopt, 0).text();
            names += ',';
            recordset.moveNext();
        }
        recordset.close();
    }
    return names;
}

std::string MysqlConnection::listDatabases()
{
    return listFirstColumn("show databases");
}

std::string MysqlConnection::listTables(const std::string& database)
{
    return listFirstColumn("show tables from " + database);
}

bool MysqlConnection::tableExists(const std::string& name)
{
    MysqlRecordset recordset;
    recordset.attach(*this);
    if (!recordset.open("Select * From " + name))
        return false;
    recordset.close();
    return true;
}

bool MysqlConnection::createTable(const std::string& name, const std::vector<ColumnSpec>& columns)
{
    std::string sql = "create table " + name;
    if (!columns.empty()) {
        sql += " (";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                sql += ',';
            sql += columns[i].name + " " + columnTypeText(columns[i]) + " " + columnOptionsText(columns[i]) + " ";
        }
        sql += ')';
    }
    return execute(sql);
}

std::string MysqlConnection::columnOptionsText(const ColumnSpec& column)
{
    static const struct {
        int flag;
        const char* text;
    } pieces[] = {
        {FlagPrimaryKey, "PRIMARY KEY "}, {FlagAutoIncrement, "AUTO_INCREMENT "},
        {FlagUnsigned, "UNSIGNED "},      {FlagZeroFill, "ZEROFILL "},
        {FlagBinary, "BINARY "},          {FlagNotNull, "NOT NULL "},
    };
    std::string text;
    for (const auto& piece : pieces)
        if (column.flags & piece.flag)
            text += piece.text;
    return text;
}

std::string MysqlConnection::columnTypeText(const ColumnSpec& column)
{
    switch (column.typeCode) {
    case TypeInt:
        return "int";
    case TypeBigInt:
        return "BigInt";
    case TypeFloat:
        return "Float";
    case TypeDouble:
        return "Double";
    case TypeDateTime:
        return "datetime";
    case TypeLongText:
        return "LongText";
    case TypeBool:
        return "Bool";
    case TypeLongBlob:
        return "LongBlob";
    case TypeVarChar:
        return "VarChar(" + std::to_string(column.length < 1 ? 100 : column.length) + ")";
    default:
        return {};
    }
}

bool MysqlConnection::dropTable(const std::string& name)
{
    return execute("DROP TABLE " + name);
}

bool MysqlConnection::clearTable(const std::string& name)
{
    return execute("Delete From " + name);
}

bool MysqlConnection::createIndex(const std::string& table, const std::string& columns, const std::string& indexName)
{
    return execute("create index " + indexName + " on " + table + "(" + columns + ")");
}

bool MysqlConnection::dropIndex(const std::string& table, const std::string& indexName)
{
    return execute("drop index " + indexName + " on " + table);
}

bool MysqlConnection::renameTable(const std::string& oldName, const std::string& newName)
{
    return execute("alter table " + oldName + " rename to " + newName);
}

bool MysqlConnection::addColumn(const std::string& table, const ColumnSpec& column)
{
    return execute("alter table " + table + " add column " + column.name + " " + columnTypeText(column) + " " +
                   columnOptionsText(column) + " ");
}

bool MysqlConnection::beginTransaction()
{
    return execute("START TRANSACTION");
}

bool MysqlConnection::commit()
{
    return execute("COMMIT");
}

bool MysqlConnection::rollback()
{
    return execute("ROLLBACK");
}

long long MysqlConnection::lastInsertKey() const
{
    return handle_ ? static_cast<long long>(session_->api.mysql_insert_id(handle_)) : 0;
}

long long MysqlConnection::changedRows() const
{
    if (!handle_)
        return -1;
    // The server counts an UPDATE that writes the values a row holds already
    // as changing nothing; its info line tells the rows it matched.
    if (const char* info = session_->api.mysql_info(handle_)) {
        long long matched = 0;
        if (std::sscanf(info, "Rows matched: %lld", &matched) == 1)
            return matched;
    }
    const unsigned long long rows = session_->api.mysql_affected_rows(handle_);
    return rows == ~0ULL ? -1 : static_cast<long long>(rows);
}
