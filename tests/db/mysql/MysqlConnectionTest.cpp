#include "db/mysql/MysqlConnection.h"

#include "db/mysql/MariadbLibrary.h"
#include "db/mysql/MysqlRecordset.h"
#include "platform/CodePage.h"
#include "tests/db/mysql/MysqlTestServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <errmsg.h>
#include <mysql.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

ColumnSpec column(const std::string& name, int typeCode, int flags = 0, int length = 0)
{
    ColumnSpec spec;
    spec.name = name;
    spec.typeCode = typeCode;
    spec.length = length;
    spec.flags = flags;
    return spec;
}

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

std::string queryText(MysqlConnection& connection, const std::string& sql)
{
    MysqlRecordset recordset;
    recordset.attach(connection);
    std::string text;
    EXPECT_TRUE(recordset.open(sql)) << sql << ": " << connection.lastErrorText();
    recordset.readText(recordset.fieldName(0), text);
    recordset.close();
    return text;
}

} // namespace

TEST(MysqlConnectionText, TypeTextsForEveryCode)
{
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 3)), "int");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 8)), "BigInt");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 4)), "Float");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 5)), "Double");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 12)), "datetime");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 25206)), "LongText");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 102)), "Bool");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 25205)), "LongBlob");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 253, 0, 0)), "VarChar(100)");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 253, 0, -5)), "VarChar(100)");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 253, 0, 20)), "VarChar(20)");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 254)), "");
    EXPECT_EQ(MysqlConnection::columnTypeText(column("a", 0)), "");
}

TEST(MysqlConnectionText, OptionTextsInFixedOrder)
{
    EXPECT_EQ(MysqlConnection::columnOptionsText(column("a", 3, 1 | 2)), "PRIMARY KEY NOT NULL ");
    EXPECT_EQ(MysqlConnection::columnOptionsText(column("a", 3, 0)), "");
    EXPECT_EQ(MysqlConnection::columnOptionsText(column("a", 3, 1 | 2 | 32 | 64 | 128 | 512 | 4 | 1024)),
              "PRIMARY KEY AUTO_INCREMENT UNSIGNED ZEROFILL BINARY NOT NULL ");
}

TEST(MysqlConnectionText, WithoutConnectionEverythingFailsQuietly)
{
    MysqlConnection connection;
    EXPECT_FALSE(connection.isConnected());
    EXPECT_EQ(connection.versionText(1), mysql_get_client_info());
    EXPECT_FALSE(connection.versionText(1).empty());
    EXPECT_EQ(connection.versionText(0), "");
    EXPECT_EQ(connection.versionText(2), "");
    EXPECT_FALSE(connection.execute("select 1"));
    EXPECT_FALSE(connection.lastErrorText().empty());
    EXPECT_NE(connection.lastErrorCode(), 0);
    EXPECT_FALSE(connection.createDatabase("x"));
    EXPECT_EQ(connection.listDatabases(), "");
    EXPECT_EQ(connection.listTables("x"), "");
    EXPECT_FALSE(connection.tableExists("x"));
    EXPECT_FALSE(connection.setOption(MYSQL_OPT_CONNECT_TIMEOUT, "1"));
    connection.close();
    connection.close();
}

TEST(MysqlConnectionServer, RefusedConnectionsReportWhy)
{
    const MysqlTestServer& server = MysqlTestServer::shared();

    MysqlConnection wrongPort;
    EXPECT_FALSE(wrongPort.connect("127.0.0.1", "", std::string("root"), std::string(), closedPort()));
    EXPECT_THAT(wrongPort.lastErrorText(), HasSubstr("connect"));
    EXPECT_EQ(wrongPort.lastErrorCode(), 2002);
    // The handle stays so the reason can be read; close releases it.
    EXPECT_TRUE(wrongPort.isConnected());
    EXPECT_FALSE(wrongPort.execute("select 1"));
    EXPECT_EQ(wrongPort.host(), "127.0.0.1");
    wrongPort.close();
    EXPECT_FALSE(wrongPort.isConnected());

    MysqlConnection admin;
    ASSERT_TRUE(server.connect(admin)) << admin.lastErrorText();
    const std::string user = "pw" + std::to_string(getpid());
    ASSERT_TRUE(admin.execute("CREATE USER '" + user + "'@'%' IDENTIFIED BY 'right'")) << admin.lastErrorText();

    MysqlConnection wrongPassword;
    EXPECT_FALSE(wrongPassword.connect(server.host, "", user, std::string("wrong"), server.port));
    EXPECT_EQ(wrongPassword.lastErrorCode(), 1045);
    EXPECT_THAT(wrongPassword.lastErrorText(), HasSubstr("Access denied"));
    wrongPassword.close();

    MysqlConnection rightPassword;
    EXPECT_TRUE(rightPassword.connect(server.host, "", user, std::string("right"), server.port))
        << rightPassword.lastErrorText();
    rightPassword.close();

    // The default user is "Root", which is not the server's "root".
    MysqlConnection defaultUser;
    EXPECT_FALSE(defaultUser.connect(server.host, "", std::nullopt, std::nullopt, server.port));
    EXPECT_THAT(defaultUser.lastErrorText(), HasSubstr("'Root'"));
    defaultUser.close();

    EXPECT_TRUE(admin.execute("DROP USER '" + user + "'@'%'"));
    admin.close();
}

TEST(MysqlConnectionServer, WithoutTheClientModuleConnectingFailsWithTheReason)
{
    const MysqlTestServer& server = MysqlTestServer::shared();
    const MariadbLibrary missing("no-such-client");
    MysqlConnection connection(missing);
    EXPECT_FALSE(connection.connect(server.host, "", std::string("root"), std::string(), server.port));
    EXPECT_FALSE(connection.isConnected());
    EXPECT_THAT(connection.lastErrorText(), HasSubstr("mockexam-no-such-client.so"));
    EXPECT_THAT(connection.lastErrorText(), HasSubstr(GBK("请重新安装本程序")));
    // Not taken for a server that went away, which would be tried again.
    EXPECT_EQ(connection.lastErrorCode(), CR_UNKNOWN_ERROR);
    EXPECT_FALSE(connection.execute("select 1"));
    EXPECT_EQ(connection.versionText(1), "");
    EXPECT_FALSE(connection.setHandle(reinterpret_cast<MYSQL*>(&connection)));

    // The program's own module serves the same server meanwhile.
    MysqlConnection usual;
    EXPECT_TRUE(server.connect(usual)) << usual.lastErrorText();
}

TEST(MysqlConnectionServer, ServerStoppedMidSession)
{
    std::string error;
    std::optional<MysqlTestServer> server = MysqlTestServer::start(error);
    ASSERT_TRUE(server) << error;
    MysqlConnection connection;
    ASSERT_TRUE(server->connect(connection)) << connection.lastErrorText();
    ASSERT_TRUE(connection.createDatabase("kept"));
    MysqlRecordset recordset;
    recordset.attach(connection);
    ASSERT_TRUE(recordset.open("show databases"));
    const std::int64_t rows = recordset.recordCount();

    server->stop();

    EXPECT_FALSE(connection.execute("select 1"));
    EXPECT_THAT((std::vector<int>{2006, 2013}), Contains(connection.lastErrorCode()));
    EXPECT_FALSE(connection.lastErrorText().empty());
    EXPECT_EQ(connection.listDatabases(), "");
    EXPECT_FALSE(connection.tableExists("mysql.user"));
    // The result fetched before the stop is still there to read.
    EXPECT_EQ(recordset.recordCount(), rows);
    EXPECT_TRUE(recordset.moveLast());
    MysqlRecordset again;
    again.attach(connection);
    EXPECT_FALSE(again.open("show databases"));
    EXPECT_FALSE(again.isOpen());
    recordset.close();
    connection.close();
}

TEST_F(MysqlDatabaseTest, ConnectsWithGbkAndVersions)
{
    EXPECT_EQ(queryText(connection, "SELECT @@character_set_client"), "gbk");
    EXPECT_EQ(queryText(connection, "SELECT @@character_set_results"), "gbk");
    EXPECT_THAT(connection.versionText(0), HasSubstr("MariaDB"));
    EXPECT_EQ(connection.lastErrorText(), "");
    EXPECT_EQ(connection.lastErrorCode(), 0);
}

TEST_F(MysqlDatabaseTest, RejectedStatementLeavesReasonAndData)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE t (a int)"));
    ASSERT_TRUE(connection.execute("INSERT INTO t VALUES (1)"));
    EXPECT_FALSE(connection.execute("INSERT INTO t VALUES ("));
    EXPECT_EQ(connection.lastErrorCode(), 1064);
    EXPECT_THAT(connection.lastErrorText(), HasSubstr("SQL syntax"));
    EXPECT_FALSE(connection.dropTable("no_such_table"));
    EXPECT_EQ(connection.lastErrorCode(), 1051);
    // A zero byte does not cut the statement short into another one.
    EXPECT_FALSE(connection.dropTable(std::string("t\0x", 3)));
    EXPECT_TRUE(connection.tableExists("t"));
    EXPECT_EQ(queryText(connection, "SELECT count(*) FROM t"), "1");
}

TEST_F(MysqlDatabaseTest, SchemaOperations)
{
    StatementLog log(connection);
    EXPECT_TRUE(connection.createTable("t", {column("id", 3, 2 | 512)}));
    EXPECT_FALSE(connection.createTable("bare", {}));
    EXPECT_FALSE(connection.lastErrorText().empty());
    EXPECT_TRUE(connection.createTable(
        "u", {column("id", 8, 2 | 1), column("name", 253, 0, 20), column("note", 25206), column("flag", 102)}));
    EXPECT_TRUE(connection.addColumn("u", column("price", 5, 1)));
    EXPECT_TRUE(connection.createIndex("u", "name,flag", "u_name"));
    const std::vector<std::string> sent = log.statements();
    EXPECT_THAT(sent, Contains("create table t (id int PRIMARY KEY AUTO_INCREMENT  )"));
    EXPECT_THAT(sent, Contains("create table bare"));
    EXPECT_THAT(sent, Contains("create table u (id BigInt PRIMARY KEY NOT NULL  ,name VarChar(20)  ,note LongText  "
                               ",flag Bool  )"));
    // The server drops trailing blanks before logging a statement.
    EXPECT_THAT(sent, Contains("alter table u add column price Double NOT NULL"));
    EXPECT_THAT(sent, Contains("create index u_name on u(name,flag)"));

    EXPECT_EQ(connection.listTables(database), "t,u,");
    EXPECT_EQ(queryText(connection, "SELECT column_type FROM information_schema.columns WHERE table_schema = '" +
                                        database + "' AND column_name = 'name'"),
              "varchar(20)");
    EXPECT_EQ(queryText(connection, "SELECT extra FROM information_schema.columns WHERE table_schema = '" + database +
                                        "' AND table_name = 't'"),
              "auto_increment");
    EXPECT_TRUE(connection.dropIndex("u", "u_name"));
    EXPECT_FALSE(connection.dropIndex("u", "u_name"));
    EXPECT_TRUE(connection.renameTable("u", "v"));
    EXPECT_FALSE(connection.tableExists("u"));
    EXPECT_TRUE(connection.tableExists("v"));
    ASSERT_TRUE(connection.execute("INSERT INTO v (id, price) VALUES (1, 2.5), (2, 3)"));
    EXPECT_TRUE(connection.clearTable("v"));
    EXPECT_EQ(queryText(connection, "SELECT count(*) FROM v"), "0");
    EXPECT_TRUE(connection.dropTable("v"));
    EXPECT_EQ(connection.listTables(database), "t,");
    EXPECT_EQ(connection.listTables("no_such_database"), "");
}

TEST_F(MysqlDatabaseTest, ListsOnlyTheDatabasesAUserSees)
{
    const std::string user = "lst" + std::to_string(getpid());
    const std::string a = "a", b = "b";
    ASSERT_TRUE(connection.createDatabase(a)) << connection.lastErrorText();
    ASSERT_TRUE(connection.createDatabase(b)) << connection.lastErrorText();
    ASSERT_TRUE(connection.execute("CREATE USER '" + user + "'@'%'"));
    ASSERT_TRUE(connection.execute("GRANT ALL ON a.* TO '" + user + "'@'%'"));
    ASSERT_TRUE(connection.execute("GRANT ALL ON b.* TO '" + user + "'@'%'"));

    const MysqlTestServer& server = MysqlTestServer::shared();
    MysqlConnection limited;
    ASSERT_TRUE(limited.connect(server.host, "a", user, std::string(), server.port)) << limited.lastErrorText();
    EXPECT_EQ(limited.listDatabases(), "a,b,information_schema,");
    limited.close();

    EXPECT_THAT(connection.listDatabases(), HasSubstr("," + database + ","));
    EXPECT_TRUE(connection.dropDatabase(a));
    EXPECT_TRUE(connection.dropDatabase(b));
    EXPECT_FALSE(connection.dropDatabase(b));
    EXPECT_TRUE(connection.execute("DROP USER '" + user + "'@'%'"));
}

TEST_F(MysqlDatabaseTest, UseDatabaseSwitches)
{
    const std::string other = database + "_o";
    ASSERT_TRUE(connection.createDatabase(other));
    EXPECT_TRUE(connection.useDatabase(other));
    EXPECT_EQ(queryText(connection, "SELECT DATABASE()"), other);
    EXPECT_FALSE(connection.useDatabase(other + "_missing"));
    EXPECT_EQ(connection.lastErrorCode(), 1049);
    EXPECT_TRUE(connection.dropDatabase(other));
}

TEST_F(MysqlDatabaseTest, TransactionsCommitAndRollBack)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE t (a int) ENGINE=InnoDB"));
    EXPECT_TRUE(connection.beginTransaction());
    ASSERT_TRUE(connection.execute("INSERT INTO t VALUES (1)"));
    EXPECT_TRUE(connection.rollback());
    EXPECT_EQ(queryText(connection, "SELECT count(*) FROM t"), "0");
    EXPECT_TRUE(connection.beginTransaction());
    ASSERT_TRUE(connection.execute("INSERT INTO t VALUES (2)"));
    EXPECT_TRUE(connection.commit());
    EXPECT_EQ(queryText(connection, "SELECT count(*) FROM t"), "1");
}

TEST_F(MysqlDatabaseTest, GbkTextRoundTripsByteForByte)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE g (id int, t varchar(50)) CHARACTER SET gbk"));
    const std::string chinese = GBK("模拟考试：选择题");
    const std::string blank("\xA1\xA1", 2);
    const std::string trailBackslash("\x95\x5C", 2); // the second byte is "\" on its own
    const std::string all = chinese + blank + trailBackslash + "x";
    ASSERT_TRUE(connection.execute("INSERT INTO g VALUES (1, '" + all + "')")) << connection.lastErrorText();
    ASSERT_TRUE(connection.execute("INSERT INTO g VALUES (2, '" + trailBackslash + "')"));

    EXPECT_EQ(queryText(connection, "SELECT t FROM g WHERE id = 1"), all);
    EXPECT_EQ(queryText(connection, "SELECT t FROM g WHERE id = 2"), trailBackslash);
    EXPECT_EQ(queryText(connection, "SELECT HEX(t) FROM g WHERE id = 2"), "955C");
    EXPECT_EQ(queryText(connection, "SELECT CHAR_LENGTH(t) FROM g WHERE id = 1"), "11");
    EXPECT_EQ(queryText(connection, "SELECT id FROM g WHERE t = '" + all + "'"), "1");
}

TEST_F(MysqlDatabaseTest, BytesOutsideGbkAreRefusedAndNothingIsLost)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE g (t varchar(50)) CHARACTER SET gbk"));
    ASSERT_TRUE(connection.execute("INSERT INTO g VALUES ('" + GBK("保留") + "')"));
    EXPECT_FALSE(connection.execute("INSERT INTO g VALUES ('a\x80"
                                    "b')"));
    EXPECT_EQ(connection.lastErrorCode(), 1366);
    EXPECT_FALSE(connection.execute("UPDATE g SET t = '\x80'"));
    EXPECT_EQ(queryText(connection, "SELECT t FROM g"), GBK("保留"));
    EXPECT_EQ(queryText(connection, "SELECT count(*) FROM g"), "1");
}
