#include "db/sqlite/SqliteRecordset.h"

#include "db/sqlite/SqliteText.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>

// The outcome of one statement: the prepared statement, kept for the column
// names, declared types and text, and copies of every row's values, row-major.
// Reading the copies converts exactly as the column readers would have on the
// live statement. Values that a read converts (an integer read as text, say)
// keep the converted form, as the statement's own values would.
class SqliteRecordset::Result {
public:
    explicit Result(sqlite3_stmt* statement) : statement(statement) {}
    ~Result()
    {
        for (sqlite3_value* cell : cells)
            sqlite3_value_free(cell);
        sqlite3_finalize(statement);
    }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    int rows() const { return columns > 0 ? static_cast<int>(cells.size() / static_cast<std::size_t>(columns)) : 0; }

    sqlite3_value* cell(int row, int column) const
    {
        if (row < 0 || row >= rows() || column < 0 || column >= columns)
            return nullptr;
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(column)];
    }

    int indexOf(const std::string& name) const
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name)
                return static_cast<int>(i);
        }
        return -1;
    }

    void dropRows()
    {
        for (sqlite3_value* cell : cells)
            sqlite3_value_free(cell);
        cells.clear();
    }

    sqlite3_stmt* statement;
    int columns = 0;
    std::vector<std::string> names; // GBK
    std::vector<sqlite3_value*> cells;
};

namespace {

std::string textOf(sqlite3_value* cell)
{
    if (cell == nullptr)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(cell));
    return fromUtf8(text, static_cast<std::size_t>(sqlite3_value_bytes(cell)));
}

ByteArray bytesOf(sqlite3_value* cell)
{
    if (cell == nullptr)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_value_blob(cell));
    const int count = sqlite3_value_bytes(cell);
    if (bytes == nullptr || count <= 0)
        return {};
    return ByteArray(bytes, bytes + count);
}

const std::string& invalidTextMessage()
{
    return GBK("SQL 语句或文本值含有无效的 GBK 字符，未执行");
}

} // namespace

bool SqliteRecordset::attach(const SqliteConnection& connection)
{
    return attachHandle(connection.handle());
}

bool SqliteRecordset::attachHandle(sqlite3* handle)
{
    handle_ = handle;
    return sqlite3_errcode(handle_) != SQLITE_NOMEM;
}

SqliteConnection SqliteRecordset::connection() const
{
    return SqliteConnection(handle_);
}

bool SqliteRecordset::open(const std::string& text, std::optional<int> mode, const std::optional<ByteArray>& blob1,
                           const std::optional<ByteArray>& blob2, const std::optional<ByteArray>& blob3,
                           const std::optional<std::vector<int>>& textFlags)
{
    const int kind = mode.value_or(0) == 0 ? 1 : *mode;
    const std::array<const std::optional<ByteArray>*, 3> blobs{&blob1, &blob2, &blob3};
    return run(kind == 1 ? text : "Select * From " + text, blobs.data(), textFlags, false);
}

bool SqliteRecordset::query(const std::string& sql)
{
    return run(sql, nullptr, std::nullopt, true);
}

bool SqliteRecordset::openOrdered(const std::string& table, const std::string& orderBy)
{
    return query("Select * From " + table + " ORDER BY " + orderBy);
}

bool SqliteRecordset::openWhere(const std::string& table, const std::string& condition)
{
    return query("Select * From " + table + " Where " + condition);
}

bool SqliteRecordset::run(const std::string& sql, const std::optional<ByteArray>* const* blobs,
                          const std::optional<std::vector<int>>& textFlags, bool requireRows)
{
    result_.reset();
    currentRow_ = -1;
    rowCount_ = -1;
    if (handle_ == nullptr)
        return false;
    if (!isValidGbk(sql)) {
        SqliteConnection::reportError(handle_, invalidTextMessage());
        return false;
    }

    const ByteArray sqlUtf8 = toUtf8(sql);
    sqlite3_stmt* statement = nullptr;
    const int prepared = sqlite3_prepare_v2(handle_, reinterpret_cast<const char*>(sqlUtf8.data()),
                                            static_cast<int>(sqlUtf8.size()), &statement, nullptr);
    if (prepared != SQLITE_OK || statement == nullptr) {
        sqlite3_finalize(statement);
        return false;
    }
    auto result = std::make_shared<Result>(statement);

    const std::size_t bindCount = textFlags ? std::min<std::size_t>(textFlags->size(), 3) : 0;
    for (std::size_t i = 0; blobs != nullptr && i < bindCount; ++i) {
        const std::optional<ByteArray>& blob = *blobs[i];
        const int parameter = static_cast<int>(i) + 1;
        int bound;
        if (!blob) {
            bound = sqlite3_bind_null(statement, parameter);
        } else if ((*textFlags)[i] != 0) {
            const auto end = std::find(blob->begin(), blob->end(), std::uint8_t{0});
            const std::string text(blob->begin(), end);
            if (!isValidGbk(text)) {
                result.reset();
                SqliteConnection::reportError(handle_, invalidTextMessage());
                return false;
            }
            const ByteArray utf8 = toUtf8(text);
            bound = sqlite3_bind_blob64(statement, parameter, utf8.data(), utf8.size(), SQLITE_TRANSIENT);
        } else if (blob->empty()) {
            bound = sqlite3_bind_zeroblob(statement, parameter, 0);
        } else {
            bound = sqlite3_bind_blob64(statement, parameter, blob->data(), blob->size(), SQLITE_TRANSIENT);
        }
        if (bound != SQLITE_OK)
            break;
    }

    int rc = sqlite3_step(statement);
    result->columns = sqlite3_column_count(statement);
    result->names.reserve(static_cast<std::size_t>(result->columns));
    for (int i = 0; i < result->columns; ++i) {
        const char* name = sqlite3_column_name(statement, i);
        result->names.push_back(name ? fromUtf8(name, std::strlen(name)) : std::string());
    }
    // The statement runs once, to its end: a statement that writes and
    // returns rows must not write twice, and the count must be that of the
    // rows that are read.
    while (rc == SQLITE_ROW) {
        for (int i = 0; i < result->columns; ++i)
            result->cells.push_back(sqlite3_value_dup(sqlite3_column_value(statement, i)));
        rc = sqlite3_step(statement);
    }
    result_ = std::move(result);

    if (rc != SQLITE_DONE) {
        // The reason stays in the handle's error state.
        result_->dropRows();
        return false;
    }
    const int rows = result_->rows();
    if (rows == 0 || result_->columns == 0) {
        if (!requireRows)
            baseSql_.clear();
        return !requireRows;
    }
    baseSql_ = sql;
    rowCount_ = rows;
    columnCount_ = result_->columns;
    currentRow_ = 0;
    return true;
}

void SqliteRecordset::close()
{
    result_.reset();
}

int SqliteRecordset::changes() const
{
    return handle_ != nullptr ? sqlite3_changes(handle_) : 0;
}

std::string SqliteRecordset::statementSql() const
{
    if (!isOpen())
        return {};
    const char* sql = sqlite3_sql(result_->statement);
    return sql ? fromUtf8(sql, std::strlen(sql)) : std::string();
}

bool SqliteRecordset::isOpen() const
{
    return result_ != nullptr;
}

bool SqliteRecordset::isBeforeFirst() const
{
    return currentRow_ == -1;
}

bool SqliteRecordset::isAfterLast() const
{
    return currentRow_ == -2;
}

bool SqliteRecordset::moveTo(int row)
{
    if (row < 0 || row >= rowCount_) {
        currentRow_ = row < 0 ? -1 : -2;
        return false;
    }
    if (!isOpen()) {
        currentRow_ = -1;
        return false;
    }
    currentRow_ = row;
    return true;
}

bool SqliteRecordset::moveFirst()
{
    return moveTo(0);
}

bool SqliteRecordset::moveLast()
{
    return moveTo(rowCount_ - 1);
}

bool SqliteRecordset::movePrevious()
{
    return moveTo(currentRow_ - 1);
}

bool SqliteRecordset::moveNext()
{
    return moveTo(currentRow_ + 1);
}

int SqliteRecordset::fieldCount() const
{
    return isOpen() ? result_->columns : 0;
}

std::string SqliteRecordset::fieldName(int index) const
{
    if (!isOpen() || index < 0 || index >= result_->columns)
        return {};
    return result_->names[static_cast<std::size_t>(index)];
}

std::string SqliteRecordset::fieldDeclaredType(int index) const
{
    if (!isOpen() || index < 0 || index >= result_->columns)
        return {};
    const char* type = sqlite3_column_decltype(result_->statement, index);
    return type ? fromUtf8(type, std::strlen(type)) : std::string();
}

int SqliteRecordset::fieldIndex(const std::string& name) const
{
    return isOpen() ? result_->indexOf(name) : -1;
}

int SqliteRecordset::fieldByteCount(int index) const
{
    if (!isOpen())
        return 0;
    sqlite3_value* cell = result_->cell(currentRow_, index);
    return cell ? sqlite3_value_bytes(cell) : 0;
}

FieldValue SqliteRecordset::value(const std::optional<std::string>& name, std::optional<int> index) const
{
    FieldValue out;
    readValue(out, name, index);
    return out;
}

bool SqliteRecordset::readValue(FieldValue& out, const std::optional<std::string>& name, std::optional<int> index) const
{
    const int column = name && !name->empty() ? fieldIndex(*name) : index.value_or(0);
    if (!isOpen() || column < 0 || column >= result_->columns) {
        out = FieldValue();
        return false;
    }
    sqlite3_value* cell = result_->cell(currentRow_, column);
    // The library reports the declared type "Blob" as "BLOB" (it spells the
    // standard type names its own way), so any letter case counts.
    const char* type = sqlite3_column_decltype(result_->statement, column);
    if (type != nullptr && sqlite3_stricmp(type, "Blob") == 0)
        out = FieldValue(bytesOf(cell));
    else
        out = FieldValue(textOf(cell));
    return true;
}

// The cell of the named field in the current row: null when the field exists
// but no row is current. -1 when there is no such field or no statement.
int SqliteRecordset::locate(const std::string& name, sqlite3_value*& cell) const
{
    cell = nullptr;
    const int column = fieldIndex(name);
    if (column >= 0)
        cell = result_->cell(currentRow_, column);
    return column;
}

bool SqliteRecordset::readText(const std::string& name, std::string& out) const
{
    sqlite3_value* cell;
    const int column = locate(name, cell);
    out = textOf(cell);
    return column >= 0;
}

bool SqliteRecordset::readInt(const std::string& name, int& out) const
{
    sqlite3_value* cell;
    const int column = locate(name, cell);
    out = cell ? sqlite3_value_int(cell) : 0;
    return column >= 0;
}

bool SqliteRecordset::readInt64(const std::string& name, std::int64_t& out) const
{
    sqlite3_value* cell;
    const int column = locate(name, cell);
    out = cell ? sqlite3_value_int64(cell) : 0;
    return column >= 0;
}

bool SqliteRecordset::readFloat(const std::string& name, float& out) const
{
    sqlite3_value* cell;
    const int column = locate(name, cell);
    out = cell ? static_cast<float>(sqlite3_value_double(cell)) : 0.0f;
    return column >= 0;
}

bool SqliteRecordset::readDouble(const std::string& name, double& out) const
{
    sqlite3_value* cell;
    const int column = locate(name, cell);
    out = cell ? sqlite3_value_double(cell) : 0.0;
    return column >= 0;
}

bool SqliteRecordset::readBlob(const std::string& name, ByteArray& out) const
{
    sqlite3_value* cell;
    const int column = locate(name, cell);
    out = bytesOf(cell);
    return column >= 0;
}

bool SqliteRecordset::readBool(const std::string& name, bool& out) const
{
    std::string text;
    const bool found = readText(name, text);
    out = text == "1" || text == "yes" || text == "on" || text == "true" || text == GBK("真");
    return found;
}

bool SqliteRecordset::readDateTime(const std::string& name, DateTimeValue& out) const
{
    std::string text;
    const bool found = readText(name, text);
    out = DateTimeValue::fromText(text);
    return found;
}
