#pragma once

#include "db/DbKind.h"

#include <string>
#include <utility>
#include <vector>

// Where a Database connects and how its sessions start. Texts are GBK.
struct ConnectOptions {
    DbKind kind = DbKind::None;

    // SQLite: the database file, and whether a missing one is created. A
    // non-empty password is refused, as this SQLite build cannot encrypt.
    std::string file;
    bool createIfMissing = false;
    // How long a statement waits for a file another program holds locked; 0
    // leaves SQLite's default of failing at once.
    int busyTimeoutMs = 0;

    // MySQL/MariaDB. An empty host is the local server through its socket.
    std::string host;
    int port = 3306;
    std::string database;
    std::string user;
    std::string password;
    std::string charset = "gbk";
    // Connecting (the server's greeting included) gives up after the first,
    // each later read or write after the second; 0 waits as long as the system
    // does. Time-outs cannot change on an open connection.
    unsigned connectTimeoutSeconds = 5;
    unsigned transferTimeoutSeconds = 10;

    // On the server, the session settings of Dialect::sessionSetup come first
    // (literals then mean the same bytes as on SQLite); leave them out only for
    // statements written for the server's own literal rules.
    bool dialectSession = true;
    // Statements every new session runs after those, before anything else:
    // SQLite's journal settings, further server settings. On the server they
    // run again after each reconnect.
    std::vector<std::string> sessionStatements;

    static ConnectOptions sqlite(std::string file, bool createIfMissing = true)
    {
        ConnectOptions options;
        options.kind = DbKind::Sqlite;
        options.file = std::move(file);
        options.createIfMissing = createIfMissing;
        return options;
    }

    static ConnectOptions mysql(std::string host, int port, std::string database, std::string user,
                                std::string password)
    {
        ConnectOptions options;
        options.kind = DbKind::Mysql;
        options.host = std::move(host);
        options.port = port;
        options.database = std::move(database);
        options.user = std::move(user);
        options.password = std::move(password);
        return options;
    }
};
