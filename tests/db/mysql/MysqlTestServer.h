#pragma once

#include "db/mysql/MysqlConnection.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// Where a private MariaDB server for the tests listens. Under ctest the fixture
// has started one and names its state file in MOCKEXAM_MYSQL_SERVER; a test
// program run by hand starts its own on first use and stops it at exit.
struct MysqlTestServer {
    std::string host;
    int port = 0;
    std::string socket;
    std::string user;
    std::string stateFile;

    // The server shared by all tests of this run; fails the test when none can be had.
    // Known before the first test, so that the client library, which reads
    // MYSQL_UNIX_PORT once, takes its socket as the default: connections to
    // host "localhost" on any port reach it.
    static const MysqlTestServer& shared();

    // A further server of the caller's own, e.g. to stop it under a client.
    static std::optional<MysqlTestServer> start(std::string& error);
    void stop() const;

    // Connects as root with the GBK character set; the handle is set even on failure.
    bool connect(MysqlConnection& connection, const std::string& database = "") const;
};

// A test with its own database on the shared server, used by `connection`,
// dropped again afterwards. Tests may run in parallel processes.
class MysqlDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    MysqlConnection connection;
    std::string database;
};

// The statements the server received from one connection, read from the
// server's general log (switched on by the constructor), oldest first.
class StatementLog {
public:
    explicit StatementLog(const MysqlConnection& watched);
    std::vector<std::string> statements() const;

private:
    unsigned long threadId_ = 0;
};
