// Walking a large MySQL result through the recordset facade, against the plain
// client-library loop, on a private MariaDB server started for the run.

#include "bench/Comparison.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbKind.h"
#include "db/DbRecordset.h"

#include <mysql.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int rowCount = 100000;
constexpr int columnCount = 5;

ComparisonResult notRun(const std::string& note)
{
    ComparisonResult result;
    result.ok = false;
    result.note = note;
    return result;
}

// The tests' server script, found from this file's place in the source tree.
std::string serverScript()
{
    return MOCKEXAM_SERVER_SCRIPT;
}

// A private server for the length of one comparison; stopped when it goes out
// of scope, and by the script's watcher should this process die first.
class PrivateServer {
public:
    // The state file goes to a folder of its own: the shared work folder may
    // be emptied by another benchmark run meanwhile.
    PrivateServer()
    {
        std::string folder = (std::filesystem::temp_directory_path() / "mockexam-mysql-bench-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            return;
        folder_ = folder;
        stateFile_ = folder_ + "/server.state";
        const std::string command =
            "'" + serverScript() + "' start '" + stateFile_ + "' " + std::to_string(getpid()) + " >/dev/null";
        if (std::system(command.c_str()) != 0)
            return;
        std::ifstream in(stateFile_);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("SOCKET=", 0) == 0)
                socket_ = line.substr(7);
        }
    }
    ~PrivateServer()
    {
        if (stateFile_.empty())
            return;
        const std::string command = "'" + serverScript() + "' stop '" + stateFile_ + "' >/dev/null 2>&1";
        [[maybe_unused]] int rc = std::system(command.c_str());
        if (!folder_.empty())
            std::filesystem::remove_all(folder_);
    }
    bool running() const { return !socket_.empty(); }
    const std::string& socket() const { return socket_; }

private:
    std::string folder_;
    std::string stateFile_;
    std::string socket_;
};

// A question table of rowCount rows, in batches of 1000 rows a statement.
bool fillBank(MYSQL* mysql)
{
    if (mysql_query(mysql, "CREATE DATABASE bench CHARACTER SET gbk") != 0 || mysql_query(mysql, "USE bench") != 0 ||
        mysql_query(mysql, "CREATE TABLE KS_SJTK (id int PRIMARY KEY, Title varchar(200), Tmnr varchar(400), "
                           "Answer varchar(4), did varchar(4))") != 0)
        return false;
    const std::string title = "\xC4\xA3\xC4\xE2\xBF\xBC\xCA\xD4\xCC\xE2\xC4\xBF "; // GBK "模拟考试题目 "
    for (int first = 0; first < rowCount; first += 1000) {
        std::string sql = "INSERT INTO KS_SJTK VALUES ";
        for (int id = first; id < first + 1000; ++id) {
            if (id > first)
                sql += ',';
            const std::string n = std::to_string(id);
            sql += "(" + n + ",'" + title + n + "','A " + n + "|B " + n + "|C " + n + "|D " + n + "|','" +
                   std::string(1, static_cast<char>('A' + id % 4)) + "','4')";
        }
        if (mysql_real_query(mysql, sql.data(), sql.size()) != 0)
            return false;
    }
    return true;
}

ComparisonResult walkAll(const std::string&)
{
    PrivateServer server;
    if (!server.running())
        return notRun("the private MariaDB server did not start");

    // The facade always asks for port 3306, so both sides reach the private
    // server as "localhost" through its socket, made the client library's
    // default before its first use in this process.
    setenv("MYSQL_UNIX_PORT", server.socket().c_str(), 1);
    MYSQL* raw = mysql_init(nullptr);
    if (!mysql_real_connect(raw, "localhost", "root", "", "", 0, nullptr, 0) ||
        mysql_set_character_set(raw, "GBK") != 0 || !fillBank(raw)) {
        ComparisonResult failed = notRun(std::string("cannot fill the table: ") + mysql_error(raw));
        mysql_close(raw);
        return failed;
    }

    BackendRegistry registry;
    DbConnection connection;
    if (!connection.open(std::string("localhost"), std::string("root"), std::string(), "bench", std::nullopt,
                         DbKind::Mysql)) {
        mysql_close(raw);
        return notRun("the facade cannot connect: " + connection.lastErrorText());
    }
    // In turns: the server shares the machine with the walk.
    ComparisonResult result;
    long long oursCells = 0;
    const auto ours = [&] {
        DbRecordset recordset;
        recordset.attach(connection);
        recordset.open("SELECT * FROM KS_SJTK");
        std::vector<std::string> names;
        for (int i = 0; i < recordset.fieldCount(); ++i)
            names.push_back(recordset.fieldName(i));
        std::string text;
        oursCells = 0;
        for (bool onRow = recordset.moveFirst(); onRow; onRow = recordset.moveNext()) {
            for (const std::string& name : names) {
                recordset.readText(name, text);
                ++oursCells;
            }
        }
        recordset.close();
    };
    long long rawCells = 0;
    const auto walkRaw = [&] {
        const char sql[] = "SELECT * FROM KS_SJTK";
        mysql_real_query(raw, sql, sizeof sql - 1);
        MYSQL_RES* stored = mysql_store_result(raw);
        const unsigned int fields = stored ? mysql_num_fields(stored) : 0;
        std::string text;
        rawCells = 0;
        while (MYSQL_ROW row = stored ? mysql_fetch_row(stored) : nullptr) {
            for (unsigned int i = 0; i < fields; ++i) {
                text.assign(row[i] ? row[i] : "");
                ++rawCells;
            }
        }
        mysql_free_result(stored);
    };
    timeInTurns(ours, walkRaw, 5, result);
    connection.close();
    mysql_close(raw);
    if (oursCells != rowCount * columnCount || rawCells != rowCount * columnCount)
        return notRun("the walks did not read 500,000 fields");
    return result;
}

ComparisonRegistrar walk100k("mysql-walk-100k", walkAll);

} // namespace
