#pragma once

#include "db/Database.h"
#include "exchange/ParsedBank.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

// A bank file in a folder of its own, opened for the importer and exporter;
// rows are changed and read back straight through the C library. Texts are UTF-8.
class ScratchBank {
public:
    using Row = std::tuple<std::string, std::string, std::string, std::string>; // Title, Tmnr, Answer, did

    ScratchBank()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "exchange-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder = pattern;
        path = (folder / "tk.db").string();
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ConnectOptions options = ConnectOptions::sqlite(path, false);
        options.busyTimeoutMs = 5000;
        if (!bank.open(options))
            std::abort();
    }
    ~ScratchBank()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // On a connection of its own, as another program would.
    void run(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    std::vector<Row> rows() const
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT Title, Tmnr, Answer, did FROM KS_SJTK ORDER BY id", -1, &s, nullptr);
        std::vector<Row> out;
        auto text = [s](int i) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
            return std::string(t ? t : "");
        };
        while (sqlite3_step(s) == SQLITE_ROW)
            out.emplace_back(text(0), text(1), text(2), text(3));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return out;
    }

    std::string file(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
    std::string path;
    Database bank;
};

inline void writeText(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readText(const std::string& path)
{
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}
