// Walking large results through the SQLite recordset, forwards and backwards.

#include "bench/Comparison.h"
#include "bench/SqliteBenchSupport.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteRecordset.h"
#include "db/sqlite/SqliteText.h"

#include <sqlite3.h>

#include <cstdio>
#include <vector>

namespace {

ComparisonResult notRun(const std::string& note)
{
    ComparisonResult result;
    result.ok = false;
    result.note = note;
    return result;
}

// Bytes of every value of the bank: texts as SQLite holds them, numbers as 8 bytes.
double storedValueBytes(sqlite3* db)
{
    std::string sql = "SELECT total(0";
    for (const std::string column : {"id", "Title", "Tmnr", "Answer", "did"})
        sql += " + (CASE typeof(" + column + ") WHEN 'integer' THEN 8 WHEN 'real' THEN 8 ELSE length(CAST(" + column +
               " AS BLOB)) END)";
    sql += ") FROM KS_SJTK";
    sqlite3_stmt* statement = nullptr;
    double bytes = 0;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        bytes = sqlite3_column_double(statement, 0);
    sqlite3_finalize(statement);
    return bytes;
}

// Every field of every row, read as text by name, against the plain loop
// with the same conversion to GBK.
ComparisonResult walkAll(const std::string& workDir)
{
    const std::string bank = sqliteBenchBank(workDir, 1000000);
    SqliteConnection connection;
    if (bank.empty() || !connection.open(bank, true))
        return notRun("cannot open the question bank: " + connection.lastErrorText());

    long long oursCells = 0;
    long long rawCells = 0;
    double readBytes = 0;
    auto ours = [&] {
        SqliteRecordset recordset;
        recordset.attach(connection);
        recordset.open("SELECT * FROM KS_SJTK");
        std::vector<std::string> names;
        for (int i = 0; i < recordset.fieldCount(); ++i)
            names.push_back(recordset.fieldName(i));
        std::string text;
        oursCells = 0;
        readBytes = 0;
        for (bool onRow = recordset.moveFirst(); onRow; onRow = recordset.moveNext()) {
            for (const std::string& name : names) {
                recordset.readText(name, text);
                readBytes += static_cast<double>(text.size());
                ++oursCells;
            }
        }
        recordset.close();
    };
    auto raw = [&] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(connection.handle(), "SELECT * FROM KS_SJTK", -1, &statement, nullptr);
        const int columns = sqlite3_column_count(statement);
        std::string text;
        rawCells = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) {
                const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                text = fromUtf8(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
                ++rawCells;
            }
        }
        sqlite3_finalize(statement);
    };
    ComparisonResult result;
    timeInTurns(ours, raw, 5, result);
    const double valueBytes = storedValueBytes(connection.handle());
    connection.close();
    if (oursCells != 5000000 || rawCells != 5000000)
        return notRun("the walks did not read 5,000,000 fields");
    char detail[160];
    std::snprintf(detail, sizeof detail, "values %.1f MB as stored, %.1f MB of text as read", valueBytes / 1048576,
                  readBytes / 1048576);
    result.detail = detail;
    return result;
}

// The last row to the first, one field each, against the first to the last.
ComparisonResult walkBack(const std::string& workDir)
{
    const std::string bank = sqliteBenchBank(workDir, 1000000);
    SqliteConnection connection;
    if (bank.empty() || !connection.open(bank, true))
        return notRun("cannot open the question bank: " + connection.lastErrorText());
    const std::string sql = "SELECT * FROM KS_SJTK LIMIT 100000";

    int backRows = 0;
    int forwardRows = 0;
    auto backwards = [&] {
        SqliteRecordset recordset;
        recordset.attach(connection);
        recordset.open(sql);
        std::string text;
        backRows = 0;
        for (bool onRow = recordset.moveLast(); onRow; onRow = recordset.movePrevious()) {
            recordset.readText("Title", text);
            ++backRows;
        }
        recordset.close();
    };
    auto forwards = [&] {
        SqliteRecordset recordset;
        recordset.attach(connection);
        recordset.open(sql);
        std::string text;
        forwardRows = 0;
        for (bool onRow = recordset.moveFirst(); onRow; onRow = recordset.moveNext()) {
            recordset.readText("Title", text);
            ++forwardRows;
        }
        recordset.close();
    };
    ComparisonResult result;
    timeInTurns(backwards, forwards, 5, result);
    connection.close();
    if (backRows != 100000 || forwardRows != 100000)
        return notRun("the walks did not visit 100,000 rows");
    return result;
}

ComparisonRegistrar walk1m("walk-1m", walkAll);
ComparisonRegistrar walkBack100k("walk-back-100k", walkBack);

} // namespace
