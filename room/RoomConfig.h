#pragma once

#include "db/ConnectOptions.h"
#include "db/DbKind.h"

#include <optional>
#include <string>
#include <string_view>

// Where the bank lives, from the optional [db] section of i.ini:
//
//   [db]
//   kind=mysql            ; "mysql" or "mariadb" for a server, anything else: tk.db
//   host=192.168.1.10
//   port=3306
//   name=mockexam
//   user=mockexam
//   password=secret
//   charset=gbk
//
// Without the section, or with any other kind, the program keeps to tk.db.
class RoomConfig {
public:
    static constexpr char section[] = "db";
    // An unreachable server costs seconds rather than the system's TCP time-out.
    static constexpr unsigned connectSeconds = 5;
    static constexpr unsigned transferSeconds = 10;

    static RoomConfig read(std::string_view profilePath);
    static RoomConfig fromText(std::string_view profileText);

    bool onServer() const { return kind == DbKind::Mysql; }
    // host:port/name, as shown to the people who run the room.
    std::string serverName() const;
    // False when i.ini gives a port that is no number from 1 to 65535: the
    // server is then not to be tried on some other port.
    bool portValid() const { return !badPort; }

    // How every connection to the room's server is made: the time limits
    // above and the session of Dialect, whose literals mean the same bytes as
    // on tk.db.
    ConnectOptions connectOptions() const;

    DbKind kind = DbKind::Sqlite;
    std::string host = "localhost";
    int port = 3306;
    std::string database = "mockexam";
    std::string user = "mockexam";
    std::string password;
    std::string charset = "gbk";
    // The port as i.ini wrote it when that is not a port; port keeps 3306.
    std::optional<std::string> badPort;
};
