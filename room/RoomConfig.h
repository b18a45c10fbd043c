#pragma once

#include "db/DbKind.h"

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

    static RoomConfig read(std::string_view profilePath);
    static RoomConfig fromText(std::string_view profileText);

    bool onServer() const { return kind == DbKind::Mysql; }
    // host:port/name, as shown to the people who run the room.
    std::string serverName() const;

    DbKind kind = DbKind::Sqlite;
    std::string host = "localhost";
    int port = 3306;
    std::string database = "mockexam";
    std::string user = "mockexam";
    std::string password;
    std::string charset = "gbk";
};
