#pragma once

#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

// One stored question, GBK texts as the program sees them.
struct StoredQuestion {
    std::string id;
    std::string title;
    std::string options;
    std::string answer;
    std::string did;
    bool operator==(const StoredQuestion&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const StoredQuestion& q)
{
    return out << "{" << q.id << ", " << platform::gbkToUtf8(q.title) << ", " << platform::gbkToUtf8(q.options) << ", "
               << platform::gbkToUtf8(q.answer) << ", " << platform::gbkToUtf8(q.did) << "}";
}

// A question bank file KS_SJTK in a fresh temporary folder, opened through the
// application's connection and recordset. Rows are put in and read back
// straight through the C library, independent of the classes under test.
class TestBank {
public:
    TestBank()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bank-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder_ = pattern;
        path_ = (folder_ / "tk.db").string();
        run("CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)");
        connection.open(std::nullopt, std::nullopt, std::string(), path_, std::nullopt, DbKind::Sqlite);
        recordset.attach(connection);
    }
    ~TestBank()
    {
        connection.close();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TestBank(const TestBank&) = delete;
    TestBank& operator=(const TestBank&) = delete;

    const std::string& path() const { return path_; }

    // Runs UTF-8 SQL on the file; aborts the test program on failure.
    void run(const std::string& utf8Sql) const
    {
        sqlite3* db = open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        char* message = nullptr;
        if (sqlite3_exec(db, utf8Sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::fprintf(stderr, "%s\n", message ? message : "?");
            std::abort();
        }
        sqlite3_close(db);
    }

    // Stores a question (GBK texts) and returns its id.
    std::string insert(const std::string& title, const std::string& options, const std::string& answer,
                       const std::string& did) const
    {
        sqlite3* db = open(SQLITE_OPEN_READWRITE);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES (?, ?, ?, ?)", -1, &statement,
                           nullptr);
        int i = 1;
        for (const std::string& text : {title, options, answer, did}) {
            const std::string utf8 = platform::gbkToUtf8(text);
            sqlite3_bind_text(statement, i++, utf8.c_str(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(statement) != SQLITE_DONE)
            std::abort();
        sqlite3_finalize(statement);
        const std::string id = std::to_string(sqlite3_last_insert_rowid(db));
        sqlite3_close(db);
        return id;
    }

    // Every row in id order.
    std::vector<StoredQuestion> rows() const
    {
        sqlite3* db = open(SQLITE_OPEN_READONLY);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, Title, Tmnr, Answer, did FROM KS_SJTK ORDER BY id", -1, &statement, nullptr);
        std::vector<StoredQuestion> out;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            auto column = [&](int i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                return platform::utf8ToGbk(text ? text : "");
            };
            out.push_back({column(0), column(1), column(2), column(3), column(4)});
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return out;
    }

    StoredQuestion row(const std::string& id) const
    {
        for (const StoredQuestion& q : rows()) {
            if (q.id == id)
                return q;
        }
        return {};
    }

    BackendRegistry registry;
    DbConnection connection;
    DbRecordset recordset;

private:
    sqlite3* open(int flags) const
    {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path_.c_str(), &db, flags, nullptr) != SQLITE_OK)
            std::abort();
        return db;
    }

    std::filesystem::path folder_;
    std::string path_;
};
