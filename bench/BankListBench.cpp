// Opening the bank management window on a large bank until its grid is filled.

#include "bank/BankWindow.h"
#include "bank/BankWindowLayout.h"
#include "bench/BenchApplication.h"
#include "bench/Comparison.h"
#include "bench/SqliteBenchSupport.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"

#include <QApplication>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

using platform::Gui;

namespace {

constexpr int bankRows = 100000;
constexpr int fieldsPerRow = 5;
constexpr int repeats = 5;

ComparisonResult notRun(const std::string& note)
{
    ComparisonResult result;
    result.ok = false;
    result.note = note;
    return result;
}

ComparisonResult listBank(const std::string& workDir)
{
    const std::string bank = sqliteBenchBank(workDir, bankRows);
    if (bank.empty())
        return notRun("cannot build the question bank");
    ensureBenchApplication();

    BackendRegistry registry;
    DbConnection connection;
    DbRecordset recordset;
    if (!connection.open(std::nullopt, std::nullopt, std::string(), bank, std::nullopt, DbKind::Sqlite) ||
        !recordset.attach(connection))
        return notRun("cannot open the question bank");
    platform::GuiDriver driver;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(bank.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return notRun("cannot open the question bank directly");
    }

    const std::string window = bankWindowLayout().id;
    const auto openWindow = [&] {
        Gui::openWindow(bankWindowLayout(), BankWindow::handlers(connection, recordset));
        // Lets the view take in the filled grid.
        Gui::processEvents();
    };
    long long rawCells = 0;
    const auto readRaw = [&] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM KS_SJTK  ", -1, &statement, nullptr);
        const int columns = sqlite3_column_count(statement);
        std::string text;
        rawCells = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                text.assign(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
                ++rawCells;
            }
        }
        sqlite3_finalize(statement);
    };

    // In turns, so that both sides meet the same load; closing the window is
    // left out of the time.
    ComparisonResult result;
    int gridRows = 0;
    for (int i = 0; i < repeats; ++i) {
        result.oursMs.push_back(timeMs(openWindow));
        gridRows = Gui::gridRowCount(window, "题库表");
        Gui::closeWindow(window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        result.rawMs.push_back(timeMs(readRaw));
    }
    sqlite3_close(db);
    connection.close();

    if (gridRows != bankRows + 1 || rawCells != static_cast<long long>(bankRows) * fieldsPerRow)
        return notRun("the listings did not take in every row");
    return result;
}

ComparisonRegistrar list100k("list-100k", listBank);

} // namespace
