#pragma once

#include "room/RoomConfig.h"

#include <string>

class MysqlConnection;

// Connections to the room's server, all made with RoomConfig::connectOptions.
class RoomServer {
public:
    static constexpr unsigned connectSeconds = RoomConfig::connectSeconds;
    static constexpr unsigned transferSeconds = RoomConfig::transferSeconds;

    // Connects `connection` (closing what it held), for work that drives a
    // bare connection; it does not reconnect. False with the reason in
    // `error`; `connection` then holds no handle. sessionSetup false leaves
    // the server's own literal rules, for callers that escape backslashes
    // themselves.
    static bool connect(MysqlConnection& connection, const RoomConfig& config, std::string& error,
                        bool sessionSetup = true);

    // Makes the server the database every DbConnection and DbRecordset of the
    // process works on (statements through them reconnect once after the
    // server went away) and checks that its question table can be read.
    // False with what the start window tells the room's staff in `message`:
    // a bad port in i.ini, a server that does not answer, an account or
    // password it refuses, a database it does not have, a missing question
    // table, or anything else with the server's own words.
    static bool openBank(const RoomConfig& config, std::string& message);

    // The start-up message for a server that does not answer.
    static std::string unreachableMessage(const RoomConfig& config);
};
