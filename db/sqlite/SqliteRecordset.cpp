#include "db/sqlite/SqliteRecordset.h"

#include "db/sqlite/SqliteResult.h"
#include "db/sqlite/SqliteText.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

const std::string& invalidTextMessage()
{
    return GBK("SQL 语句或文本值含有无效的 GBK 字符，未执行");
}

// The reason a statement text cannot go to SQLite as it is; null when it can.
const std::string* refusalOf(const std::string& sql)
{
    if (holdsNulByte(sql))
        return &GBK("SQL 语句含有空字符（NUL），未执行");
    if (!isValidGbk(sql))
        return &invalidTextMessage();
    return nullptr;
}

bool equalsIgnoringCase(std::string_view text, std::size_t pos, std::string_view word)
{
    if (pos + word.size() > text.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = text[pos + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

// Positions where word (lowercase) starts in the GBK text, a double-byte
// character counting as one unit so that its second byte never starts a match.
std::vector<std::size_t> findAll(std::string_view text, std::string_view word, bool ignoreCase)
{
    std::vector<std::size_t> found;
    for (std::size_t pos = 0; pos < text.size();) {
        const bool match = ignoreCase ? equalsIgnoringCase(text, pos, word) : text.substr(pos, word.size()) == word;
        if (match) {
            found.push_back(pos);
            pos += word.size();
        } else {
            pos += platform::gbkCharLength(text, pos);
        }
    }
    return found;
}

// The query narrowed by condition; empty when the text cannot be narrowed.
std::string narrowedSql(const std::string& sql, const std::string& condition)
{
    const std::vector<std::size_t> wheres = findAll(sql, "where", true);
    if (!wheres.empty()) {
        std::string out;
        std::size_t from = 0;
        for (std::size_t pos : wheres) {
            out.append(sql, from, pos - from);
            out += "where " + condition + " and ";
            from = pos + 5;
        }
        out.append(sql, from);
        return out;
    }

    const std::vector<std::size_t> froms = findAll(sql, "from ", false);
    if (froms.empty())
        return {};
    const std::string head = sql.substr(0, froms[0]);
    const std::size_t tableStart = froms[0] + 5;
    const std::size_t tableEnd = froms.size() > 1 ? froms[1] : sql.size();
    std::string table = sql.substr(tableStart, tableEnd - tableStart);

    const std::string& wideSpace = GBK("　");
    std::size_t skip = 0;
    while (skip < table.size()) {
        if (table[skip] == ' ')
            skip += 1;
        else if (table.compare(skip, wideSpace.size(), wideSpace) == 0)
            skip += wideSpace.size();
        else
            break;
    }
    table.erase(0, skip);

    const std::string clause = " where " + condition + " ";
    std::size_t space = std::string::npos;
    for (std::size_t pos = 0; pos < table.size(); pos += platform::gbkCharLength(table, pos)) {
        if (table[pos] == ' ') {
            space = pos;
            break;
        }
    }
    if (space == std::string::npos)
        table += clause;
    else
        table.replace(space, 1, clause);
    return head + "from " + table;
}

} // namespace

bool SqliteRecordset::attach(const SqliteConnection& connection)
{
    const bool usable = attachHandle(connection.handle());
    owned_ = connection.ownedHandle();
    return usable;
}

bool SqliteRecordset::attachHandle(sqlite3* handle)
{
    owned_.reset();
    handle_ = handle;
    return sqlite3_errcode(handle_) != SQLITE_NOMEM;
}

SqliteConnection SqliteRecordset::connection() const
{
    return owned_ ? SqliteConnection(owned_) : SqliteConnection(handle_);
}

bool SqliteRecordset::open(const std::string& text, std::optional<int> mode, const std::optional<ByteArray>& blob1,
                           const std::optional<ByteArray>& blob2, const std::optional<ByteArray>& blob3,
                           const std::optional<std::vector<int>>& textFlags)
{
    const int kind = mode.value_or(0);
    const std::array<const std::optional<ByteArray>*, 3> blobs{&blob1, &blob2, &blob3};
    return run(kind == 0 || kind == 1 ? text : "Select * From " + text, blobs.data(), textFlags, false);
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

std::shared_ptr<SqliteResult> SqliteRecordset::runStatement(const std::string& sql,
                                                            const std::optional<ByteArray>* const* blobs,
                                                            const std::optional<std::vector<int>>& textFlags, int& rc)
{
    rc = SQLITE_MISUSE;
    if (handle_ == nullptr)
        return nullptr;
    if (const std::string* refusal = refusalOf(sql)) {
        SqliteConnection::reportError(handle_, *refusal);
        return nullptr;
    }
    const ByteArray sqlUtf8 = toUtf8(sql);
    sqlite3_stmt* statement = nullptr;
    rc = sqlite3_prepare_v2(handle_, reinterpret_cast<const char*>(sqlUtf8.data()), static_cast<int>(sqlUtf8.size()),
                            &statement, nullptr);
    if (rc != SQLITE_OK || statement == nullptr) {
        sqlite3_finalize(statement);
        if (rc == SQLITE_OK)
            rc = SQLITE_MISUSE; // nothing but blanks or comments
        return nullptr;
    }
    auto result = std::make_shared<SqliteResult>(statement);

    const std::size_t bindCount = blobs != nullptr && textFlags ? std::min<std::size_t>(textFlags->size(), 3) : 0;
    for (std::size_t i = 0; i < bindCount; ++i) {
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
                rc = SQLITE_MISUSE;
                return nullptr;
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

    // The statement runs once, to its end: a statement that writes and
    // returns rows must not write twice, and the count must be that of the
    // rows that are read.
    rc = result->run();
    return result;
}

bool SqliteRecordset::run(const std::string& sql, const std::optional<ByteArray>* const* blobs,
                          const std::optional<std::vector<int>>& textFlags, bool requireRows)
{
    result_.reset();
    ++resultSerial_;
    currentRow_ = -1;
    rowCount_ = -1;
    int rc;
    result_ = runStatement(sql, blobs, textFlags, rc);
    if (result_ == nullptr || rc != SQLITE_DONE)
        return false;
    if (result_->rowCount() == 0) {
        if (!requireRows)
            baseSql_.clear();
        return !requireRows;
    }
    baseSql_ = sql;
    rowCount_ = result_->rowCount();
    columnCount_ = result_->columnCount();
    currentRow_ = 0;
    return true;
}

void SqliteRecordset::close()
{
    result_.reset();
    ++resultSerial_;
}

int SqliteRecordset::changes() const
{
    return handle_ != nullptr ? sqlite3_changes(handle_) : 0;
}

std::string SqliteRecordset::statementSql() const
{
    if (!isOpen())
        return {};
    const char* sql = sqlite3_sql(result_->statement());
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
    return isOpen() ? result_->columnCount() : 0;
}

std::string SqliteRecordset::fieldName(int index) const
{
    return isOpen() ? result_->columnName(index) : std::string();
}

std::string SqliteRecordset::fieldDeclaredType(int index) const
{
    return isOpen() ? result_->declaredType(index) : std::string();
}

int SqliteRecordset::fieldIndex(const std::string& name) const
{
    return isOpen() ? result_->columnIndex(name) : -1;
}

int SqliteRecordset::fieldByteCount(int index) const
{
    return isOpen() ? result_->byteCount(currentRow_, index) : 0;
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
    if (!isOpen() || column < 0 || column >= result_->columnCount()) {
        out = FieldValue();
        return false;
    }
    if (result_->isBlobColumn(column))
        out = FieldValue(result_->bytes(currentRow_, column));
    else
        out = FieldValue(result_->text(currentRow_, column));
    return true;
}

int SqliteRecordset::locate(const std::string& name) const
{
    return isOpen() ? result_->columnIndex(name) : -1;
}

// The reads below find the column by name; the result answers NULL for a
// missing column or when no row is current, which gives the empty values.

bool SqliteRecordset::readText(const std::string& name, std::string& out) const
{
    return readTextAt(locate(name), out);
}

bool SqliteRecordset::readTextAt(int index, std::string& out) const
{
    const bool found = isOpen() && index >= 0 && index < result_->columnCount();
    out = found ? result_->text(currentRow_, index) : std::string();
    return found;
}

bool SqliteRecordset::readInt(const std::string& name, int& out) const
{
    const int column = locate(name);
    out = column >= 0 ? static_cast<int>(result_->integer(currentRow_, column)) : 0;
    return column >= 0;
}

bool SqliteRecordset::readInt64(const std::string& name, std::int64_t& out) const
{
    const int column = locate(name);
    out = column >= 0 ? result_->integer(currentRow_, column) : 0;
    return column >= 0;
}

bool SqliteRecordset::readFloat(const std::string& name, float& out) const
{
    const int column = locate(name);
    out = column >= 0 ? static_cast<float>(result_->real(currentRow_, column)) : 0.0f;
    return column >= 0;
}

bool SqliteRecordset::readDouble(const std::string& name, double& out) const
{
    const int column = locate(name);
    out = column >= 0 ? result_->real(currentRow_, column) : 0.0;
    return column >= 0;
}

bool SqliteRecordset::readBlob(const std::string& name, ByteArray& out) const
{
    const int column = locate(name);
    out = column >= 0 ? result_->bytes(currentRow_, column) : ByteArray();
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

bool SqliteRecordset::filter(const std::string& condition)
{
    if (!isOpen() || baseSql_.empty())
        return false;
    const std::string base = baseSql_;
    if (condition.empty())
        return query(base);
    const std::string sql = narrowedSql(base, condition);
    if (sql.empty())
        return false;
    int rc;
    std::shared_ptr<SqliteResult> narrowed = runStatement(sql, nullptr, std::nullopt, rc);
    if (narrowed == nullptr || rc != SQLITE_DONE || narrowed->rowCount() == 0)
        return false;
    result_ = std::move(narrowed);
    ++resultSerial_;
    currentRow_ = 0;
    rowCount_ = result_->rowCount();
    columnCount_ = result_->columnCount();
    return true;
}

bool SqliteRecordset::queryTable(const std::string& sql, int& rows, int& columns,
                                 std::vector<std::vector<std::string>>& table)
{
    table.clear();
    rows = 0;
    columns = 0;
    if (handle_ == nullptr)
        return false;
    if (const std::string* refusal = refusalOf(sql)) {
        SqliteConnection::reportError(handle_, *refusal);
        return false;
    }
    const ByteArray sqlUtf8 = toUtf8(sql);
    char** result = nullptr;
    int resultRows = 0;
    int resultColumns = 0;
    char* message = nullptr;
    const int rc = sqlite3_get_table(handle_, reinterpret_cast<const char*>(sqlUtf8.data()), &result, &resultRows,
                                     &resultColumns, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        sqlite3_free_table(result);
        return false;
    }
    if (resultRows > 0 && resultColumns > 0) {
        rows = resultRows + 1;
        columns = resultColumns;
        table.assign(static_cast<std::size_t>(rows), std::vector<std::string>(static_cast<std::size_t>(columns)));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const char* cell = result[r * columns + c];
                if (cell != nullptr)
                    table[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = fromUtf8(cell, std::strlen(cell));
            }
        }
    }
    sqlite3_free_table(result);
    return true;
}

bool SqliteRecordset::replaceInColumn(const std::string& table, const std::string& column, const std::string& find,
                                      const std::string& replacement, const std::string& condition)
{
    result_.reset();
    ++resultSerial_;
    currentRow_ = -1;
    rowCount_ = -1;
    std::string sql =
        "UPDATE " + table + " SET " + column + "=replace(" + column + ",'" + find + "','" + replacement + "')";
    if (!condition.empty())
        sql += " WHERE " + condition;
    int rc;
    result_ = runStatement(sql, nullptr, std::nullopt, rc);
    return result_ != nullptr && rc == SQLITE_DONE && result_->rowCount() == 0;
}

bool SqliteRecordset::lookupInt(const std::string& table, const std::string& condition, int& value, int columnIndex)
{
    if (!openWhere(table, condition) || recordCount() != 1)
        return false;
    value = static_cast<int>(result_->integer(currentRow_, columnIndex));
    return columnIndex >= 0 && columnIndex < result_->columnCount();
}

bool SqliteRecordset::hasRows(const std::string& table, const std::string& condition)
{
    return openWhere(table, condition) && recordCount() > 0;
}

void SqliteRecordset::navigationFlags(int position, int total, NavigationFlags& flags)
{
    NavigationFlags::update(position, total, flags);
}
