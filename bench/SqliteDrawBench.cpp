// Drawing a paper, as the start window does it, through the recordset facade.

#include "bench/Comparison.h"
#include "bench/SqliteBenchBank.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"

#include <sqlite3.h>

#include <array>

namespace {

const std::string drawSql = "SELECT * FROM KS_SJTK  ORDER BY RANDOM() limit 100";
const std::array<std::string, 5> fields{"id", "Title", "Tmnr", "Answer", "did"};

ComparisonResult drawComparison(const std::string& workDir, int bankRows)
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
    std::size_t oursBytes = 0;
    int oursRows = 0;
    result.oursMs = timeMs([&] {
        DbRecordset recordset;
        recordset.attach(connection);
        recordset.open(drawSql);
        const int rows = recordset.recordCount();
        std::string text;
        for (int row = 0; row < rows; ++row) {
            for (const std::string& field : fields) {
                recordset.readText(field, text);
                oursBytes += text.size();
            }
            recordset.moveNext();
        }
        oursRows = rows;
        recordset.close();
    });
    connection.close();

    sqlite3* db = nullptr;
    sqlite3_open_v2(bank.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    int rawRows = 0;
    std::size_t rawBytes = 0;
    result.rawMs = timeMs([&] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, drawSql.c_str(), -1, &statement, nullptr);
        rawRows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < 5; ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                std::string copy(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
                rawBytes += copy.size();
            }
            ++rawRows;
        }
        sqlite3_finalize(statement);
    });
    sqlite3_close(db);

    if (oursRows != 100 || rawRows != 100) {
        result.ok = false;
        result.note = "the draw did not give 100 questions";
    }
    return result;
}

ComparisonRegistrar draw10k("draw-10k", [](const std::string& workDir) { return drawComparison(workDir, 10000); });
ComparisonRegistrar draw1m("draw-1m", [](const std::string& workDir) { return drawComparison(workDir, 1000000); });

} // namespace
