// Importing 100,000 questions from a CSV file into the bank (read, check
// every row, copy the bank aside, write in one transaction) against the
// SQLite C interface inserting the same rows, already prepared, in one
// transaction.

#include "bench/Comparison.h"
#include "bench/SqliteBenchSupport.h"
#include "db/Database.h"
#include "exchange/BankImporter.h"
#include "exchange/CsvFormat.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int questionCount = 100000;

struct Row {
    std::string title, tmnr, answer, did;
};

sqlite3* emptyBank(const std::string& path)
{
    std::filesystem::remove(path);
    for (const auto& copy : BankBackup::copies(path))
        std::filesystem::remove(copy);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)",
                 nullptr, nullptr, nullptr);
    return db;
}

void rawInsert(const std::string& path, const std::vector<Row>& rows)
{
    sqlite3* db = emptyBank(path);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO KS_SJTK (Title, Tmnr, Answer,did) VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    for (const Row& r : rows) {
        int i = 0;
        for (const std::string* text : {&r.title, &r.tmnr, &r.answer, &r.did})
            sqlite3_bind_text(insert, ++i, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

ComparisonRegistrar import100k("import-100k", [](const std::string& workDir) {
    std::vector<BankQuestion> questions;
    std::vector<Row> rows;
    for (int i = 0; i < questionCount; ++i) {
        const std::string n = std::to_string(i);
        BankQuestion q{
            0, "第" + n + "题：下列说法中，哪一项是正确的（ ）？", {"甲" + n, "乙,丙", "丁\"戊\"", "己"}, "C"};
        rows.push_back(
            {q.title, q.options[0] + "|" + q.options[1] + "|" + q.options[2] + "|" + q.options[3] + "|", "C", "4"});
        questions.push_back(std::move(q));
    }
    const std::string csvPath = workDir + "/import-100k.csv";
    std::ofstream(csvPath, std::ios::binary) << CsvFormat::write(questions);
    const std::string oursPath = workDir + "/import-ours.db";
    const std::string rawPath = workDir + "/import-raw.db";

    ComparisonResult result;
    std::size_t imported = 0;
    timeInTurns(
        [&] {
            sqlite3_close(emptyBank(oursPath));
            Database bank;
            bank.open(ConnectOptions::sqlite(oursPath, false));
            imported = BankImporter(bank).run(csvPath, {}).imported;
        },
        [&] { rawInsert(rawPath, rows); }, 3, result);
    if (imported != questions.size()) {
        result.ok = false;
        result.note = "the import stored " + std::to_string(imported) + " questions";
    }
    return result;
});

} // namespace
