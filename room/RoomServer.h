#pragma once

#include "room/RoomConfig.h"

#include <string>

class MysqlConnection;

// Connections to the room's server. Each one gets short time limits, so an
// unreachable server costs seconds rather than the system's TCP time-out, and
// runs the session setup of Dialect before it is handed out.
class RoomServer {
public:
    static constexpr unsigned connectSeconds = 5;
    static constexpr unsigned transferSeconds = 10;

    // Connects `connection` (closing what it held). False with the reason in
    // `error`; `connection` then holds no handle. sessionSetup false leaves the
    // server's own literal rules, for callers that escape backslashes themselves.
    static bool connect(MysqlConnection& connection, const RoomConfig& config, std::string& error,
                        bool sessionSetup = true);

    // Makes the server the database every DbConnection and DbRecordset of the
    // process works on, and checks that its question table can be read.
    static bool openBank(const RoomConfig& config, std::string& error);

    // The start-up message for a server that could not be used.
    static std::string unreachableMessage(const RoomConfig& config);
};
