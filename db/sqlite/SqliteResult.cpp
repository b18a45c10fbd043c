#include "db/sqlite/SqliteResult.h"

#include "db/sqlite/SqliteText.h"

#include <sqlite3.h>

#include <charconv>
#include <cstring>

namespace {

// Integers become text as SQLite writes them: plain decimal.
std::size_t integerText(std::int64_t value, char (&buffer)[24])
{
    return static_cast<std::size_t>(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
}

std::uint32_t loadEnd(const char* at)
{
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// One value of the row being kept, as the statement gives it.
struct PendingValue {
    int type;
    const void* data;
    std::size_t length;
    char number[8];
};

} // namespace

SqliteResult::SqliteResult(sqlite3_stmt* statement) : statement_(statement)
{
    columnCount_ = sqlite3_column_count(statement_);
    names_.reserve(static_cast<std::size_t>(columnCount_));
    for (int i = 0; i < columnCount_; ++i) {
        const char* name = sqlite3_column_name(statement_, i);
        names_.push_back(name ? fromUtf8(name, std::strlen(name)) : std::string());
    }
}

SqliteResult::~SqliteResult()
{
    sqlite3_finalize(converter_);
    sqlite3_finalize(statement_);
}

int SqliteResult::run()
{
    const auto columns = static_cast<std::size_t>(columnCount_);
    const std::size_t header = columns * (sizeof(std::uint32_t) + 1);
    std::vector<PendingValue> pending(columns);
    // Held across the walk, so the values can be read without the per-call
    // locking of the column readers; stepping takes it again recursively.
    sqlite3_mutex* mutex = sqlite3_db_mutex(sqlite3_db_handle(statement_));
    sqlite3_mutex_enter(mutex);
    int rc;
    while ((rc = sqlite3_step(statement_)) == SQLITE_ROW) {
        std::size_t size = header;
        for (std::size_t i = 0; i < columns; ++i) {
            PendingValue& value = pending[i];
            sqlite3_value* live = sqlite3_column_value(statement_, static_cast<int>(i));
            value.type = sqlite3_value_type(live);
            value.data = value.number;
            value.length = sizeof value.number;
            switch (value.type) {
            case SQLITE_INTEGER: {
                const std::int64_t integer = sqlite3_value_int64(live);
                std::memcpy(value.number, &integer, sizeof integer);
                break;
            }
            case SQLITE_FLOAT: {
                const double real = sqlite3_value_double(live);
                std::memcpy(value.number, &real, sizeof real);
                break;
            }
            case SQLITE_TEXT:
            case SQLITE_BLOB:
                value.data = value.type == SQLITE_TEXT ? sqlite3_value_text(live) : sqlite3_value_blob(live);
                value.length = static_cast<std::size_t>(sqlite3_value_bytes(live));
                if (value.data == nullptr && value.length > 0)
                    rc = SQLITE_NOMEM;
                break;
            default:
                value.type = SQLITE_NULL;
                value.length = 0;
                break;
            }
            size += value.length;
        }
        if (rc == SQLITE_ROW && size - header > UINT32_MAX)
            rc = SQLITE_TOOBIG;
        char* row = rc == SQLITE_ROW ? arena_.allocate(size) : nullptr;
        if (row == nullptr) {
            if (rc == SQLITE_ROW)
                rc = SQLITE_NOMEM;
            break;
        }
        char* data = row + header;
        std::uint32_t end = 0;
        for (std::size_t i = 0; i < columns; ++i) {
            const PendingValue& value = pending[i];
            if (value.length > 0)
                std::memcpy(data + end, value.data, value.length);
            end += static_cast<std::uint32_t>(value.length);
            std::memcpy(row + i * sizeof end, &end, sizeof end);
            row[columns * sizeof end + i] = static_cast<char>(value.type);
        }
        rows_.push_back(row);
    }
    sqlite3_mutex_leave(mutex);
    if (rc != SQLITE_DONE) {
        std::vector<const char*>().swap(rows_);
        arena_.clear();
        rowCount_ = 0;
        return rc;
    }
    rowCount_ = static_cast<int>(rows_.size());
    if (rowCount_ > 0)
        sqlite3_prepare_v2(sqlite3_db_handle(statement_), "SELECT ?1", -1, &converter_, nullptr);
    return rc;
}

std::int64_t SqliteResult::Field::integer() const
{
    std::int64_t value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

double SqliteResult::Field::real() const
{
    double value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

SqliteResult::Field SqliteResult::field(int row, int column) const
{
    Field out;
    if (row < 0 || row >= rowCount_ || column < 0 || column >= columnCount_)
        return out;
    const char* stored = rows_[static_cast<std::size_t>(row)];
    const auto columns = static_cast<std::size_t>(columnCount_);
    const auto at = static_cast<std::size_t>(column);
    const std::uint32_t start = at == 0 ? 0 : loadEnd(stored + (at - 1) * sizeof start);
    out.type = static_cast<unsigned char>(stored[columns * sizeof start + at]);
    out.data = stored + columns * (sizeof start + 1) + start;
    out.length = loadEnd(stored + at * sizeof start) - start;
    return out;
}

bool SqliteResult::convert(const Field& value) const
{
    if (converter_ == nullptr)
        return false;
    sqlite3_reset(converter_);
    switch (value.type) {
    case SQLITE_INTEGER:
        sqlite3_bind_int64(converter_, 1, value.integer());
        break;
    case SQLITE_FLOAT:
        sqlite3_bind_double(converter_, 1, value.real());
        break;
    case SQLITE_TEXT:
        sqlite3_bind_text(converter_, 1, value.data, static_cast<int>(value.length), SQLITE_STATIC);
        break;
    case SQLITE_BLOB:
        sqlite3_bind_blob(converter_, 1, value.data, static_cast<int>(value.length), SQLITE_STATIC);
        break;
    default:
        sqlite3_bind_null(converter_, 1);
        break;
    }
    return sqlite3_step(converter_) == SQLITE_ROW;
}

const std::string& SqliteResult::columnName(int column) const
{
    static const std::string none;
    return column >= 0 && column < columnCount_ ? names_[static_cast<std::size_t>(column)] : none;
}

int SqliteResult::columnIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

std::string SqliteResult::declaredType(int column) const
{
    if (column < 0 || column >= columnCount_)
        return {};
    const char* type = sqlite3_column_decltype(statement_, column);
    return type ? fromUtf8(type, std::strlen(type)) : std::string();
}

bool SqliteResult::isBlobColumn(int column) const
{
    if (column < 0 || column >= columnCount_)
        return false;
    const char* type = sqlite3_column_decltype(statement_, column);
    return type != nullptr && sqlite3_stricmp(type, "Blob") == 0;
}

std::string SqliteResult::text(int row, int column) const
{
    const Field c = field(row, column);
    switch (c.type) {
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return fromUtf8(c.data, c.length);
    case SQLITE_INTEGER: {
        char buffer[24];
        return std::string(buffer, integerText(c.integer(), buffer));
    }
    case SQLITE_FLOAT:
        if (convert(c)) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(converter_, 0));
            return fromUtf8(text, static_cast<std::size_t>(sqlite3_column_bytes(converter_, 0)));
        }
        return {};
    default:
        return {};
    }
}

std::int64_t SqliteResult::integer(int row, int column) const
{
    const Field c = field(row, column);
    if (c.type == SQLITE_NULL)
        return 0;
    if (c.type == SQLITE_INTEGER)
        return c.integer();
    return convert(c) ? sqlite3_column_int64(converter_, 0) : 0;
}

double SqliteResult::real(int row, int column) const
{
    const Field c = field(row, column);
    if (c.type == SQLITE_NULL)
        return 0.0;
    if (c.type == SQLITE_FLOAT)
        return c.real();
    if (c.type == SQLITE_INTEGER)
        return static_cast<double>(c.integer());
    return convert(c) ? sqlite3_column_double(converter_, 0) : 0.0;
}

ByteArray SqliteResult::bytes(int row, int column) const
{
    const Field c = field(row, column);
    switch (c.type) {
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return ByteArray(c.data, c.data + c.length);
    case SQLITE_INTEGER: {
        char buffer[24];
        return ByteArray(buffer, buffer + integerText(c.integer(), buffer));
    }
    case SQLITE_FLOAT:
        if (convert(c)) {
            const auto* blob = static_cast<const std::uint8_t*>(sqlite3_column_blob(converter_, 0));
            const int length = sqlite3_column_bytes(converter_, 0);
            if (blob != nullptr && length > 0)
                return ByteArray(blob, blob + length);
        }
        return {};
    default:
        return {};
    }
}

int SqliteResult::byteCount(int row, int column) const
{
    const Field c = field(row, column);
    switch (c.type) {
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return static_cast<int>(c.length);
    case SQLITE_INTEGER: {
        char buffer[24];
        return static_cast<int>(integerText(c.integer(), buffer));
    }
    case SQLITE_FLOAT:
        return convert(c) ? sqlite3_column_bytes(converter_, 0) : 0;
    default:
        return 0;
    }
}
