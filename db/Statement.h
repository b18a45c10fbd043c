#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class DatabaseCore;
struct sqlite3;
struct sqlite3_stmt;
typedef struct st_mysql_res MYSQL_RES;
typedef char** MYSQL_ROW;
struct MariadbFunctions;

// One statement of a Database with "?" parameters, numbered from 1; columns
// are numbered from 0. Texts are GBK unless the name says UTF-8.
//
// On SQLite it is a prepared statement: texts cross to UTF-8 here. On the
// server each parameter becomes a literal pasted into the text when it runs
// (Dialect::literal, blobs as X'..'), so a statement survives a reconnect.
// Parameters left unbound are NULL; bindings stay until rebound, across runs.
// A text holding a NUL byte, or a GBK text that is not valid GBK, is refused:
// the binding fails and so does every run until that parameter is bound again.
// Failures answer false with the reason in the Database's lastErrorText.
//
// A statement may outlive its Database: it then fails, as after
// Database::close.
class Statement {
public:
    // A statement that failed to prepare: every call fails.
    Statement() = default;
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // False when the text did not prepare.
    bool isValid() const { return core_ != nullptr; }

    bool bind(int index, std::string_view gbkText);
    bool bind(int index, long long value);
    bool bindNull(int index);
    bool bindBlob(int index, std::string_view bytes);
    // UTF-8 text: handed to SQLite as it is, converted to GBK for the server.
    bool bindUtf8(int index, std::string_view utf8Text);

    // Runs the statement to its end, its rows read and dropped; then it is
    // ready to run again with the same bindings.
    bool run();
    // Runs the statement on the first call and moves to the next row on each
    // further one: true while a row is ready. After false, failed() tells an
    // error from the end of the rows; further calls stay false until reset().
    bool step();
    bool failed() const { return state_ == State::Failed || core_ == nullptr; }
    // Makes the statement ready to run again; bindings stay.
    void reset();

    // On the server, known once the first step() ran.
    int columnCount() const;
    std::string columnName(int column) const;
    // The first column of exactly that name; -1 when there is none.
    int columnIndex(std::string_view name) const;
    // The current row's cells; NULL, or no current row, reads as "" and 0.
    bool isNull(int column) const;
    std::string text(int column) const;
    std::string utf8(int column) const;
    long long integer(int column) const;
    std::string blob(int column) const;

private:
    friend class Database;
    enum class State { Ready, Row, Done, Failed };

    Statement(std::shared_ptr<DatabaseCore> core, std::string_view sql);
    bool prepareSqlite(std::string_view sql);
    void prepareMysql(std::string_view sql);
    bool isSqlite() const { return sqlite_ != nullptr; }
    bool checkParameter(int index);
    bool refuse(int index, const std::string& reason);
    void accept(int index);
    bool bindSqliteText(int index, std::string_view utf8);
    bool bindMysqlLiteral(int index, std::string literal);
    bool refusedBinding();
    bool usable();
    std::string mysqlText() const;
    bool runSqlite();
    bool stepSqlite();
    bool stepMysql();
    bool onRow() const { return state_ == State::Row; }
    std::string_view sqliteText(int column) const;
    // The server's cell as bytes; null for NULL.
    const char* mysqlCell(int column, unsigned long& length) const;
    void release();

    std::shared_ptr<DatabaseCore> core_;
    State state_ = State::Ready;
    // Indices whose latest binding was refused.
    std::vector<int> refused_;

    // SQLite: the statement, on the handle it was prepared on (kept alive for
    // it), and the bytes bound to each text or blob parameter.
    std::shared_ptr<sqlite3> ownedHandle_;
    sqlite3* handle_ = nullptr;
    sqlite3_stmt* sqlite_ = nullptr;
    std::vector<std::string> bound_;

    // The server: the text around the "?" and each parameter's literal.
    std::vector<std::string> pieces_;
    std::vector<std::string> literals_;
    std::shared_ptr<MYSQL_RES> result_;
    const MariadbFunctions* mysqlApi_ = nullptr; // the library result_ came from
    MYSQL_ROW row_ = nullptr;
    unsigned long* lengths_ = nullptr;
};
