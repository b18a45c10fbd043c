// Drawing a paper, as the start window does it, through the recordset facade.

#include "bench/Comparison.h"
#include "bench/SqliteBenchSupport.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"

#include <sqlite3.h>

#include <array>

namespace {

const std::string drawSql = "SELECT * FROM KS_SJTK  ORDER BY RANDOM() limit 100";
const std::array<std::string, 5> fields{"id", "Title", "Tmnr", "Answer", "did"};

ComparisonResult drawComparison(const std::string& workDir, int bankRows, int repeats)
{
    ComparisonResult result;
    const std::string bank = sqliteBenchBank(workDir, bankRows);
    if (bank.empty()) {
        result.ok = false;
        result.note = "cannot build the question bank";
        return result;
    }

    BackendRegistry registry;
    DbConnection connection;
    if (!connection.open(std::nullopt, std::nullopt, std::string(), bank, std::nullopt, DbKind::Sqlite)) {
        result.ok = false;
        result.note = "cannot open the question bank: " + connection.lastErrorText();
        return result;
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2(bank.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);

    int oursRows = 0;
    int rawRows = 0;
    std::size_t bytes = 0;
    auto ours = [&] {
        DbRecordset recordset;
        recordset.attach(connection);
        recordset.open(drawSql);
        oursRows = recordset.recordCount();
        std::string text;
        for (int row = 0; row < oursRows; ++row) {
            for (const std::string& field : fields) {
                recordset.readText(field, text);
                bytes += text.size();
            }
            recordset.moveNext();
        }
        recordset.close();
    };
    auto raw = [&] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, drawSql.c_str(), -1, &statement, nullptr);
        rawRows = 0;
        std::string text;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < 5; ++i) {
                text.assign(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
                bytes += text.size();
            }
            ++rawRows;
        }
        sqlite3_finalize(statement);
    };
    timeInTurns(ours, raw, repeats, result);
    sqlite3_close(db);
    connection.close();

    if (oursRows != 100 || rawRows != 100) {
        result.ok = false;
        result.note = "the draw did not give 100 questions";
    }
    return result;
}

ComparisonRegistrar draw10k("draw-10k", [](const std::string& workDir) { return drawComparison(workDir, 10000, 15); });
ComparisonRegistrar draw1m("draw-1m", [](const std::string& workDir) { return drawComparison(workDir, 1000000, 5); });

} // namespace
