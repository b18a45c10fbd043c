#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// A fresh folder under the system temp folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sqlite-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Runs SQL on a database file straight through the C library, independent of
// the classes under test. Returns false (and the message in `error`) on failure.
inline bool runDirect(const std::string& utf8Path, const std::string& utf8Sql, std::string* error = nullptr)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(utf8Path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, utf8Sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK && error)
        *error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

// The first column of the first row of a query, as UTF-8 text ("" when none).
inline std::string queryDirect(const std::string& utf8Path, const std::string& utf8Sql)
{
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(utf8Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, utf8Sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            out.assign(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return out;
}

// A question bank table with `rows` questions whose id runs from 1.
inline bool makeBank(const std::string& utf8Path, int rows)
{
    std::string sql = "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title, Tmnr, Answer, did);"
                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                      std::to_string(rows) +
                      ") INSERT INTO KS_SJTK SELECT i, '题目' || i, '甲|乙|丙|丁|', 'A', '4' FROM n;";
    return runDirect(utf8Path, sql);
}

// Output of the sqlite3 command-line program on a database file.
inline std::string sqliteCli(const std::string& utf8Path, const std::string& command)
{
    std::string line = "sqlite3 '" + utf8Path + "' '" + command + "' 2>&1";
    std::string out;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// The sqlite3 command-line program in another process, holding a transaction
// begun with `beginSql` (say "BEGIN IMMEDIATE") on a database until destroyed.
class LockHolder {
public:
    LockHolder(const std::string& utf8Path, const std::string& beginSql)
    {
        signal(SIGPIPE, SIG_IGN);
        int input[2], output[2];
        if (pipe(input) != 0 || pipe(output) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(input[0], 0);
            dup2(output[1], 1);
            dup2(output[1], 2);
            close(input[1]);
            close(output[0]);
            execlp("sqlite3", "sqlite3", utf8Path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(input[0]);
        close(output[1]);
        toChild_ = input[1];
        fromChild_ = output[0];
        send(beginSql + ";\nSELECT 'lock' || 'held';\n");
        // The marker comes back only once the transaction holds its lock.
        std::string seen;
        char buffer[256];
        ssize_t n;
        while (seen.find("lockheld") == std::string::npos && (n = read(fromChild_, buffer, sizeof buffer)) > 0)
            seen.append(buffer, static_cast<std::size_t>(n));
        held_ = seen.find("lockheld") != std::string::npos && seen.find("Error") == std::string::npos;
    }
    ~LockHolder()
    {
        if (pid_ <= 0)
            return;
        send("ROLLBACK;\n.quit\n");
        close(toChild_);
        close(fromChild_);
        waitpid(pid_, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool held() const { return held_; }

private:
    void send(const std::string& text)
    {
        if (write(toChild_, text.data(), text.size()) < 0)
            held_ = false;
    }

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool held_ = false;
};

// The statement texts a database handle runs, as SQLite received them (UTF-8),
// from construction to destruction. Statements inside triggers are left out.
class StatementLog {
public:
    explicit StatementLog(sqlite3* db) : db_(db)
    {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementLog::record, this);
    }
    ~StatementLog() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    const std::vector<std::string>& statements() const { return statements_; }
    std::string last() const { return statements_.empty() ? std::string() : statements_.back(); }
    void clear() { statements_.clear(); }

private:
    static int record(unsigned, void* self, void*, void* text)
    {
        const std::string sql = static_cast<const char*>(text);
        if (sql.rfind("--", 0) != 0)
            static_cast<StatementLog*>(self)->statements_.push_back(sql);
        return 0;
    }

    sqlite3* db_;
    std::vector<std::string> statements_;
};
