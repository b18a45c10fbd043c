// Database on the private MariaDB server: the backend-neutral cases of
// tests/db/DatabaseTest.cpp, and what only a server does (open failures,
// sessions lost under a client).

#include "tests/db/DatabaseFixture.h"

#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "db/Transaction.h"
#include "db/mysql/MysqlRecordset.h"
#include "platform/CodePage.h"
#include "tests/db/mysql/MysqlTestServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <mysql.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

bool adminExecute(const std::string& sql)
{
    MysqlConnection admin;
    const bool ran = MysqlTestServer::shared().connect(admin) && admin.execute(sql);
    EXPECT_TRUE(ran) << sql << ": " << admin.lastErrorText();
    return ran;
}

std::string adminQuery(const std::string& sql)
{
    MysqlConnection admin;
    MysqlRecordset result;
    std::string text;
    if (MysqlTestServer::shared().connect(admin) && result.attach(admin) && result.open(sql))
        result.readTextAt(0, text);
    return text;
}

// Ends a client's session from the server's side, as a server restart or an
// administrator would, and waits until the server has let it go.
void killSession(MYSQL* handle)
{
    const std::string id = std::to_string(mysql_thread_id(handle));
    ASSERT_TRUE(adminExecute("KILL " + id));
    const std::string stillThere = "SELECT COUNT(*) FROM information_schema.processlist WHERE id = " + id;
    for (int wait = 0; wait < 100 && adminQuery(stillThere) != "0"; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class MysqlDatabaseBackend : public DatabaseBackend {
public:
    MysqlDatabaseBackend()
    {
        static int counter = 0;
        database_ = "d" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        created_ = adminExecute("CREATE DATABASE " + database_ + " CHARACTER SET gbk");
    }
    ~MysqlDatabaseBackend() override
    {
        if (created_)
            adminExecute("DROP DATABASE " + database_);
    }
    ConnectOptions options() override
    {
        const MysqlTestServer& server = MysqlTestServer::shared();
        return ConnectOptions::mysql(server.host, server.port, database_, server.user, "");
    }
    const std::string& database() const { return database_; }

private:
    std::string database_;
    bool created_ = false;
};

const DatabaseBackendParam mysqlBackend{"Mysql",
                                        [] { return std::unique_ptr<DatabaseBackend>(new MysqlDatabaseBackend); }};

// A port on 127.0.0.1 that nothing listens on.
int closedPort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class DatabaseMysqlTest : public DatabaseTest {
protected:
    MYSQL* handle() { return db.mysqlConnection().handle(); }
    std::vector<std::string> names()
    {
        Database::Rows rows;
        EXPECT_TRUE(db.query("SELECT name FROM T ORDER BY id", rows)) << db.lastErrorText();
        std::vector<std::string> found;
        for (const Database::Row& row : rows)
            found.push_back(row.at(0).value_or("NULL"));
        return found;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Mysql, DatabaseTest, ::testing::Values(mysqlBackend), databaseBackendName);
INSTANTIATE_TEST_SUITE_P(Mysql, DatabaseMysqlTest, ::testing::Values(mysqlBackend), databaseBackendName);

TEST(DatabaseMysql, OpenNamesTheCauseWithinTheConnectTimeOut)
{
    const MysqlTestServer& server = MysqlTestServer::shared();
    const std::string database = "o" + std::to_string(getpid());
    ASSERT_TRUE(adminExecute("CREATE DATABASE " + database));
    // Accepts connections (the system does) but never greets them.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 4), 0);
    getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);

    struct Case {
        ConnectOptions options;
        Database::OpenFailure failure;
    };
    const auto options = [&](int port, const std::string& db, const std::string& password) {
        ConnectOptions o = ConnectOptions::mysql(server.host, port, db, server.user, password);
        o.connectTimeoutSeconds = 1;
        return o;
    };
    const Case cases[] = {
        {options(server.port, database, "wrong"), Database::OpenFailure::AccessDenied},
        {options(server.port, "no_such_database", ""), Database::OpenFailure::NoDatabase},
        {options(closedPort(), database, ""), Database::OpenFailure::Unreachable},
        {options(ntohs(address.sin_port), database, ""), Database::OpenFailure::Unreachable},
        {options(0, database, ""), Database::OpenFailure::BadOptions},
        {options(70000, database, ""), Database::OpenFailure::BadOptions},
    };
    for (const Case& c : cases) {
        Database db;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(db.open(c.options));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1900)) << c.options.port;
        EXPECT_EQ(db.openFailure(), c.failure) << c.options.port << " " << c.options.database;
        EXPECT_NE(db.lastErrorText(), "");
        EXPECT_FALSE(db.isOpen());
    }
    ::close(silent);

    Database db;
    ASSERT_TRUE(db.open(options(server.port, database, ""))) << db.lastErrorText();
    EXPECT_EQ(db.openFailure(), Database::OpenFailure::None);
    Database::Rows rows;
    ASSERT_TRUE(db.query("SELECT @@character_set_client, @@sql_mode", rows));
    EXPECT_EQ(rows.at(0).at(0), "gbk");
    EXPECT_THAT(rows.at(0).at(1).value_or(""), HasSubstr("NO_BACKSLASH_ESCAPES"));
    db.close();
    adminExecute("DROP DATABASE " + database);
}

TEST_P(DatabaseMysqlTest, AStatementRunsOnceMoreOnANewSessionAfterTheFirstWasKilled)
{
    Statement insert = db.prepare("INSERT INTO T (name) VALUES (?)");
    ASSERT_TRUE(insert.bind(1, "a\\"));
    const unsigned long first = mysql_thread_id(handle());
    killSession(handle());
    EXPECT_TRUE(insert.run()) << db.lastErrorText();
    EXPECT_NE(mysql_thread_id(handle()), first);

    killSession(handle());
    EXPECT_TRUE(db.execute("INSERT INTO T (name) VALUES ('b\\')")) << db.lastErrorText();
    killSession(handle());
    Statement select = db.prepare("SELECT @@sql_mode");
    ASSERT_TRUE(select.step()) << db.lastErrorText();
    EXPECT_THAT(select.text(0), HasSubstr("NO_BACKSLASH_ESCAPES"));
    EXPECT_EQ(names(), (std::vector<std::string>{"a\\", "b\\"}));
}

TEST_P(DatabaseMysqlTest, AKilledSessionTakesItsTransactionAlong)
{
    {
        Transaction transaction(db);
        ASSERT_TRUE(db.execute("INSERT INTO T (name) VALUES ('lost')"));
        killSession(handle());
        EXPECT_FALSE(db.execute("INSERT INTO T (name) VALUES ('after')"));
        EXPECT_THAT(db.lastErrorText(), HasSubstr(GBK("事务")));
        EXPECT_TRUE(db.inTransaction());
        // Nothing runs outside the transaction the caller believes open.
        EXPECT_FALSE(db.execute("INSERT INTO T (name) VALUES ('outside')"));
        EXPECT_FALSE(transaction.commit());
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_TRUE(db.execute("INSERT INTO T (name) VALUES ('next')")) << db.lastErrorText();
    EXPECT_EQ(names(), std::vector<std::string>{"next"});
}

// The facades' connection and the registry's recordset carry on after the
// server ended their session.
TEST_P(DatabaseMysqlTest, FacadesRecoverFromAKilledSession)
{
    const std::string database = static_cast<MysqlDatabaseBackend&>(*backend).database();
    BackendRegistry registry;
    DbConnection connection;
    ASSERT_TRUE(connection.open(std::string("localhost"), std::string("root"), std::string(), database, std::nullopt,
                                DbKind::Mysql))
        << connection.lastErrorText();
    DbRecordset recordset;
    ASSERT_TRUE(recordset.attach(connection));
    ASSERT_TRUE(recordset.open("SELECT COUNT(*) AS n FROM T"));

    killSession(registry.mysqlConnection().handle());
    EXPECT_TRUE(connection.execute("INSERT INTO T (name) VALUES ('x')")) << connection.lastErrorText();
    std::int64_t n = 0;
    ASSERT_TRUE(recordset.open("SELECT COUNT(*) AS n FROM T")) << connection.lastErrorText();
    EXPECT_TRUE(recordset.readInt64("n", n));
    EXPECT_EQ(n, 1);

    killSession(registry.mysqlConnection().handle());
    ASSERT_TRUE(recordset.open("SELECT name FROM T")) << connection.lastErrorText();
    std::string name;
    EXPECT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "x");
    EXPECT_TRUE(recordset.exists("T", "name='x'"));
    recordset.close();
    connection.close();
}

// A session that keeps the server's own literal rules, as the facades' does,
// still stores bound texts byte for byte.
TEST_P(DatabaseMysqlTest, BoundTextsKeepTheirBytesWhereBackslashesEscape)
{
    ConnectOptions options = backend->options();
    options.dialectSession = false;
    ASSERT_TRUE(db.open(options)) << db.lastErrorText();
    const std::vector<std::string> texts{"a\\'b\\", std::string("\x95\x5C'?", 4)};
    Statement insert = db.prepare("INSERT INTO T (name) VALUES (?)");
    for (const std::string& text : texts) {
        ASSERT_TRUE(insert.bind(1, text));
        ASSERT_TRUE(insert.run()) << db.lastErrorText();
    }
    EXPECT_EQ(names(), texts);
}
