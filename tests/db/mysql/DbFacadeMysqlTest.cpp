// The facade tests of tests/db run here on the MySQL kind too, against the
// private server, beside the cases that only concern MySQL.

#include "tests/db/DbFacadeFixture.h"
#include "tests/db/ExportTestSupport.h"

#include "db/DbKind.h"
#include "db/mysql/MysqlConnection.h"
#include "platform/CodePage.h"
#include "tests/db/mysql/MysqlTestServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mysql.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using ::testing::Contains;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// Runs a statement on the shared server as root, outside the facade.
bool adminExecute(const std::string& sql)
{
    MysqlConnection admin;
    const bool ran = MysqlTestServer::shared().connect(admin) && admin.execute(sql);
    EXPECT_TRUE(ran) << sql << ": " << admin.lastErrorText();
    admin.close();
    return ran;
}

// The facade always asks for port 3306, so it reaches the private server as
// "localhost", through the server's socket (the client library's default).
class MysqlFacadeBackend : public FacadeBackend {
public:
    MysqlFacadeBackend()
    {
        static int counter = 0;
        database_ = "f" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        created_ = adminExecute("CREATE DATABASE " + database_ + " CHARACTER SET gbk");
    }
    ~MysqlFacadeBackend() override
    {
        if (created_)
            adminExecute("DROP DATABASE " + database_);
    }
    DbKind kind() const override { return DbKind::Mysql; }
    bool open(DbConnection& connection) override
    {
        return created_ && connection.open(std::string("localhost"), std::string("root"), std::string(), database_,
                                           std::nullopt, DbKind::Mysql);
    }
    std::string autoIdColumn() const override { return "id INT AUTO_INCREMENT PRIMARY KEY"; }
    const std::string& database() const { return database_; }

private:
    std::string database_;
    bool created_ = false;
};

const FacadeBackendParam mysqlBackend{"Mysql", [] { return std::unique_ptr<FacadeBackend>(new MysqlFacadeBackend); }};

} // namespace

INSTANTIATE_TEST_SUITE_P(Mysql, DbConnectionTest, ::testing::Values(mysqlBackend), facadeBackendName);
INSTANTIATE_TEST_SUITE_P(Mysql, DbRecordsetTest, ::testing::Values(mysqlBackend), facadeBackendName);

namespace {

class DbFacadeMysqlTest : public DbFacadeTest {
protected:
    const std::string& database() const { return static_cast<MysqlFacadeBackend&>(*backend).database(); }

    std::string queryText(const std::string& sql)
    {
        DbRecordset query;
        std::string text;
        EXPECT_TRUE(query.open(sql)) << sql << ": " << connection.lastErrorText();
        query.readText(query.fieldName(0), text);
        query.close();
        return text;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Mysql, DbFacadeMysqlTest, ::testing::Values(mysqlBackend), facadeBackendName);

TEST_P(DbFacadeMysqlTest, BuiltStatementsReachMysqlAsWritten)
{
    addRow(5, "five", 5);
    StatementLog log(registry.mysqlConnection());
    EXPECT_TRUE(recordset.exists("T", "id=5"));
    EXPECT_TRUE(recordset.open("T", 2));
    EXPECT_TRUE(recordset.updateRows("T", "name='v'", "id=5"));
    EXPECT_TRUE(recordset.deleteRows("T", "id=5"));
    EXPECT_TRUE(recordset.insertRow("T", "name='1',score='7'"));
    EXPECT_TRUE(recordset.writeBlob("T", "pic", std::nullopt, ByteArray{'a', 0, '\''}));
    EXPECT_TRUE(recordset.writeBlob("T", "pic", "id=6", ByteArray{'?'}));
    EXPECT_TRUE(connection.createTable("U")) << connection.lastErrorText();
    EXPECT_TRUE(connection.addColumn("U", "c", "INTEGER", 10));
    EXPECT_EQ(queryText("SELECT column_type FROM information_schema.columns WHERE table_schema = '" + database() +
                        "' AND table_name = 'U' AND column_name = 'c'"),
              "varchar(50)");
    EXPECT_TRUE(connection.clearTable("U"));
    EXPECT_TRUE(connection.dropTable("U"));
    EXPECT_TRUE(connection.beginTransaction());
    EXPECT_TRUE(connection.commit());
    const std::vector<std::string> sent = log.statements();
    EXPECT_THAT(sent, Contains("SELECT * FROM T WHERE id=5"));
    EXPECT_THAT(sent, Contains("Select * From T"));
    EXPECT_THAT(sent, Contains("UPDATE T SET name='v' WHERE (id=5)"));
    EXPECT_THAT(sent, Contains("DELETE FROM T WHERE (id=5)"));
    EXPECT_THAT(sent, Contains("INSERT INTO T (name,score) VALUES ('1','7')"));
    EXPECT_THAT(sent, Contains("insert into T (pic) values ('a\\0\\'')"));
    EXPECT_THAT(sent, Contains("update T set pic='?' where id=6"));
    // The server drops the final ";" before logging a statement.
    EXPECT_THAT(sent, Contains("CREATE TABLE `U` (`id` bigint( 20 ) NOT NULL AUTO_INCREMENT  , PRIMARY KEY ( `id` )) "
                               "ENGINE = InnoDB"));
    EXPECT_THAT(sent, Contains("alter table U add c varchar(50)"));
    EXPECT_THAT(sent, Contains("Delete From U"));
    EXPECT_THAT(sent, Contains("DROP TABLE U"));
    EXPECT_THAT(sent, Contains("START TRANSACTION"));
    EXPECT_THAT(sent, Contains("COMMIT"));
}

TEST_P(DbFacadeMysqlTest, CompactSendsNothing)
{
    StatementLog log(registry.mysqlConnection());
    addRow(1, "a", 1);
    const std::size_t before = log.statements().size();
    EXPECT_TRUE(connection.compact());
    EXPECT_EQ(log.statements().size(), before);
}

TEST_P(DbFacadeMysqlTest, StatementWithoutResultHoldsNothing)
{
    addRow(1, "a", 1);
    ASSERT_TRUE(recordset.open("UPDATE T SET name='b'"));
    EXPECT_EQ(recordset.recordCount(), 0);
    EXPECT_EQ(recordset.fieldCount(), 0);
    EXPECT_FALSE(recordset.moveFirst());
    EXPECT_TRUE(recordset.exists("T", "name='b'"));
}

TEST_P(DbFacadeMysqlTest, ReadTextOfNullIsEmptyAndTrue)
{
    ASSERT_TRUE(recordset.writeBlob("T", "pic", std::nullopt, ByteArray{1}));
    ASSERT_TRUE(recordset.open("SELECT name FROM T"));
    std::string text = "old";
    EXPECT_TRUE(recordset.readText("name", text));
    EXPECT_EQ(text, "");
}

TEST_P(DbFacadeMysqlTest, ConnectionSpeaksGbkAndReportsTheClientLibrary)
{
    EXPECT_EQ(connection.clientVersion(), mysql_get_client_info());
    EXPECT_EQ(queryText("SELECT @@character_set_client"), "gbk");
    const std::string title = GBK("中文题目") + std::string("\xA1\xA1\x95\x5C", 4);
    ASSERT_TRUE(recordset.insertRow("T", "id='1',name='" + title + "'")) << connection.lastErrorText();
    EXPECT_EQ(queryText("SELECT name FROM T"), title);
    EXPECT_EQ(queryText("SELECT HEX(name) FROM T"), "D6D0CEC4CCE2C4BFA1A1955C");
    EXPECT_FALSE(recordset.insertRow("T", "id='2',name='\x80'"));
    EXPECT_NE(connection.lastErrorText(), "");
    EXPECT_EQ(rowCount(), 1);

    ASSERT_TRUE(connection.open(std::string("localhost"), std::string("root"), std::string(), database(),
                                std::string("latin1"), DbKind::Mysql));
    ASSERT_TRUE(recordset.attach(connection));
    EXPECT_EQ(queryText("SELECT @@character_set_client"), "latin1");
}

TEST_P(DbFacadeMysqlTest, ExecuteOfShowLeavesTheConnectionInStep)
{
    EXPECT_TRUE(connection.execute("SHOW TABLES"));
    EXPECT_TRUE(connection.execute("SELECT 1")) << connection.lastErrorText();
    EXPECT_TRUE(recordset.open("SELECT COUNT(*) AS n FROM T")) << connection.lastErrorText();
}

// Objects handed out on the registry's handle and copies of its recordset share
// the ownership: closing them frees neither the handle nor the result twice.
TEST_P(DbFacadeMysqlTest, HandedOutConnectionsAndRecordsetCopiesFreeNothingTheyShare)
{
    addRow(1, "a", 1);
    addRow(2, "b", 2);
    ASSERT_TRUE(recordset.open("SELECT name FROM T ORDER BY id"));
    MysqlConnection handedOut = registry.mysqlRecordset().connection();
    handedOut.close();
    EXPECT_FALSE(handedOut.isConnected());
    EXPECT_TRUE(connection.execute("INSERT INTO T (id, name) VALUES (3, 'c')")) << connection.lastErrorText();

    MysqlRecordset copy = registry.mysqlRecordset();
    copy.close();
    std::string name;
    EXPECT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "a");
    EXPECT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "b");
    recordset.close();
    EXPECT_EQ(rowCount(), 3);
}

TEST_P(DbFacadeMysqlTest, ReopenClosesTheFirstConnectionAndDetachesTheRecordset)
{
    addRow(1, "a", 1);
    ASSERT_TRUE(recordset.open("SELECT * FROM T"));
    const unsigned long first = mysql_thread_id(registry.mysqlConnection().handle());
    ASSERT_TRUE(connection.open(std::string("localhost"), std::string("root"), std::string(), database(), std::nullopt,
                                DbKind::Mysql));
    EXPECT_NE(mysql_thread_id(registry.mysqlConnection().handle()), first);
    std::string name;
    EXPECT_FALSE(recordset.readText("name", name));
    EXPECT_FALSE(recordset.open("SELECT * FROM T"));
    ASSERT_TRUE(recordset.attach(connection));
    ASSERT_TRUE(recordset.open("SELECT * FROM T"));
    EXPECT_TRUE(recordset.readText("name", name));
    // The server ends a closed session's thread after the client has gone, so
    // give it a moment to leave the process list.
    const std::string stillThere =
        "SELECT COUNT(*) FROM information_schema.processlist WHERE id = " + std::to_string(first);
    for (int wait = 0; wait < 100 && queryText(stillThere) != "0"; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(queryText(stillThere), "0");
}

TEST_P(DbFacadeMysqlTest, FailedOpenLeavesTheKindSetAndTheReason)
{
    connection.close();
    EXPECT_EQ(connection.lastErrorText(), "Not connected to a MySQL server");
    EXPECT_FALSE(connection.open(std::string("localhost"), std::string("root"), std::string("wrong"), database(),
                                 std::nullopt, DbKind::Mysql));
    EXPECT_EQ(BackendRegistry::currentKind(), DbKind::Mysql);
    EXPECT_THAT(connection.lastErrorText(), ::testing::HasSubstr("Access denied"));
    EXPECT_FALSE(connection.execute("SELECT 1"));
    // The handle of the failed attempt is kept (for its error), but runs nothing.
    EXPECT_TRUE(recordset.attach(connection));
    EXPECT_FALSE(recordset.open("SELECT 1"));
    EXPECT_FALSE(connection.open(std::string("localhost"), std::string("root"), std::string(), "no_such_database",
                                 std::nullopt, DbKind::Mysql));
    EXPECT_THAT(connection.lastErrorText(), ::testing::HasSubstr("no_such_database"));
}

TEST_P(DbFacadeMysqlTest, BlobWritesGoToTheBackendNamedWhateverTheKind)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("facade-" + database());
    std::filesystem::create_directories(folder);
    const std::string file = platform::utf8ToGbk((folder / "side.db").string());
    ASSERT_TRUE(connection.open(std::nullopt, std::nullopt, "", file, std::nullopt, DbKind::Sqlite));
    ASSERT_TRUE(connection.execute("CREATE TABLE S (pic BLOB)"));
    ASSERT_TRUE(recordset.attach(connection));

    // The SQLite kind is current; the MySQL connection and recordset stay as they were.
    const ByteArray bytes{0x00, 0x3F, 0x27, 0x5C};
    EXPECT_TRUE(recordset.writeBlobMysql("T", "pic", std::nullopt, bytes));
    EXPECT_TRUE(recordset.writeBlobSqlite("S", "pic", std::nullopt, bytes));
    EXPECT_FALSE(recordset.writeBlobMysql("S", "pic", std::nullopt, bytes));
    EXPECT_TRUE(recordset.exists("S", "pic IS NOT NULL"));
    EXPECT_FALSE(recordset.exists("T", "1=1"));
    connection.close();

    registry.setKind(DbKind::Mysql);
    ASSERT_TRUE(recordset.open("SELECT pic FROM T"));
    ByteArray read;
    ASSERT_TRUE(recordset.readBlob("pic", read));
    EXPECT_EQ(read, bytes);
    std::filesystem::remove_all(folder);
}

TEST_P(DbFacadeMysqlTest, ExportsQueryResults)
{
    addRow(1, GBK("中文，逗号"), 2.5);
    addRow(2, "b", -1);
    exporttest::ScratchDir dir;
    ASSERT_TRUE(connection.exportQuery("SELECT id, name, score FROM T ORDER BY id", dir.path("out.csv")));
    EXPECT_EQ(exporttest::readBytes(dir.native("out.csv")), "1 , " + GBK("中文，逗号") + " , 2.5\r\n2 , b , -1\r\n");
    ASSERT_TRUE(connection.exportQuery("SELECT id, name FROM T ORDER BY id", dir.path("out.txt"), std::string("|")));
    EXPECT_EQ(exporttest::readBytes(dir.native("out.txt")), "1|" + GBK("中文，逗号") + "\r\n\r\n2|b\r\n\r\n");
    ASSERT_TRUE(connection.exportQuery("SELECT * FROM T", dir.path("out.xls")));
    EXPECT_TRUE(std::filesystem::exists(dir.native("out.xls")));
    EXPECT_FALSE(connection.exportQuery("SELECT * FROM Missing", dir.path("none.csv")));
}

TEST(DbConnectionMysql, RegistryShutdownClosesTheServerConnection)
{
    auto connections = [](unsigned long id) {
        MysqlConnection admin;
        MysqlRecordset count;
        std::string text;
        if (MysqlTestServer::shared().connect(admin) && count.attach(admin) &&
            count.open("SELECT COUNT(*) AS n FROM information_schema.processlist WHERE id = " + std::to_string(id)))
            count.readText("n", text);
        count.close();
        admin.close();
        return text;
    };
    MysqlFacadeBackend backend;
    unsigned long id = 0;
    {
        BackendRegistry registry;
        DbConnection connection;
        ASSERT_TRUE(backend.open(connection)) << connection.lastErrorText();
        ASSERT_TRUE(connection.execute("CREATE TABLE T (a int)"));
        DbRecordset recordset;
        ASSERT_TRUE(recordset.attach(connection));
        ASSERT_TRUE(recordset.open("SELECT * FROM T"));
        id = mysql_thread_id(registry.mysqlConnection().handle());
        EXPECT_EQ(connections(id), "1");
    }
    // The server notices the goodbye a moment later.
    std::string left = connections(id);
    for (int attempt = 0; attempt < 100 && left != "0"; ++attempt) {
        usleep(20000);
        left = connections(id);
    }
    EXPECT_EQ(left, "0");
}

TEST(DbConnectionMysql, WithoutUserSendsNoUserNameAndUsesPort3306)
{
    const std::string database = "u" + std::to_string(getpid());
    ASSERT_TRUE(adminExecute("CREATE DATABASE " + database));
    // Any name the client library puts in place of an empty one is let in, so
    // the name that arrived can be read back.
    ASSERT_TRUE(adminExecute("CREATE USER IF NOT EXISTS ''@'localhost'"));
    ASSERT_TRUE(adminExecute("GRANT ALL ON " + database + ".* TO ''@'localhost'"));
    {
        BackendRegistry registry;
        DbConnection connection;
        ASSERT_TRUE(connection.open(std::nullopt, std::nullopt, std::nullopt, database, std::nullopt, DbKind::Mysql))
            << connection.lastErrorText();
        DbRecordset recordset;
        ASSERT_TRUE(recordset.attach(connection));
        ASSERT_TRUE(recordset.open("SELECT USER() AS u"));
        std::string user;
        ASSERT_TRUE(recordset.readText("u", user));
        EXPECT_THAT(user, Not(StartsWith("Root@")));
        recordset.close();
        connection.close();
    }
    adminExecute("DROP USER ''@'localhost'");
    adminExecute("DROP DATABASE " + database);

    // Over TCP the port shows: a listener on 3306 sees the attempt.
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int reuse = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3306);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0) {
        ::close(listener);
        GTEST_SKIP() << "port 3306 is taken on this machine";
    }
    std::atomic<bool> reached{false};
    std::thread acceptor([&] {
        pollfd waiting{listener, POLLIN, 0};
        if (poll(&waiting, 1, 10000) == 1) {
            int client = accept(listener, nullptr, nullptr);
            reached = client >= 0;
            if (client >= 0)
                ::close(client);
        }
    });
    {
        BackendRegistry registry;
        DbConnection connection;
        EXPECT_FALSE(connection.open(std::string("127.0.0.1"), std::string("root"), std::nullopt, "", std::nullopt,
                                     DbKind::Mysql));
        EXPECT_NE(connection.lastErrorText(), "");
        connection.close();
    }
    acceptor.join();
    ::close(listener);
    EXPECT_TRUE(reached);
}
