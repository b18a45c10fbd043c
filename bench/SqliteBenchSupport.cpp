#include "bench/SqliteBenchSupport.h"

#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace {

int countRows(const std::string& path)
{
    sqlite3* db = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM KS_SJTK", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            rows = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

} // namespace

std::string sqliteBenchBank(const std::string& workDir, int rows)
{
    const std::string path = (std::filesystem::path(workDir) / ("bank-" + std::to_string(rows) + ".db")).string();
    if (std::filesystem::exists(path) && countRows(path) == rows)
        return path;
    std::filesystem::remove(path);

    // Questions shaped like the real bank: a Chinese title, four options each
    // closed by "|", one answer letter and the option count as text.
    const std::string sql =
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
        "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title, Tmnr, Answer, did);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(rows) +
        ") INSERT INTO KS_SJTK SELECT i, "
        "'第' || i || '题：下列关于计算机网络与信息安全的说法中，正确的是哪一项？', "
        "'选项甲：传输控制协议提供可靠的字节流服务' || (i % 7) || '|选项乙：用户数据报协议保证按序到达|"
        "选项丙：网际协议负责端到端的差错重传|选项丁：以上说法都不正确' || (i % 3) || '|', "
        "char(65 + i % 4), '4' FROM n;"
        "COMMIT;";
    // Built by a process of its own, so the comparison that needs it first
    // starts from the same heap as one that finds it built.
    const pid_t builder = ::fork();
    if (builder == 0) {
        sqlite3* db = nullptr;
        const bool built =
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        ::_exit(built ? 0 : 1);
    }
    int status = 1;
    const bool ok =
        builder > 0 && ::waitpid(builder, &status, 0) == builder && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
        std::filesystem::remove(path);
        return {};
    }
    return path;
}
