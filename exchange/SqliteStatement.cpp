#include "exchange/SqliteStatement.h"

#include "platform/CodePage.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db)
{
    if (db != nullptr &&
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(statement_);
}

bool SqliteStatement::runWith(std::initializer_list<std::string_view> texts)
{
    if (statement_ == nullptr)
        return false;
    sqlite3_reset(statement_);
    int index = 0;
    for (std::string_view text : texts) {
        if (sqlite3_bind_text(statement_, ++index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC) !=
            SQLITE_OK)
            return false;
    }
    const int rc = sqlite3_step(statement_);
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    return rc == SQLITE_DONE;
}

int SqliteStatement::step()
{
    return statement_ == nullptr ? SQLITE_MISUSE : sqlite3_step(statement_);
}

std::string_view SqliteStatement::text(int column) const
{
    if (statement_ == nullptr || column < 0)
        return {};
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return bytes == nullptr
               ? std::string_view()
               : std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

int SqliteStatement::columnIndex(std::string_view name) const
{
    if (statement_ == nullptr)
        return -1;
    for (int i = 0; i < sqlite3_column_count(statement_); ++i) {
        if (name == sqlite3_column_name(statement_, i))
            return i;
    }
    return -1;
}

std::string SqliteStatement::errorText(sqlite3* db)
{
    return db == nullptr ? GBK("题库没有打开") : platform::utf8ToGbk(sqlite3_errmsg(db));
}
