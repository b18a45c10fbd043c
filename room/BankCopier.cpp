#include "room/BankCopier.h"

#include "db/Dialect.h"
#include "db/mysql/MysqlConnection.h"
#include "db/mysql/MysqlRecordset.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteRecordset.h"
#include "room/ResultsOutbox.h"
#include "room/RoomServer.h"

#include <array>
#include <optional>
#include <vector>

namespace {

constexpr std::array<const char*, 5> columns = {"id", "Title", "Tmnr", "Answer", "did"};
// The texts alone cannot tell NULL from empty, so the query says which is which.
constexpr char readQuery[] = "SELECT id, Title, Tmnr, Answer, did, id IS NULL AS n0, Title IS NULL AS n1, "
                             "Tmnr IS NULL AS n2, Answer IS NULL AS n3, did IS NULL AS n4 FROM KS_SJTK ORDER BY id";
// Rows per INSERT on the way out: fewer round trips to the server.
constexpr std::size_t rowsPerStatement = 200;

using Row = std::array<std::optional<std::string>, columns.size()>;

template <typename Recordset> std::vector<Row> readRows(Recordset& rows, std::int64_t count)
{
    std::vector<Row> out;
    for (std::int64_t r = 0; r < count; ++r, rows.moveNext()) {
        Row row;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            std::string isNull, text;
            rows.readText("n" + std::to_string(c), isNull);
            rows.readText(columns[c], text);
            if (isNull != "1")
                row[c] = std::move(text);
        }
        out.push_back(std::move(row));
    }
    return out;
}

std::vector<std::string> insertStatements(const std::vector<Row>& rows)
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
        for (std::size_t c = 0; c < columns.size(); ++c)
            statement += (c ? "," : "") + (rows[r][c] ? Dialect::literal(*rows[r][c]) : std::string("NULL"));
        statement += ")";
    }
    if (!statement.empty())
        statements.push_back(std::move(statement));
    return statements;
}

// Replaces the table on the destination and fills it in one transaction.
template <typename Connection>
bool writeRows(Connection& connection, DbKind kind, const std::vector<Row>& rows, std::string& error)
{
    bool ok = connection.execute("DROP TABLE IF EXISTS KS_SJTK") &&
              connection.execute(Dialect::createBankTable(kind)) && connection.beginTransaction();
    if (ok) {
        for (const std::string& statement : insertStatements(rows)) {
            if (!(ok = connection.execute(statement)))
                break;
        }
    }
    if (ok && connection.commit())
        return true;
    error = connection.lastErrorText();
    connection.rollback();
    return false;
}

} // namespace

bool BankCopier::toServer(const std::string& bankPath, const RoomConfig& server)
{
    copiedRows_ = 0;
    SqliteConnection bank;
    if (!bank.open(bankPath, true, std::nullopt, 0)) {
        lastErrorText_ = bank.lastErrorText();
        bank.close();
        return false;
    }
    SqliteRecordset source;
    source.attach(bank);
    if (!source.open(readQuery)) {
        lastErrorText_ = bank.lastErrorText();
        bank.close();
        return false;
    }
    const std::vector<Row> rows = readRows(source, source.recordCount());
    source.close();
    bank.close();

    MysqlConnection connection;
    if (!RoomServer::connect(connection, server, lastErrorText_))
        return false;
    // The loading account may create tables, the room's accounts may not: the
    // results tables are made here, ready for the first attempt.
    const bool ok = writeRows(connection, DbKind::Mysql, rows, lastErrorText_) &&
                    ResultsOutbox::prepareServer(server, lastErrorText_);
    connection.close();
    copiedRows_ = ok ? static_cast<int>(rows.size()) : 0;
    return ok;
}

bool BankCopier::fromServer(const RoomConfig& server, const std::string& bankPath)
{
    copiedRows_ = 0;
    MysqlConnection connection;
    if (!RoomServer::connect(connection, server, lastErrorText_))
        return false;
    MysqlRecordset source;
    source.attach(connection);
    if (!source.open(readQuery)) {
        lastErrorText_ = connection.lastErrorText();
        connection.close();
        return false;
    }
    const std::vector<Row> rows = readRows(source, source.recordCount());
    source.close();
    connection.close();

    SqliteConnection bank;
    if (!bank.open(bankPath, true, std::nullopt, 1)) {
        lastErrorText_ = bank.lastErrorText();
        bank.close();
        return false;
    }
    const bool ok = writeRows(bank, DbKind::Sqlite, rows, lastErrorText_);
    bank.close();
    copiedRows_ = ok ? static_cast<int>(rows.size()) : 0;
    return ok;
}
