#include "room/MysqlResultsConnection.h"

#include "db/mysql/MysqlRecordset.h"
#include "room/RoomServer.h"

MysqlResultsConnection::~MysqlResultsConnection()
{
    connection_.close();
}

bool MysqlResultsConnection::open(const RoomConfig& server)
{
    error_.clear();
    return RoomServer::connect(connection_, server, error_, false);
}

bool MysqlResultsConnection::execute(const std::string& sql)
{
    error_.clear();
    return connection_.execute(sql);
}

bool MysqlResultsConnection::query(const std::string& sql, Rows& rows)
{
    rows.clear();
    error_.clear();
    MysqlRecordset result;
    result.attach(connection_);
    if (!result.open(sql))
        return false;
    const int columns = result.fieldCount();
    for (std::int64_t r = 0; r < result.recordCount(); ++r, result.moveNext()) {
        std::vector<std::string> row(columns);
        for (int c = 0; c < columns; ++c)
            result.readText(result.fieldName(c), row[c]);
        rows.push_back(std::move(row));
    }
    result.close();
    return true;
}

std::string MysqlResultsConnection::lastErrorText() const
{
    return error_.empty() ? connection_.lastErrorText() : error_;
}
