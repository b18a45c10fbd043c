// room-60: answer writes of 60 simulated candidates at once on a private
// MariaDB server, against the same writes of one candidate alone. An answer
// write is its commit in the candidate's results database until the outbox has
// it on the server.
#include "Comparison.h"
#include "db/mysql/MysqlConnection.h"
#include "room/BankCopier.h"
#include "room/RoomLoad.h"
#include "room/RoomServer.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

constexpr int roomSize = 60;
// Ten times faster than a quick candidate.
constexpr int paceMs = 250;

std::string script()
{
    return MOCKEXAM_SERVER_SCRIPT;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * static_cast<double>(values.size())))];
}

// A server with the bank of 150 questions and the results tables, in its own database.
bool prepare(const RoomConfig& server, const std::string& folder, std::string& error)
{
    const std::string bank = folder + "/bank.db";
    sqlite3* db = nullptr;
    sqlite3_open(bank.c_str(), &db);
    std::string sql = "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT);";
    for (int n = 1; n <= 150; ++n)
        sql += "INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('q" + std::to_string(n) + "', 'a|b|c|d|', '" +
               std::string(1, static_cast<char>('A' + n % 4)) + "', '4');";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    BankCopier copier;
    if (!copier.toServer(bank, server)) {
        error = copier.lastErrorText();
        return false;
    }
    return true;
}

ComparisonResult roomSixty(const std::string& workDir)
{
    ComparisonResult result;
    const std::string folder = workDir + "/room-60";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/one");
    std::filesystem::create_directories(folder + "/all");
    const std::string state = folder + "/server.state";
    if (std::system(("'" + script() + "' start '" + state + "' " + std::to_string(getpid()) + " >/dev/null").c_str()) !=
        0) {
        result.ok = false;
        result.note = "the private MariaDB server did not start";
        return result;
    }
    std::map<std::string, std::string> values;
    std::ifstream in(state);
    for (std::string line; std::getline(in, line);)
        if (const auto eq = line.find('='); eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    RoomConfig server;
    server.kind = DbKind::Mysql;
    server.host = values["HOST"];
    server.port = std::atoi(values["PORT"].c_str());
    server.user = values["USER"];
    server.database = "mysql";

    std::string error;
    MysqlConnection admin;
    RoomLoad::Result one, all;
    if (!RoomServer::connect(admin, server, error) || !admin.execute("CREATE DATABASE room CHARACTER SET gbk")) {
        result.ok = false;
        result.note = "cannot create the database: " + error + admin.lastErrorText();
    } else {
        admin.close();
        server.database = "room";
        if (!prepare(server, folder, error)) {
            result.ok = false;
            result.note = error;
        } else {
            one = RoomLoad::run(server, 1, folder + "/one", paceMs);
            all = RoomLoad::run(server, roomSize, folder + "/all", paceMs);
            result.ok = one.ok && all.ok;
            result.note = one.error + all.error;
        }
    }
    std::system(("'" + script() + "' stop '" + state + "' >/dev/null 2>&1").c_str());
    result.oursMs = all.answerWriteMs;
    result.rawMs = one.answerWriteMs;
    char detail[256];
    std::snprintf(detail, sizeof detail,
                  "60 at once: median %.2f ms, p99 %.2f ms, %.0f answers/s; one alone: median %.2f ms, p99 %.2f ms, "
                  "%.0f answers/s; ratio of medians %.2f",
                  percentile(all.answerWriteMs, 0.5), percentile(all.answerWriteMs, 0.99),
                  all.seconds > 0 ? static_cast<double>(all.answerWriteMs.size()) / all.seconds : 0,
                  percentile(one.answerWriteMs, 0.5), percentile(one.answerWriteMs, 0.99),
                  one.seconds > 0 ? static_cast<double>(one.answerWriteMs.size()) / one.seconds : 0,
                  percentile(one.answerWriteMs, 0.5) > 0
                      ? percentile(all.answerWriteMs, 0.5) / percentile(one.answerWriteMs, 0.5)
                      : 0);
    result.detail = detail;
    std::filesystem::remove_all(folder);
    return result;
}

const ComparisonRegistrar registrar("room-60", &roomSixty);

} // namespace
