#pragma once

#include "app/Application.h"
#include "db/mysql/MysqlConnection.h"
#include "db/mysql/MysqlRecordset.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"
#include "room/RoomConfig.h"
#include "tests/db/mysql/MysqlTestServer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// One question row, GBK texts; nullopt is NULL.
struct RoomRow {
    std::string id;
    std::optional<std::string> title, options, answer, did;
    bool operator==(const RoomRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const RoomRow& r)
{
    auto show = [](const std::optional<std::string>& t) { return t ? platform::gbkToUtf8(*t) : std::string("NULL"); };
    return out << "{" << r.id << "," << show(r.title) << "," << show(r.options) << "," << show(r.answer) << ","
               << show(r.did) << "}";
}

// A database of its own on the shared private server and a run folder whose
// i.ini points the program at it. Rows are put in and read back through the C
// libraries, apart from the classes under test.
class RoomTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        const MysqlTestServer& server = MysqlTestServer::shared();
        ASSERT_TRUE(server.connect(admin)) << admin.lastErrorText();
        config.kind = DbKind::Mysql;
        config.host = server.host;
        config.port = server.port;
        config.user = server.user;
        config.database = "room" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        ASSERT_TRUE(admin.createDatabase(config.database + " character set gbk")) << admin.lastErrorText();
        std::string pattern = (std::filesystem::temp_directory_path() / "room-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override
    {
        app.reset();
        platform::Gui::closeAllWindows();
        for (const std::string& account : accounts_)
            admin.execute("DROP USER IF EXISTS " + account);
        admin.dropDatabase(config.database);
        admin.close();
        std::filesystem::remove_all(folder);
    }

    std::string file(const std::string& name) const { return (std::filesystem::path(folder) / name).string(); }

    std::string profileText() const { return profileText(config); }
    static std::string profileText(const RoomConfig& account)
    {
        std::string text = "[db]\nkind=mysql\nhost=" + account.host + "\nport=" + std::to_string(account.port) +
                           "\nname=" + account.database + "\nuser=" + account.user + "\n";
        if (!account.password.empty())
            text += "password=" + account.password + "\n";
        return text;
    }
    void writeProfile() const { writeProfile(config); }
    void writeProfile(const RoomConfig& account) const
    {
        std::ofstream(file("i.ini"), std::ios::binary) << profileText(account);
    }

    // The accounts the README tells a room's administrator to make, with
    // exactly its grants: the PCs' may change rows only, the loading account
    // also replaces tables. Made on first use, dropped after the test.
    RoomConfig pcAccount() { return account("pc", "SELECT, INSERT, UPDATE, DELETE"); }
    RoomConfig loadAccount() { return account("load", "SELECT, INSERT, UPDATE, DELETE, CREATE, DROP, INDEX"); }

    // A bank file holding `rows` (ids as given).
    void makeBankFile(const std::string& path, const std::vector<RoomRow>& rows) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO KS_SJTK VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
        for (const RoomRow& r : rows) {
            sqlite3_bind_int64(insert, 1, std::stoll(r.id));
            int i = 2;
            for (const auto& text : {r.title, r.options, r.answer, r.did}) {
                if (text)
                    sqlite3_bind_text(insert, i, platform::gbkToUtf8(*text).c_str(), -1, SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(insert, i);
                ++i;
            }
            ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }

    static std::vector<RoomRow> fileRows(const std::string& path)
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, Title, Tmnr, Answer, did FROM KS_SJTK ORDER BY id", -1, &select, nullptr);
        std::vector<RoomRow> rows;
        while (select && sqlite3_step(select) == SQLITE_ROW) {
            auto text = [&](int i) -> std::optional<std::string> {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(select, i));
                return p ? std::optional(platform::utf8ToGbk(p)) : std::nullopt;
            };
            rows.push_back({*text(0), text(1), text(2), text(3), text(4)});
        }
        sqlite3_finalize(select);
        sqlite3_close(db);
        return rows;
    }

    std::vector<RoomRow> serverRows()
    {
        std::vector<RoomRow> rows;
        MysqlRecordset select;
        select.attach(admin);
        if (!select.open("SELECT id, Title, Tmnr, Answer, did, Title IS NULL AS nTitle, Tmnr IS NULL AS nTmnr, "
                         "Answer IS NULL AS nAnswer, did IS NULL AS ndid FROM " +
                         config.database + ".KS_SJTK ORDER BY id"))
            return rows;
        for (std::int64_t r = 0; r < select.recordCount(); ++r, select.moveNext()) {
            auto text = [&](const std::string& name) -> std::optional<std::string> {
                std::string out;
                if (select.readText("n" + name, out) && out == "1")
                    return std::nullopt;
                select.readText(name, out);
                return out;
            };
            rows.push_back({*text("id"), text("Title"), text("Tmnr"), text("Answer"), text("did")});
        }
        select.close();
        return rows;
    }

    // `count` plain four-option questions keyed 1..count, answers A to D in turn.
    static std::vector<RoomRow> plainRows(int count)
    {
        std::vector<RoomRow> rows;
        for (int n = 1; n <= count; ++n) {
            const std::string k = std::to_string(n);
            rows.push_back({k, GBK("题目") + k, "a" + k + "|b" + k + "|c" + k + "|d" + k + "|",
                            std::string(1, static_cast<char>('A' + (n - 1) % 4)), "4"});
        }
        return rows;
    }

    void startApp()
    {
        app = std::make_unique<Application>(Application::Options{.runDirectory = folder});
        app->start();
    }

    RoomConfig account(const std::string& role, const std::string& grants)
    {
        RoomConfig granted = config;
        granted.user = role + "_" + config.database;
        granted.password = role + "-secret";
        // Over TCP without name resolution the client is 127.0.0.1; over the
        // socket it is localhost.
        for (const char* host : {"127.0.0.1", "localhost"}) {
            const std::string account = "'" + granted.user + "'@'" + host + "'";
            if (std::find(accounts_.begin(), accounts_.end(), account) != accounts_.end())
                continue;
            EXPECT_TRUE(admin.execute("CREATE USER " + account + " IDENTIFIED BY '" + granted.password + "'"))
                << admin.lastErrorText();
            EXPECT_TRUE(admin.execute("GRANT " + grants + " ON " + config.database + ".* TO " + account))
                << admin.lastErrorText();
            accounts_.push_back(account);
        }
        return granted;
    }

    std::vector<std::string> accounts_;
    RoomConfig config;
    MysqlConnection admin;
    std::string folder;
    platform::GuiDriver driver;
    std::unique_ptr<Application> app;
};
