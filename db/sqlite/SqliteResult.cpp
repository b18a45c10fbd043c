#include "db/sqlite/SqliteResult.h"

#include "db/sqlite/SqliteText.h"

#include <sqlite3.h>

#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

// Integers become text as SQLite writes them: plain decimal.
std::size_t integerText(std::int64_t value, char (&buffer)[24])
{
    return static_cast<std::size_t>(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
}

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
    int rc;
    while ((rc = sqlite3_step(statement_)) == SQLITE_ROW) {
        for (int i = 0; i < columnCount_; ++i) {
            Cell cell{};
            cell.type = static_cast<std::uint8_t>(sqlite3_column_type(statement_, i));
            switch (cell.type) {
            case SQLITE_INTEGER:
                cell.integer = sqlite3_column_int64(statement_, i);
                break;
            case SQLITE_FLOAT:
                cell.real = sqlite3_column_double(statement_, i);
                break;
            case SQLITE_TEXT: {
                const unsigned char* text = sqlite3_column_text(statement_, i);
                cell.length = static_cast<std::uint32_t>(sqlite3_column_bytes(statement_, i));
                cell.bytes = keep(text, cell.length);
                break;
            }
            case SQLITE_BLOB: {
                const void* blob = sqlite3_column_blob(statement_, i);
                cell.length = static_cast<std::uint32_t>(sqlite3_column_bytes(statement_, i));
                cell.bytes = keep(blob, cell.length);
                break;
            }
            default:
                cell.type = SQLITE_NULL;
                break;
            }
            cells_.push_back(cell);
        }
        ++rowCount_;
    }
    if (rc != SQLITE_DONE) {
        cells_.clear();
        blocks_.clear();
        rowCount_ = 0;
        return rc;
    }
    if (rowCount_ > 0)
        sqlite3_prepare_v2(sqlite3_db_handle(statement_), "SELECT ?1", -1, &converter_, nullptr);
    return rc;
}

const char* SqliteResult::keep(const void* data, std::size_t length)
{
    if (length == 0 || data == nullptr)
        return "";
    if (length > kBlockSize / 4) {
        // Large values get a block of their own, leaving the current one open.
        auto block = std::make_unique_for_overwrite<char[]>(length);
        std::memcpy(block.get(), data, length);
        const char* kept = block.get();
        blocks_.insert(blocks_.empty() ? blocks_.end() : blocks_.end() - 1, std::move(block));
        return kept;
    }
    if (blocks_.empty() || blockUsed_ + length > blockSize_) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        blockSize_ = kBlockSize;
        blockUsed_ = 0;
    }
    char* kept = blocks_.back().get() + blockUsed_;
    std::memcpy(kept, data, length);
    blockUsed_ += length;
    return kept;
}

const SqliteResult::Cell* SqliteResult::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount_ || column < 0 || column >= columnCount_)
        return nullptr;
    return &cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columnCount_) +
                   static_cast<std::size_t>(column)];
}

bool SqliteResult::convert(const Cell& cell) const
{
    if (converter_ == nullptr)
        return false;
    sqlite3_reset(converter_);
    switch (cell.type) {
    case SQLITE_INTEGER:
        sqlite3_bind_int64(converter_, 1, cell.integer);
        break;
    case SQLITE_FLOAT:
        sqlite3_bind_double(converter_, 1, cell.real);
        break;
    case SQLITE_TEXT:
        sqlite3_bind_text(converter_, 1, cell.bytes, static_cast<int>(cell.length), SQLITE_STATIC);
        break;
    case SQLITE_BLOB:
        sqlite3_bind_blob(converter_, 1, cell.bytes, static_cast<int>(cell.length), SQLITE_STATIC);
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
    const Cell* c = cell(row, column);
    if (c == nullptr)
        return {};
    switch (c->type) {
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return fromUtf8(c->bytes, c->length);
    case SQLITE_INTEGER: {
        char buffer[24];
        return std::string(buffer, integerText(c->integer, buffer));
    }
    case SQLITE_FLOAT:
        if (convert(*c)) {
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
    const Cell* c = cell(row, column);
    if (c == nullptr || c->type == SQLITE_NULL)
        return 0;
    if (c->type == SQLITE_INTEGER)
        return c->integer;
    return convert(*c) ? sqlite3_column_int64(converter_, 0) : 0;
}

double SqliteResult::real(int row, int column) const
{
    const Cell* c = cell(row, column);
    if (c == nullptr || c->type == SQLITE_NULL)
        return 0.0;
    if (c->type == SQLITE_FLOAT)
        return c->real;
    if (c->type == SQLITE_INTEGER)
        return static_cast<double>(c->integer);
    return convert(*c) ? sqlite3_column_double(converter_, 0) : 0.0;
}

ByteArray SqliteResult::bytes(int row, int column) const
{
    const Cell* c = cell(row, column);
    if (c == nullptr)
        return {};
    switch (c->type) {
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return ByteArray(c->bytes, c->bytes + c->length);
    case SQLITE_INTEGER: {
        char buffer[24];
        return ByteArray(buffer, buffer + integerText(c->integer, buffer));
    }
    case SQLITE_FLOAT:
        if (convert(*c)) {
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
    const Cell* c = cell(row, column);
    if (c == nullptr)
        return 0;
    switch (c->type) {
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return static_cast<int>(c->length);
    case SQLITE_INTEGER: {
        char buffer[24];
        return static_cast<int>(integerText(c->integer, buffer));
    }
    case SQLITE_FLOAT:
        return convert(*c) ? sqlite3_column_bytes(converter_, 0) : 0;
    default:
        return 0;
    }
}
