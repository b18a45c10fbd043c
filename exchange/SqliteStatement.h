#pragma once

#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when the object goes. Texts are UTF-8.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }
    // Binds the texts to the parameters 1.. and runs the statement to its end.
    bool runWith(std::initializer_list<std::string_view> texts);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    std::string_view text(int column) const;
    // -1 when the result has no such column.
    int columnIndex(std::string_view name) const;

    // The database's last error as program text (GBK).
    static std::string errorText(sqlite3* db);

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};
