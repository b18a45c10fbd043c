#pragma once

#include "attempts/ResultsConnection.h"
#include "db/mysql/MysqlConnection.h"
#include "room/RoomConfig.h"

// The results store's view of the room's server, on a connection of its own.
// The store escapes backslashes itself on this kind, so the session keeps the
// server's literal rules.
class MysqlResultsConnection : public ResultsConnection {
public:
    MysqlResultsConnection() = default;
    ~MysqlResultsConnection() override;
    MysqlResultsConnection(const MysqlResultsConnection&) = delete;
    MysqlResultsConnection& operator=(const MysqlResultsConnection&) = delete;

    bool open(const RoomConfig& server);

    DbKind kind() const override { return DbKind::Mysql; }
    bool execute(const std::string& sql) override;
    bool query(const std::string& sql, Rows& rows) override;
    std::string lastErrorText() const override;

private:
    MysqlConnection connection_;
    std::string error_;
};
