#include "room/BankCopier.h"

#include "db/Database.h"
#include "db/Dialect.h"
#include "room/ResultsOutbox.h"

#include <vector>

namespace {

constexpr char readQuery[] = "SELECT id, Title, Tmnr, Answer, did FROM KS_SJTK ORDER BY id";
// Rows per INSERT on the way out: fewer round trips to the server.
constexpr std::size_t rowsPerStatement = 200;

std::vector<std::string> insertStatements(const Database::Rows& rows)
{
    std::vector<std::string> statements;
    std::string statement;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r % rowsPerStatement == 0) {
            if (!statement.empty())
                statements.push_back(std::move(statement));
            statement = "INSERT INTO KS_SJTK (id, Title, Tmnr, Answer, did) VALUES ";
        } else {
            statement += ",";
        }
        statement += "(";
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            statement += (c ? "," : "") + (rows[r][c] ? Dialect::literal(*rows[r][c]) : std::string("NULL"));
        statement += ")";
    }
    if (!statement.empty())
        statements.push_back(std::move(statement));
    return statements;
}

// Replaces the table on the destination and fills it in one transaction.
bool writeRows(Database& destination, const Database::Rows& rows, std::string& error)
{
    bool ok = destination.execute("DROP TABLE IF EXISTS KS_SJTK") &&
              destination.execute(Dialect::createBankTable(destination.kind())) && destination.beginTransaction();
    if (ok) {
        for (const std::string& statement : insertStatements(rows)) {
            if (!(ok = destination.execute(statement)))
                break;
        }
    }
    if (ok && destination.commit())
        return true;
    error = destination.lastErrorText();
    destination.rollback();
    return false;
}

} // namespace

bool BankCopier::toServer(const std::string& bankPath, const RoomConfig& server)
{
    copiedRows_ = 0;
    Database::Rows rows;
    {
        Database bank;
        if (!bank.open(ConnectOptions::sqlite(bankPath, false)) || !bank.query(readQuery, rows)) {
            lastErrorText_ = bank.lastErrorText();
            return false;
        }
    }
    Database destination;
    if (!destination.open(server.connectOptions())) {
        lastErrorText_ = destination.lastErrorText();
        return false;
    }
    // The loading account may create tables, the room's accounts may not: the
    // results tables are made here, ready for the first attempt.
    const bool ok =
        writeRows(destination, rows, lastErrorText_) && ResultsOutbox::prepareServer(server, lastErrorText_);
    copiedRows_ = ok ? static_cast<int>(rows.size()) : 0;
    return ok;
}

bool BankCopier::fromServer(const RoomConfig& server, const std::string& bankPath)
{
    copiedRows_ = 0;
    Database::Rows rows;
    {
        Database source;
        if (!source.open(server.connectOptions()) || !source.query(readQuery, rows)) {
            lastErrorText_ = source.lastErrorText();
            return false;
        }
    }
    Database bank;
    if (!bank.open(ConnectOptions::sqlite(bankPath, true))) {
        lastErrorText_ = bank.lastErrorText();
        return false;
    }
    const bool ok = writeRows(bank, rows, lastErrorText_);
    copiedRows_ = ok ? static_cast<int>(rows.size()) : 0;
    return ok;
}
