#include "db/Statement.h"

#include "db/DatabaseCore.h"
#include "db/Dialect.h"
#include "db/mysql/MariadbFunctions.h"
#include "db/sqlite/SqliteText.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

namespace {

const std::string& nulByteText()
{
    return GBK("文本含有空字符（NUL），不能写入数据库");
}

const std::string& invalidGbkText()
{
    return GBK("文本含有无效的 GBK 字符，不能写入数据库");
}

bool isGbkLead(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// Where the quoted text, backquoted name or comment opening at `start` ends.
// A double-byte GBK character is stepped over whole, as the server reads it,
// so its second byte is never taken for a quote or a backslash.
std::size_t endOfQuoted(std::string_view sql, std::size_t start, bool backslashEscapes)
{
    const char quote = sql[start];
    std::size_t i = start + 1;
    while (i < sql.size()) {
        const char c = sql[i];
        if (isGbkLead(c) && i + 1 < sql.size())
            i += 2;
        else if (backslashEscapes && quote != '`' && c == '\\')
            i += 2;
        else if (c == quote && i + 1 < sql.size() && sql[i + 1] == quote)
            i += 2;
        else if (c == quote)
            return i + 1;
        else
            ++i;
    }
    return sql.size();
}

std::size_t endOfComment(std::string_view sql, std::size_t start)
{
    if (sql[start] == '/') {
        const std::size_t close = sql.find("*/", start + 2);
        return close == std::string_view::npos ? sql.size() : close + 2;
    }
    const std::size_t newline = sql.find('\n', start);
    return newline == std::string_view::npos ? sql.size() : newline + 1;
}

bool opensComment(std::string_view sql, std::size_t i)
{
    if (sql[i] == '#')
        return true;
    if (i + 1 >= sql.size())
        return false;
    if (sql[i] == '/' && sql[i + 1] == '*')
        return true;
    // The server wants a blank after "--".
    return sql[i] == '-' && sql[i + 1] == '-' &&
           (i + 2 == sql.size() || sql[i + 2] == ' ' || (sql[i + 2] >= '\t' && sql[i + 2] <= '\r'));
}

// The text around each "?" that stands for a parameter; those inside quotes,
// names and comments belong to the text.
std::vector<std::string> splitAtParameters(std::string_view sql, bool backslashEscapes)
{
    std::vector<std::string> pieces(1);
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        std::size_t end = i + 1;
        if (c == '\'' || c == '"' || c == '`') {
            end = endOfQuoted(sql, i, backslashEscapes);
        } else if (opensComment(sql, i)) {
            end = endOfComment(sql, i);
        } else if (c == '?') {
            pieces.emplace_back();
            ++i;
            continue;
        } else if (isGbkLead(c) && i + 1 < sql.size()) {
            end = i + 2;
        }
        pieces.back().append(sql.substr(i, end - i));
        i = end;
    }
    return pieces;
}

// What may follow the one statement SQLite prepared.
bool onlyBlanks(const char* tail)
{
    for (; tail != nullptr && *tail != '\0'; ++tail) {
        if (*tail != ';' && *tail != ' ' && (*tail < '\t' || *tail > '\r'))
            return false;
    }
    return true;
}

} // namespace

Statement::Statement(std::shared_ptr<DatabaseCore> core, std::string_view sql) : core_(std::move(core))
{
    core_->clearError();
    bool prepared = false;
    switch (core_->kind()) {
    case DbKind::Sqlite:
        prepared = prepareSqlite(sql);
        break;
    case DbKind::Mysql:
        prepared = core_->mysql().isConnected() || core_->fail(DatabaseCore::notOpenText());
        if (prepared)
            prepareMysql(sql);
        break;
    default:
        core_->fail(DatabaseCore::notOpenText());
        break;
    }
    if (!prepared) {
        release();
        core_.reset();
    }
}

Statement::~Statement()
{
    release();
}

Statement::Statement(Statement&& other) noexcept
{
    *this = std::move(other);
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        release();
        core_ = std::move(other.core_);
        state_ = other.state_;
        refused_.swap(other.refused_);
        ownedHandle_ = std::move(other.ownedHandle_);
        handle_ = std::exchange(other.handle_, nullptr);
        sqlite_ = std::exchange(other.sqlite_, nullptr);
        // The buffers stay where SQLite's bindings point: the vector hands its
        // storage over whole.
        bound_.swap(other.bound_);
        pieces_.swap(other.pieces_);
        literals_.swap(other.literals_);
        result_ = std::move(other.result_);
        row_ = std::exchange(other.row_, nullptr);
        lengths_ = std::exchange(other.lengths_, nullptr);
    }
    return *this;
}

void Statement::release()
{
    sqlite3_finalize(sqlite_);
    sqlite_ = nullptr;
    handle_ = nullptr;
    ownedHandle_.reset();
    bound_.clear();
    pieces_.clear();
    literals_.clear();
    result_.reset();
    row_ = nullptr;
    lengths_ = nullptr;
    refused_.clear();
    state_ = State::Ready;
}

bool Statement::prepareSqlite(std::string_view sql)
{
    SqliteConnection& connection = core_->sqlite();
    if (connection.handle() == nullptr)
        return core_->fail(DatabaseCore::notOpenText());
    if (holdsNulByte(sql))
        return core_->fail(GBK("SQL 语句含有空字符（NUL），未执行"));
    if (!isValidGbk(sql))
        return core_->fail(GBK("SQL 语句含有无效的 GBK 字符，未执行"));
    const ByteArray utf8 = toUtf8(sql);
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(connection.handle(), reinterpret_cast<const char*>(utf8.data()),
                           static_cast<int>(utf8.size()), &sqlite_, &tail) != SQLITE_OK)
        return core_->failFromBackend();
    if (sqlite_ == nullptr)
        return core_->fail(GBK("SQL 语句是空的"));
    if (!onlyBlanks(tail))
        return core_->fail(GBK("一次只能准备一条 SQL 语句"));
    handle_ = connection.handle();
    ownedHandle_ = connection.ownedHandle();
    bound_.resize(static_cast<std::size_t>(sqlite3_bind_parameter_count(sqlite_)) + 1);
    return true;
}

void Statement::prepareMysql(std::string_view sql)
{
    pieces_ = splitAtParameters(sql, core_->mysql().keepsBackslashEscapes());
    literals_.assign(pieces_.size() - 1, "NULL");
}

bool Statement::checkParameter(int index)
{
    if (!core_)
        return false;
    const std::size_t count = isSqlite() ? bound_.size() - 1 : literals_.size();
    if (index >= 1 && static_cast<std::size_t>(index) <= count)
        return true;
    return core_->fail(GBK("语句没有第 ") + std::to_string(index) + GBK(" 个参数"));
}

bool Statement::refuse(int index, const std::string& reason)
{
    if (std::find(refused_.begin(), refused_.end(), index) == refused_.end())
        refused_.push_back(index);
    return core_->fail(reason);
}

void Statement::accept(int index)
{
    if (!refused_.empty())
        refused_.erase(std::remove(refused_.begin(), refused_.end(), index), refused_.end());
}

bool Statement::bind(int index, std::string_view gbkText)
{
    if (!checkParameter(index))
        return false;
    if (holdsNulByte(gbkText))
        return refuse(index, nulByteText());
    if (!isValidGbk(gbkText))
        return refuse(index, invalidGbkText());
    if (isSqlite()) {
        const ByteArray utf8 = toUtf8(gbkText);
        return bindSqliteText(index, std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size() - 1));
    }
    MysqlConnection& server = core_->mysql();
    return bindMysqlLiteral(index, server.keepsBackslashEscapes() ? server.escapedLiteral(gbkText)
                                                                  : Dialect::literal(gbkText));
}

bool Statement::bindUtf8(int index, std::string_view utf8Text)
{
    if (!checkParameter(index))
        return false;
    if (holdsNulByte(utf8Text))
        return refuse(index, nulByteText());
    if (isSqlite())
        return bindSqliteText(index, utf8Text);
    const std::string gbk = fromUtf8(utf8Text.data(), utf8Text.size());
    MysqlConnection& server = core_->mysql();
    return bindMysqlLiteral(index, server.keepsBackslashEscapes() ? server.escapedLiteral(gbk) : Dialect::literal(gbk));
}

bool Statement::bind(int index, long long value)
{
    if (!checkParameter(index))
        return false;
    if (!isSqlite())
        return bindMysqlLiteral(index, std::to_string(value));
    if (sqlite3_bind_int64(sqlite_, index, value) != SQLITE_OK)
        return core_->failFromBackend();
    accept(index);
    return true;
}

bool Statement::bindNull(int index)
{
    if (!checkParameter(index))
        return false;
    if (!isSqlite())
        return bindMysqlLiteral(index, "NULL");
    if (sqlite3_bind_null(sqlite_, index) != SQLITE_OK)
        return core_->failFromBackend();
    accept(index);
    return true;
}

bool Statement::bindBlob(int index, std::string_view bytes)
{
    if (!checkParameter(index))
        return false;
    if (!isSqlite())
        return bindMysqlLiteral(index, Dialect::blobLiteral(bytes));
    std::string& buffer = bound_[static_cast<std::size_t>(index)];
    buffer.assign(bytes);
    // Never a null pointer, which SQLite would store as NULL.
    if (sqlite3_bind_blob(sqlite_, index, buffer.data(), static_cast<int>(buffer.size()), SQLITE_STATIC) != SQLITE_OK)
        return core_->failFromBackend();
    accept(index);
    return true;
}

// The bytes are copied into the statement's own buffer for the parameter, so
// the caller's text may go once bound and SQLite copies nothing.
bool Statement::bindSqliteText(int index, std::string_view utf8)
{
    std::string& buffer = bound_[static_cast<std::size_t>(index)];
    buffer.assign(utf8);
    if (sqlite3_bind_text(sqlite_, index, buffer.data(), static_cast<int>(buffer.size()), SQLITE_STATIC) != SQLITE_OK)
        return core_->failFromBackend();
    accept(index);
    return true;
}

bool Statement::bindMysqlLiteral(int index, std::string literal)
{
    literals_[static_cast<std::size_t>(index - 1)] = std::move(literal);
    accept(index);
    return true;
}

bool Statement::usable()
{
    if (!core_)
        return false;
    if (!refused_.empty())
        return core_->fail(GBK("第 ") + std::to_string(refused_.front()) + GBK(" 个参数的值未被接受，语句没有执行"));
    // A statement of a database closed since works on nothing.
    if (isSqlite() && handle_ != core_->sqlite().handle())
        return core_->fail(DatabaseCore::notOpenText());
    return true;
}

std::string Statement::mysqlText() const
{
    std::size_t size = 0;
    for (const std::string& piece : pieces_)
        size += piece.size();
    for (const std::string& literal : literals_)
        size += literal.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        if (i > 0)
            text += literals_[i - 1];
        text += pieces_[i];
    }
    return text;
}

bool Statement::run()
{
    if (!usable())
        return false;
    if (isSqlite())
        return runSqlite();
    result_.reset();
    row_ = nullptr;
    state_ = State::Ready;
    const std::string text = mysqlText();
    MysqlConnection& server = core_->mysql();
    return core_->withReconnect([&] { return server.execute(text); });
}

bool Statement::runSqlite()
{
    core_->clearError();
    sqlite3_reset(sqlite_);
    state_ = State::Ready;
    int rc;
    while ((rc = sqlite3_step(sqlite_)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        core_->failFromBackend();
    sqlite3_reset(sqlite_);
    return rc == SQLITE_DONE;
}

bool Statement::step()
{
    if (state_ == State::Done || state_ == State::Failed)
        return false;
    if (state_ == State::Ready && !usable()) {
        if (core_)
            state_ = State::Failed;
        return false;
    }
    return isSqlite() ? stepSqlite() : stepMysql();
}

bool Statement::stepSqlite()
{
    if (state_ == State::Ready)
        core_->clearError();
    const int rc = sqlite3_step(sqlite_);
    if (rc == SQLITE_ROW) {
        state_ = State::Row;
        return true;
    }
    state_ = rc == SQLITE_DONE ? State::Done : State::Failed;
    if (rc != SQLITE_DONE)
        core_->failFromBackend();
    return false;
}

bool Statement::stepMysql()
{
    if (state_ == State::Ready) {
        const std::string text = mysqlText();
        MysqlConnection& server = core_->mysql();
        std::shared_ptr<MYSQL_RES> result;
        if (!core_->withReconnect([&] { return server.storeQuery(text, result); })) {
            state_ = State::Failed;
            return false;
        }
        result_ = std::move(result);
        if (result_)
            mysqlApi_ = &server.session()->api;
    }
    row_ = result_ ? mysqlApi_->mysql_fetch_row(result_.get()) : nullptr;
    lengths_ = row_ ? mysqlApi_->mysql_fetch_lengths(result_.get()) : nullptr;
    state_ = row_ ? State::Row : State::Done;
    return row_ != nullptr;
}

void Statement::reset()
{
    if (sqlite_ != nullptr)
        sqlite3_reset(sqlite_);
    result_.reset();
    row_ = nullptr;
    lengths_ = nullptr;
    state_ = State::Ready;
}

int Statement::columnCount() const
{
    if (sqlite_ != nullptr)
        return sqlite3_column_count(sqlite_);
    return result_ ? static_cast<int>(mysqlApi_->mysql_num_fields(result_.get())) : 0;
}

std::string Statement::columnName(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    if (sqlite_ != nullptr) {
        const char* name = sqlite3_column_name(sqlite_, column);
        return name ? fromUtf8(name, std::strlen(name)) : std::string();
    }
    const MYSQL_FIELD* field = mysqlApi_->mysql_fetch_field_direct(result_.get(), static_cast<unsigned>(column));
    return field && field->name ? std::string(field->name, field->name_length) : std::string();
}

int Statement::columnIndex(std::string_view name) const
{
    for (int column = 0, count = columnCount(); column < count; ++column) {
        if (columnName(column) == name)
            return column;
    }
    return -1;
}

const char* Statement::mysqlCell(int column, unsigned long& length) const
{
    length = 0;
    if (!onRow() || column < 0 || column >= columnCount() || row_[column] == nullptr)
        return nullptr;
    length = lengths_[column];
    return row_[column];
}

bool Statement::isNull(int column) const
{
    if (sqlite_ != nullptr)
        return !onRow() || column < 0 || column >= columnCount() || sqlite3_column_type(sqlite_, column) == SQLITE_NULL;
    unsigned long length;
    return mysqlCell(column, length) == nullptr;
}

std::string_view Statement::sqliteText(int column) const
{
    if (!onRow() || column < 0 || column >= columnCount())
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(sqlite_, column));
    return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(sqlite_, column)))
                : std::string_view();
}

std::string Statement::utf8(int column) const
{
    if (sqlite_ != nullptr)
        return std::string(sqliteText(column));
    unsigned long length;
    const char* cell = mysqlCell(column, length);
    if (cell == nullptr || length == 0)
        return {};
    const ByteArray converted = toUtf8(std::string_view(cell, length));
    return converted.empty() ? std::string() : std::string(converted.begin(), converted.end() - 1);
}

std::string Statement::text(int column) const
{
    if (sqlite_ != nullptr) {
        const std::string_view bytes = sqliteText(column);
        return fromUtf8(bytes.data(), bytes.size());
    }
    unsigned long length;
    const char* cell = mysqlCell(column, length);
    return cell ? std::string(cell, length) : std::string();
}

long long Statement::integer(int column) const
{
    if (sqlite_ != nullptr)
        return onRow() && column >= 0 && column < columnCount() ? sqlite3_column_int64(sqlite_, column) : 0;
    unsigned long length;
    const char* cell = mysqlCell(column, length);
    long long value = 0;
    if (cell != nullptr)
        std::from_chars(cell, cell + length, value);
    return value;
}

std::string Statement::blob(int column) const
{
    if (sqlite_ != nullptr) {
        if (!onRow() || column < 0 || column >= columnCount())
            return {};
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(sqlite_, column));
        return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(sqlite_, column)))
                     : std::string();
    }
    unsigned long length;
    const char* cell = mysqlCell(column, length);
    return cell ? std::string(cell, length) : std::string();
}
