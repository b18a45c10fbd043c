#include "DbFacadeFixture.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "db-facade-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path native(const std::string& utf8Name) const { return path_ / utf8Name; }
    std::string gbk(const std::string& utf8Name) const { return platform::utf8ToGbk(native(utf8Name).string()); }

private:
    std::filesystem::path path_;
};

class SqliteFacadeBackend : public FacadeBackend {
public:
    DbKind kind() const override { return DbKind::Sqlite; }
    bool open(DbConnection& connection) override
    {
        return connection.open(std::nullopt, std::nullopt, "", folder_.gbk("facade.db"), std::nullopt, DbKind::Sqlite);
    }
    std::string autoIdColumn() const override { return "id INTEGER PRIMARY KEY"; }

private:
    TempFolder folder_;
};

const FacadeBackendParam sqliteBackend{"Sqlite",
                                       [] { return std::unique_ptr<FacadeBackend>(new SqliteFacadeBackend); }};

} // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, DbConnectionTest, ::testing::Values(sqliteBackend), facadeBackendName);
INSTANTIATE_TEST_SUITE_P(Sqlite, DbRecordsetTest, ::testing::Values(sqliteBackend), facadeBackendName);

namespace {

// The facade tests on SQLite that look at what reaches the library: every
// statement text prepared on the registry's database is recorded.
class DbFacadeSqliteTest : public DbFacadeTest {
protected:
    void SetUp() override
    {
        DbFacadeTest::SetUp();
        if (HasFatalFailure())
            return;
        sqlite3_trace_v2(registry.sqliteConnection().handle(), SQLITE_TRACE_STMT, &DbFacadeSqliteTest::record,
                         &statements);
    }

    static int record(unsigned, void* context, void* statement, void*)
    {
        const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
        static_cast<std::vector<std::string>*>(context)->push_back(sql ? sql : "");
        return 0;
    }

    // Whether the statement was sent; the log is emptied for the next check.
    bool sent(const std::string& sql)
    {
        std::vector<std::string> seen;
        seen.swap(statements);
        return std::find(seen.begin(), seen.end(), sql) != seen.end();
    }

    std::vector<std::string> statements;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, DbFacadeSqliteTest, ::testing::Values(sqliteBackend), facadeBackendName);

TEST_P(DbFacadeSqliteTest, BuiltStatementsReachSqliteAsWritten)
{
    addRow(5, "five", 5);
    statements.clear();
    EXPECT_TRUE(recordset.exists("T", "id=5"));
    EXPECT_TRUE(sent("SELECT * FROM T WHERE id=5"));
    EXPECT_TRUE(recordset.open("T", 2));
    EXPECT_TRUE(sent("Select * From T"));
    EXPECT_TRUE(recordset.updateRows("T", "name='v'", "id=5"));
    EXPECT_TRUE(sent("UPDATE T SET name='v' WHERE (id=5)"));
    EXPECT_TRUE(recordset.deleteRows("T", "id=5"));
    EXPECT_TRUE(sent("DELETE FROM T WHERE (id=5)"));
    EXPECT_TRUE(recordset.insertRow("T", "name='1',score='x y'"));
    EXPECT_TRUE(sent("INSERT INTO T (name,score) VALUES ('1','x y')"));
    EXPECT_TRUE(recordset.writeBlob("T", "pic", std::nullopt, ByteArray{1}));
    EXPECT_TRUE(sent("insert into T (pic) values (?)"));
    EXPECT_TRUE(recordset.writeBlob("T", "pic", "id=1", ByteArray{1}));
    EXPECT_TRUE(sent("update T set pic=? where id=1"));
    EXPECT_TRUE(connection.createTable("U"));
    EXPECT_TRUE(sent("CREATE TABLE U ( id INTEGER PRIMARY KEY )"));
    EXPECT_TRUE(connection.addColumn("U", "c", "INTEGER", 10));
    EXPECT_TRUE(sent("alter table U add c TEXT(50)"));
    EXPECT_TRUE(connection.compact());
    EXPECT_TRUE(sent("VACUUM"));
    EXPECT_TRUE(connection.clearTable("U"));
    EXPECT_TRUE(sent("Delete From U"));
    EXPECT_TRUE(connection.dropTable("U"));
    EXPECT_TRUE(sent("Drop table if exists U"));
    EXPECT_TRUE(connection.dropTable("U"));
}

// SQLite would read the texts only up to the NUL byte and run what is left.
TEST_P(DbFacadeSqliteTest, TextsHoldingANulByteAreRefusedWhereTheyWouldBeCut)
{
    addRow(7, "x", 1);
    addRow(8, "x", 1);
    const std::string nulMessage = GBK("SQL 语句含有空字符（NUL），未执行");
    const std::string cutCondition("score=1\0 and id=7", 18);
    EXPECT_FALSE(connection.execute("UPDATE T SET name='y' WHERE " + cutCondition));
    EXPECT_EQ(connection.lastErrorText(), nulMessage);
    EXPECT_FALSE(recordset.updateRows("T", "name='y'", cutCondition));
    EXPECT_FALSE(recordset.deleteRows("T", cutCondition));
    EXPECT_FALSE(recordset.writeBlob("T", "pic", cutCondition, ByteArray{1}));
    EXPECT_EQ(connection.lastErrorText(), nulMessage);
    EXPECT_FALSE(recordset.insertRow("T", std::string("name='a\0b'", 11)));
    EXPECT_FALSE(recordset.exists("T", cutCondition));
    EXPECT_FALSE(recordset.open("SELECT * FROM T WHERE " + cutCondition));
    EXPECT_EQ(rowCount("name='x' AND pic IS NULL"), 2);

    EXPECT_FALSE(connection.open(std::nullopt, std::nullopt, "", std::string("facade.db\0x", 11), std::nullopt,
                                 DbKind::Sqlite));
    EXPECT_EQ(connection.lastErrorText(), GBK("数据库文件名含有空字符（NUL）"));
}

// An object handed out on the registry's handle shares its ownership, so its
// close() cannot leave the facades with a freed handle.
TEST_P(DbFacadeSqliteTest, BorrowedConnectionCloseLeavesTheRegistryHandleUsable)
{
    addRow(1, "a", 1);
    ASSERT_TRUE(recordset.open("SELECT * FROM T"));
    SqliteConnection handedOut = registry.sqliteRecordset().connection();
    handedOut.close();
    EXPECT_EQ(handedOut.handle(), nullptr);
    EXPECT_TRUE(connection.execute("INSERT INTO T (name) VALUES ('b')")) << connection.lastErrorText();
    // Releasing the last statement must not take the handle with it either.
    recordset.close();
    EXPECT_TRUE(connection.execute("INSERT INTO T (name) VALUES ('c')")) << connection.lastErrorText();
    EXPECT_EQ(rowCount(), 3);
}

TEST_P(DbFacadeSqliteTest, StatementWithoutRowsHasNoCountAndNoRows)
{
    addRow(1, "a", 1);
    ASSERT_TRUE(recordset.open("UPDATE T SET name='b'"));
    EXPECT_EQ(recordset.recordCount(), -1);
    EXPECT_FALSE(recordset.moveFirst());
    EXPECT_TRUE(recordset.exists("T", "name='b'"));
}

TEST_P(DbFacadeSqliteTest, ReadTextOfNullIsEmptyAndTrue)
{
    ASSERT_TRUE(recordset.writeBlob("T", "pic", std::nullopt, ByteArray{1}));
    ASSERT_TRUE(recordset.open("SELECT name FROM T"));
    std::string text = "old";
    EXPECT_TRUE(recordset.readText("name", text));
    EXPECT_EQ(text, "");
}

TEST_P(DbFacadeSqliteTest, VersionIsTheLibraryVersion)
{
    EXPECT_EQ(connection.clientVersion(), sqlite3_libversion());
}

TEST(DbConnectionSqlite, OpenCreatesAMissingFileAndReopenClosesTheFirst)
{
    TempFolder folder;
    BackendRegistry registry;
    DbConnection connection;
    DbRecordset recordset;
    const std::string name = folder.gbk("新题库.db");
    ASSERT_TRUE(connection.open(std::nullopt, std::nullopt, std::nullopt, name, std::nullopt, DbKind::Sqlite))
        << connection.lastErrorText();
    EXPECT_TRUE(std::filesystem::exists(folder.native("新题库.db")));
    ASSERT_TRUE(connection.execute("CREATE TABLE A (x)"));
    ASSERT_TRUE(recordset.attach(connection));
    ASSERT_TRUE(recordset.open("SELECT * FROM A"));

    ASSERT_TRUE(connection.open(std::nullopt, std::nullopt, "", folder.gbk("second.db"), std::nullopt, DbKind::Sqlite));
    EXPECT_FALSE(connection.execute("INSERT INTO A VALUES (1)"));
    // The recordset lost the first database with it and needs attaching anew.
    EXPECT_FALSE(recordset.open("SELECT 1 AS x"));
    ASSERT_TRUE(recordset.attach(connection));
    EXPECT_TRUE(recordset.open("SELECT 1 AS x"));
    connection.close();
    EXPECT_FALSE(recordset.open("SELECT 1 AS x"));
}

TEST(DbConnectionSqlite, FailedOpenLeavesTheKindSet)
{
    TempFolder folder;
    std::ofstream(folder.native("junk.db")) << "this is not a database, just some text that fills a page";
    BackendRegistry registry;
    DbConnection connection;
    EXPECT_FALSE(connection.open(std::nullopt, std::nullopt, "", folder.gbk("junk.db"), std::nullopt, DbKind::Sqlite));
    EXPECT_EQ(BackendRegistry::currentKind(), DbKind::Sqlite);
    EXPECT_NE(connection.lastErrorText(), "");
    EXPECT_FALSE(connection.execute("CREATE TABLE A (x)"));
    connection.close();
}

TEST(DbConnectionSqlite, RegistryClosesTheDatabaseAtShutdown)
{
    TempFolder folder;
    const std::filesystem::path file = folder.native("a.db");
    auto openCount = [&] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            if (std::filesystem::read_symlink(entry.path(), error) == file)
                ++count;
        }
        return count;
    };
    {
        BackendRegistry registry;
        DbConnection connection;
        DbRecordset recordset;
        ASSERT_TRUE(connection.open(std::nullopt, std::nullopt, "", folder.gbk("a.db"), std::nullopt, DbKind::Sqlite));
        ASSERT_TRUE(connection.execute("CREATE TABLE A (x); INSERT INTO A VALUES (1)"));
        ASSERT_TRUE(recordset.attach(connection));
        ASSERT_TRUE(recordset.open("SELECT * FROM A"));
        EXPECT_EQ(openCount(), 1);
    }
    EXPECT_EQ(openCount(), 0);
}
