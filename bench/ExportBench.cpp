// Exporting query results through the connection facade against a plain loop
// over the SQLite C interface that writes the same bytes with buffered stdio.

#include "bench/Comparison.h"
#include "bench/SqliteBenchSupport.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/sqlite/SqliteText.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

ComparisonResult notRun(const std::string& note)
{
    ComparisonResult result;
    result.ok = false;
    result.note = note;
    return result;
}

bool sameBytes(const std::string& a, const std::string& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb)
        return false;
    std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount() || !std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin()))
            return false;
        if (fa.gcount() == 0)
            return true;
    }
}

struct StdioFile {
    explicit StdioFile(const std::string& path) : file(std::fopen(path.c_str(), "wb"))
    {
        if (file)
            std::setvbuf(file, nullptr, _IOFBF, 1 << 20);
    }
    ~StdioFile()
    {
        if (file)
            std::fclose(file);
    }
    void write(const void* data, std::size_t size) { std::fwrite(data, 1, size, file); }
    void write(const std::string& text) { write(text.data(), text.size()); }
    void words(std::initializer_list<std::uint16_t> ws)
    {
        unsigned char bytes[16];
        std::size_t n = 0;
        for (std::uint16_t w : ws) {
            bytes[n++] = static_cast<unsigned char>(w & 0xFF);
            bytes[n++] = static_cast<unsigned char>(w >> 8);
        }
        write(bytes, n);
    }
    std::FILE* file;
};

std::string columnText(sqlite3_stmt* statement, int column)
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return fromUtf8(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

void rawCsv(sqlite3* db, const std::string& sql, const std::string& path)
{
    StdioFile out(path);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            if (i > 0)
                out.write(" , ", 3);
            out.write(columnText(statement, i));
        }
        out.write("\r\n", 2);
    }
    sqlite3_finalize(statement);
}

void rawXls(sqlite3* db, const std::string& sql, const std::string& path)
{
    StdioFile out(path);
    auto cell = [&out](std::uint16_t row, std::uint16_t column, const std::string& text) {
        if (text.empty()) {
            out.words({0x0201, 6, row, column, 0x0017});
        } else {
            auto n = static_cast<std::uint16_t>(text.size());
            out.words({0x0204, static_cast<std::uint16_t>(8 + n), row, column, 0, n});
            out.write(text);
        }
    };
    out.words({0x0809, 8, 0x0000, 0x0010, 0x0000, 0x0000});
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(statement, i);
        cell(0, static_cast<std::uint16_t>(i), fromUtf8(name, std::char_traits<char>::length(name)));
    }
    std::uint16_t row = 1;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i)
            cell(row, static_cast<std::uint16_t>(i), columnText(statement, i));
        ++row;
    }
    sqlite3_finalize(statement);
    out.words({0x000A, 0});
}

ComparisonResult compareExport(const std::string& workDir, int rows, const std::string& extension,
                               void (*raw)(sqlite3*, const std::string&, const std::string&))
{
    const std::string sql = "SELECT * FROM KS_SJTK";
    const std::string bank = sqliteBenchBank(workDir, rows);
    if (bank.empty())
        return notRun("cannot build the question bank");
    const std::string oursPath = (std::filesystem::path(workDir) / ("ours" + extension)).string();
    const std::string rawPath = (std::filesystem::path(workDir) / ("raw" + extension)).string();

    BackendRegistry registry;
    DbConnection connection;
    if (!connection.open(std::nullopt, std::nullopt, "", bank, std::nullopt, DbKind::Sqlite))
        return notRun("cannot open the question bank");
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(bank.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return notRun("cannot open the question bank");
    }

    bool exported = true;
    ComparisonResult result;
    timeInTurns([&] { exported = connection.exportQuery(sql, oursPath) && exported; }, [&] { raw(db, sql, rawPath); },
                3, result);
    sqlite3_close(db);
    connection.close();
    if (!exported)
        return notRun("the export failed");

    bool same = sameBytes(oursPath, rawPath);
    std::filesystem::remove(oursPath);
    std::filesystem::remove(rawPath);
    if (!same)
        return notRun("the two files differ");
    return result;
}

ComparisonRegistrar exportCsv1m("export-csv-1m", [](const std::string& workDir) {
    return compareExport(workDir, 1000000, ".csv", rawCsv);
});
ComparisonRegistrar exportXls60k("export-xls-60k", [](const std::string& workDir) {
    return compareExport(workDir, 60000, ".xls", rawXls);
});

} // namespace
