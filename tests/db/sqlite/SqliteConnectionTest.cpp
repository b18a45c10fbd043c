#include "db/sqlite/SqliteConnection.h"

#include "db/sqlite/SqliteRecordset.h"
#include "platform/CodePage.h"
#include "tests/db/sqlite/SqliteTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <fstream>

namespace {

class SqliteConnectionTest : public ::testing::Test {
protected:
    void TearDown() override { db.close(); }

    std::string bankPath() const { return dir.file("tk.db"); }

    // Opens a bank of `rows` questions the way the application does.
    void openBank(int rows = 3)
    {
        ASSERT_TRUE(makeBank(bankPath(), rows));
        ASSERT_TRUE(db.open(bankPath(), true, std::string(), 1));
    }

    int countRows(const std::string& table = "KS_SJTK")
    {
        return std::stoi(queryDirect(bankPath(), "SELECT count(*) FROM " + table));
    }

    TempDir dir;
    SqliteConnection db;
};

std::string fileContent(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST_F(SqliteConnectionTest, OpensAnExistingBankWithAnEmptyPassword)
{
    openBank();
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(db.lastErrorText(), "");
    EXPECT_EQ(db.lastErrorCode(), SQLITE_OK);
}

TEST_F(SqliteConnectionTest, CreatesAMissingFileOnlyWhenAsked)
{
    EXPECT_FALSE(db.open(bankPath(), true));
    EXPECT_FALSE(std::filesystem::exists(bankPath()));
    EXPECT_NE(db.lastErrorText(), "");
    db.close();

    EXPECT_FALSE(db.open(bankPath(), true, std::nullopt, 2));
    EXPECT_FALSE(std::filesystem::exists(bankPath()));
    db.close();

    ASSERT_TRUE(db.open(bankPath(), true, std::nullopt, 1));
    EXPECT_TRUE(std::filesystem::exists(bankPath()));
    EXPECT_TRUE(db.execute("CREATE TABLE t (a)"));
    db.close();
    EXPECT_EQ(queryDirect(bankPath(), "SELECT count(*) FROM sqlite_master"), "1");
}

TEST_F(SqliteConnectionTest, WithoutUseFileOpensAFreshMemoryDatabase)
{
    ASSERT_TRUE(makeBank(bankPath(), 3));
    const std::string before = fileContent(bankPath());
    // The name exists, so the probe runs, but on the memory database.
    ASSERT_TRUE(db.open(bankPath(), false));
    EXPECT_FALSE(db.execute("SELECT * FROM KS_SJTK"));
    EXPECT_TRUE(db.execute("CREATE TABLE t (a)"));
    db.close();
    EXPECT_EQ(fileContent(bankPath()), before);

    ASSERT_TRUE(db.open(dir.file("nothing-here.db"), false));
    EXPECT_FALSE(std::filesystem::exists(dir.file("nothing-here.db")));
}

TEST_F(SqliteConnectionTest, RefusesAFileThatIsNotADatabase)
{
    const std::string text(5000, 'x');
    std::ofstream(bankPath(), std::ios::binary) << text;
    EXPECT_FALSE(db.open(bankPath(), true, std::string(), 1));
    EXPECT_EQ(db.lastErrorText(), "file is not a database");
    EXPECT_EQ(db.lastErrorCode(), SQLITE_NOTADB);
    EXPECT_TRUE(db.isOpen()); // the handle stays until close
    EXPECT_FALSE(db.execute("CREATE TABLE t (a)"));
    db.close();
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(fileContent(bankPath()), text);
}

TEST_F(SqliteConnectionTest, RefusesADirectoryNamedLikeTheBank)
{
    std::filesystem::create_directory(bankPath());
    EXPECT_FALSE(db.open(bankPath(), true, std::string(), 1));
    EXPECT_EQ(db.lastErrorText(), "unable to open database file");
    EXPECT_TRUE(std::filesystem::is_directory(bankPath()));
    EXPECT_TRUE(std::filesystem::is_empty(bankPath()));
}

TEST_F(SqliteConnectionTest, ReportsAFileThatCannotBeCreated)
{
    EXPECT_FALSE(db.open(dir.file("missing-folder/tk.db"), true, std::string(), 1));
    EXPECT_EQ(db.lastErrorText(), "unable to open database file");
}

TEST_F(SqliteConnectionTest, ReachesTheFileSystemWithUtf8Names)
{
    const std::string gbkName = dir.path().string() + "/" + GBK("模拟考试题库.db");
    ASSERT_TRUE(db.open(gbkName, true, std::string(), 1));
    ASSERT_TRUE(db.execute("CREATE TABLE t (a)"));
    db.close();
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "模拟考试题库.db"));
    // Opening it again takes the path for an existing file.
    ASSERT_TRUE(db.open(gbkName, true));
    EXPECT_TRUE(db.execute("INSERT INTO t VALUES (1)"));
}

TEST_F(SqliteConnectionTest, RefusesFileNamesThatAreNotValidGbk)
{
    EXPECT_FALSE(db.open(dir.path().string() + "/bad\x81.db", true, std::string(), 1));
    EXPECT_NE(db.lastErrorText(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(SqliteConnectionTest, TakesFileNamesLiterallyNotAsUris)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const bool opened = db.open("file:bank.db?mode=memory", true, std::string(), 1);
    const bool created = opened && db.execute("CREATE TABLE t (a)");
    db.close();
    std::filesystem::current_path(previous);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(created);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "file:bank.db?mode=memory"));
}

TEST_F(SqliteConnectionTest, APasswordNeverYieldsAnUnencryptedDatabase)
{
    const std::string message = GBK("此版本的 SQLite 不支持数据库加密：不能使用密码打开数据库，也不能设置密码");
    EXPECT_FALSE(db.open(bankPath(), true, std::string("secret"), 1));
    EXPECT_EQ(db.lastErrorText(), message);
    EXPECT_FALSE(std::filesystem::exists(bankPath()));

    ASSERT_TRUE(makeBank(bankPath(), 3));
    const std::string before = fileContent(bankPath());
    EXPECT_FALSE(db.open(bankPath(), true, std::string("secret")));
    EXPECT_EQ(db.lastErrorText(), message);
    EXPECT_EQ(fileContent(bankPath()), before);

    ASSERT_TRUE(db.open(bankPath(), true));
    EXPECT_FALSE(db.changeKey("secret"));
    EXPECT_EQ(db.lastErrorText(), message);
    EXPECT_EQ(db.lastErrorCode(), SQLITE_ERROR);
    // The shared handle carries the message to every object using it.
    EXPECT_EQ(SqliteConnection(db.handle()).lastErrorText(), message);
    EXPECT_TRUE(db.changeKey(""));
    // The next statement replaces the message.
    EXPECT_TRUE(db.execute("SELECT 1"));
    EXPECT_EQ(db.lastErrorText(), "");
}

TEST_F(SqliteConnectionTest, CloseIsSafeOnAClosedConnection)
{
    db.close();
    db.close();
    EXPECT_FALSE(db.isOpen());
    openBank();
    db.close();
    db.close();
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(db.handle(), nullptr);
}

TEST_F(SqliteConnectionTest, StatementsOnAClosedConnectionFail)
{
    EXPECT_FALSE(db.execute("SELECT 1"));
    EXPECT_EQ(db.lastErrorText(), GBK("数据库未打开"));
    EXPECT_FALSE(db.beginTransaction());
    EXPECT_FALSE(db.setBusyTimeout(10));
    EXPECT_FALSE(db.changeKey(""));
    EXPECT_EQ(db.changes(), 0);
    db.interrupt();
}

TEST_F(SqliteConnectionTest, ExecutesStatementsAndReportsSyntaxErrors)
{
    openBank();
    EXPECT_TRUE(db.execute(""));
    EXPECT_TRUE(db.execute("SELECT * FROM KS_SJTK"));
    EXPECT_TRUE(db.execute("UPDATE KS_SJTK SET Answer='B' WHERE id<3"));
    EXPECT_EQ(db.changes(), 2);
    EXPECT_FALSE(db.execute("SELEC * FROM KS_SJTK"));
    EXPECT_EQ(db.lastErrorText(), "near \"SELEC\": syntax error");
    EXPECT_FALSE(db.execute(GBK("SELECT * FROM 不存在的表")));
    EXPECT_EQ(db.lastErrorText(), GBK("no such table: 不存在的表"));
    // A quote inside a value ends the literal early: an ordinary failure.
    EXPECT_FALSE(db.execute("UPDATE KS_SJTK SET Title='it's' WHERE id=1"));
    EXPECT_EQ(countRows(), 3);
}

TEST_F(SqliteConnectionTest, RefusesStatementsWithInvalidGbk)
{
    openBank();
    EXPECT_FALSE(db.execute("INSERT INTO KS_SJTK (Title) VALUES ('broken\x81')"));
    EXPECT_EQ(db.lastErrorText(), GBK("SQL 语句含有无效的 GBK 字符，未执行"));
    EXPECT_EQ(countRows(), 3);
    // Valid GBK, 0x80 included, is stored as its UTF-8 form.
    ASSERT_TRUE(db.execute(GBK("UPDATE KS_SJTK SET Title='中文　题目' WHERE id=1")));
    ASSERT_TRUE(db.execute("UPDATE KS_SJTK SET Tmnr='\x80' WHERE id=1"));
    EXPECT_EQ(queryDirect(bankPath(), "SELECT Title || Tmnr FROM KS_SJTK WHERE id=1"), "中文　题目€");
}

TEST_F(SqliteConnectionTest, TransactionsCommitAndRollBack)
{
    openBank();
    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(db.execute("DELETE FROM KS_SJTK"));
    ASSERT_TRUE(db.rollback());
    EXPECT_EQ(countRows(), 3);
    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(db.execute("DELETE FROM KS_SJTK WHERE id=1"));
    ASSERT_TRUE(db.commit());
    EXPECT_EQ(countRows(), 2);
    EXPECT_FALSE(db.commit());
    EXPECT_EQ(db.lastErrorText(), "cannot commit - no transaction is active");
    EXPECT_TRUE(db.compact());
}

TEST_F(SqliteConnectionTest, AttachesAndDetachesDatabases)
{
    openBank();
    const std::string other = dir.file("other.db");
    ASSERT_TRUE(runDirect(other, "CREATE TABLE extra (a); INSERT INTO extra VALUES (7);"));
    ASSERT_TRUE(db.attachDatabase(other, "o"));
    EXPECT_TRUE(db.execute("INSERT INTO KS_SJTK (id) SELECT a FROM o.extra"));
    ASSERT_TRUE(db.detachDatabase("o"));
    EXPECT_FALSE(db.execute("SELECT * FROM o.extra"));
    EXPECT_EQ(countRows(), 4);
}

TEST_F(SqliteConnectionTest, ReportsLibraryVersionAndSetsTimeouts)
{
    EXPECT_EQ(db.libraryVersion(), sqlite3_libversion());
    openBank();
    EXPECT_TRUE(db.setBusyTimeout(50));
    db.interrupt();
    EXPECT_TRUE(db.execute("SELECT 1")); // an interrupt with nothing running is forgotten
}

TEST_F(SqliteConnectionTest, CopiesShareTheDatabaseAndDestroyingOneClosesNothing)
{
    openBank();
    {
        SqliteConnection copy = db;
        EXPECT_TRUE(copy.execute("DELETE FROM KS_SJTK WHERE id=1"));
    }
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(db.execute("DELETE FROM KS_SJTK WHERE id=2"));
    EXPECT_EQ(countRows(), 1);

    SqliteConnection other;
    EXPECT_FALSE(other.attachHandle(nullptr));
    EXPECT_TRUE(other.attachHandle(db.handle()));
    EXPECT_TRUE(other.execute("SELECT 1"));
}

TEST_F(SqliteConnectionTest, ARoundTripOfTenMegabytesKeepsEveryByte)
{
    openBank();
    std::string big;
    big.reserve(10 * 1024 * 1024);
    const std::string piece = GBK("题目内容　ABC€") + std::string("\x80xyz");
    while (big.size() < 10 * 1024 * 1024)
        big += piece;
    ASSERT_TRUE(db.execute("UPDATE KS_SJTK SET Title='" + big + "' WHERE id=2"));
    SqliteRecordset rs;
    ASSERT_TRUE(rs.attach(db));
    ASSERT_TRUE(rs.query("SELECT Title FROM KS_SJTK WHERE id=2"));
    std::string back;
    ASSERT_TRUE(rs.readText("Title", back));
    EXPECT_TRUE(back == big);
    rs.close();
}

TEST_F(SqliteConnectionTest, WritesFailAtOnceWhileAnotherProcessHoldsAWriteLock)
{
    openBank();
    LockHolder other(bankPath(), "BEGIN IMMEDIATE; UPDATE KS_SJTK SET Answer='D'");
    ASSERT_TRUE(other.held());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(db.execute("DELETE FROM KS_SJTK"));
    EXPECT_EQ(db.lastErrorText(), "database is locked");
    EXPECT_EQ(db.lastErrorCode(), SQLITE_BUSY);
    // Reading still works and sees the committed state.
    SqliteRecordset rs;
    rs.attach(db);
    ASSERT_TRUE(rs.query("SELECT * FROM KS_SJTK"));
    EXPECT_EQ(rs.recordCount(), 3);
    std::string answer;
    EXPECT_TRUE(rs.readText("Answer", answer));
    EXPECT_EQ(answer, "A");
    rs.close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(SqliteConnectionTest, OpenFailsAtOnceWhileAnotherProcessHoldsAnExclusiveLock)
{
    ASSERT_TRUE(makeBank(bankPath(), 3));
    {
        LockHolder other(bankPath(), "BEGIN EXCLUSIVE");
        ASSERT_TRUE(other.held());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(db.open(bankPath(), true, std::string(), 1));
        EXPECT_EQ(db.lastErrorText(), "database is locked");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        db.close();
    }
    ASSERT_TRUE(db.open(bankPath(), true, std::string(), 1));
    EXPECT_EQ(countRows(), 3);
}

TEST_F(SqliteConnectionTest, WritesToAReadOnlyDatabaseFail)
{
    openBank();
    db.close();
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(bankPath(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                 std::filesystem::perms::others_read);
    // The superuser writes to any file, so the check runs as an ordinary user.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(10);
        SqliteConnection readOnly;
        if (!readOnly.open(bankPath(), true, std::string(), 1))
            _exit(11);
        if (readOnly.execute("DELETE FROM KS_SJTK"))
            _exit(12);
        if (readOnly.lastErrorText() != "attempt to write a readonly database")
            _exit(13);
        if (!readOnly.execute("SELECT * FROM KS_SJTK"))
            _exit(14);
        readOnly.close();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(countRows(), 3);
}

namespace {

class SqliteSchemaTest : public SqliteConnectionTest {
protected:
    void SetUp() override { openBank(); }

    // Runs op and returns the one statement text it sent, converted to GBK.
    template <class Op> std::string sent(Op op)
    {
        StatementLog log(db.handle());
        EXPECT_TRUE(op()) << db.lastErrorText();
        EXPECT_EQ(log.statements().size(), 1u);
        const std::string utf8 = log.last();
        return platform::utf8ToGbk(utf8);
    }

    // The statements of the command-line program's .schema output, without
    // the decorations it adds: "IF NOT EXISTS" for tables with quoted names
    // and a comment listing the columns of a view.
    std::vector<std::string> cliSchema()
    {
        const std::string output = platform::utf8ToGbk(sqliteCli(bankPath(), ".schema"));
        std::vector<std::string> statements;
        std::size_t start = 0;
        for (std::size_t end; (end = output.find(";\n", start)) != std::string::npos; start = end + 2) {
            std::string statement = output.substr(start, end - start);
            const std::string guard = "CREATE TABLE IF NOT EXISTS ";
            if (statement.rfind(guard, 0) == 0)
                statement = "CREATE TABLE " + statement.substr(guard.size());
            const std::size_t comment = statement.find("\n/*");
            if (comment != std::string::npos)
                statement.erase(comment);
            statements.push_back(statement);
        }
        return statements;
    }
};

ColumnSpec column(const std::string& name, int typeCode, int flags = 0, const std::string& defaultValue = {},
                  int length = 0)
{
    ColumnSpec spec;
    spec.name = name;
    spec.typeCode = typeCode;
    spec.flags = flags;
    spec.defaultValue = defaultValue;
    spec.length = length;
    return spec;
}

} // namespace

TEST(SqliteColumnTextTest, TypeTextsByCode)
{
    const std::vector<std::pair<int, std::string>> expected{
        {0, "Integer"}, {1, "Integer"}, {2, "Double"},   {3, "VarChar(50)"}, {4, "Blob"}, {5, ""}, {6, "BigInt"},
        {7, "Float"},   {8, "Bit"},     {9, "DateTime"}, {10, "Text"},       {11, ""},    {-1, ""}};
    for (const auto& [code, text] : expected)
        EXPECT_EQ(SqliteConnection::columnTypeText(column("c", code)), text) << code;
    EXPECT_EQ(SqliteConnection::columnTypeText(column("c", 3, 0, {}, 20)), "VarChar(20)");
}

TEST(SqliteColumnTextTest, ConstraintTexts)
{
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 1)), "");
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 1, 1)), "Primary Key");
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 1, 3)), "Primary Key AutoIncrement");
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 1, 2)), " AutoIncrement");
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 1, 4)), " Not Null");
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 1, 7, "0")),
              "Primary Key AutoIncrement Not Null Default (0)");
    EXPECT_EQ(SqliteConnection::columnConstraintText(column("c", 10, 0, "'x'")), " Default ('x')");
}

TEST_F(SqliteSchemaTest, CreatesTablesWithTheExactStatement)
{
    const std::vector<ColumnSpec> columns{column("id", 1, 3), column("Title", 10)};
    EXPECT_EQ(sent([&] { return db.createTable("T", columns); }),
              "create table T (id Integer Primary Key AutoIncrement ,Title Text  )");
    EXPECT_TRUE(db.tableExists("T"));
    EXPECT_TRUE(db.execute("INSERT INTO T (Title) VALUES ('a')"));
    // An existing table and an empty column list both fail.
    EXPECT_FALSE(db.createTable("T", columns));
    EXPECT_NE(db.lastErrorText(), "");
    EXPECT_FALSE(db.createTable("U", {}));
    EXPECT_EQ(db.lastErrorText(), "incomplete input");
    EXPECT_FALSE(db.tableExists("U"));

    // Chinese names reach the database as UTF-8 and come back as GBK.
    EXPECT_EQ(sent([&] { return db.createTable(GBK("成绩"), {column(GBK("分数"), 2, 4, "0")}); }),
              GBK("create table 成绩 (分数 Double  Not Null Default (0) )"));
    EXPECT_TRUE(db.tableExists(GBK("成绩")));
    EXPECT_EQ(db.tableSql(GBK("成绩")), GBK("CREATE TABLE 成绩 (分数 Double  Not Null Default (0) )"));
}

TEST_F(SqliteSchemaTest, DropsClearsAndRenamesTables)
{
    EXPECT_EQ(sent([&] { return db.dropTable("Missing"); }), "Drop table if exists Missing");
    EXPECT_EQ(sent([&] { return db.clearTable("KS_SJTK"); }), "Delete From KS_SJTK");
    EXPECT_EQ(countRows(), 0);
    EXPECT_TRUE(db.tableExists("KS_SJTK"));
    EXPECT_EQ(sent([&] { return db.renameTable("KS_SJTK", "Bank"); }), "alter table KS_SJTK rename to Bank");
    EXPECT_FALSE(db.tableExists("KS_SJTK"));
    EXPECT_TRUE(db.tableExists("Bank"));
    EXPECT_FALSE(db.renameTable("KS_SJTK", "Other"));
    EXPECT_EQ(db.lastErrorText(), "no such table: KS_SJTK");
    EXPECT_TRUE(db.dropTable("Bank"));
    EXPECT_FALSE(db.tableExists("Bank"));
    EXPECT_FALSE(db.clearTable("Bank"));
}

TEST_F(SqliteSchemaTest, TableExistsOnlyForTablesOfThatExactName)
{
    EXPECT_TRUE(db.tableExists("KS_SJTK"));
    EXPECT_FALSE(db.tableExists("ks_sjtk"));
    EXPECT_FALSE(db.tableExists("Missing"));
    ASSERT_TRUE(db.createView("V", "SELECT id FROM KS_SJTK"));
    EXPECT_FALSE(db.tableExists("V"));
    EXPECT_FALSE(db.tableExists("it's")); // the quote breaks the statement
    EXPECT_FALSE(db.tableExists("bad\x81"));
    EXPECT_NE(db.lastErrorText(), "");
}

TEST_F(SqliteSchemaTest, AddsColumns)
{
    EXPECT_EQ(sent([&] { return db.addColumn("KS_SJTK", column("Score", 1, 0, "0")); }),
              "alter table KS_SJTK add column Score Integer  Default (0) ");
    EXPECT_EQ(sent([&] { return db.addColumn("KS_SJTK", column("Note", 3, 0, {}, 20)); }),
              "alter table KS_SJTK add column Note VarChar(20)  ");
    EXPECT_EQ(queryDirect(bankPath(), "SELECT Score FROM KS_SJTK WHERE id=1"), "0");
    EXPECT_FALSE(db.addColumn("KS_SJTK", column("Score", 1)));
    EXPECT_EQ(db.lastErrorText(), "duplicate column name: Score");
}

TEST_F(SqliteSchemaTest, CreatesAndDropsIndexes)
{
    EXPECT_EQ(sent([&] { return db.createIndex("KS_SJTK", "Answer, did", "ix_answer"); }),
              "create index if not exists ix_answer on KS_SJTK(Answer, did)");
    EXPECT_TRUE(db.createIndex("KS_SJTK", "Answer, did", "ix_answer"));
    EXPECT_EQ(db.indexSql("KS_SJTK", "ix_answer"), "CREATE INDEX ix_answer on KS_SJTK(Answer, did)");
    EXPECT_EQ(db.indexSql("Other", "ix_answer"), "");
    EXPECT_EQ(sent([&] { return db.dropIndex("ix_answer"); }), "drop index if exists ix_answer");
    EXPECT_EQ(db.indexSql("KS_SJTK", "ix_answer"), "");
    EXPECT_TRUE(db.dropIndex("ix_answer"));
    // Automatic indexes have no stored statement.
    ASSERT_TRUE(db.execute("CREATE TABLE u (a UNIQUE)"));
    EXPECT_EQ(db.indexSql("u", "sqlite_autoindex_u_1"), "");
}

TEST_F(SqliteSchemaTest, CreatesAndDropsViews)
{
    EXPECT_EQ(sent([&] { return db.createView("V", "SELECT id, Title FROM KS_SJTK WHERE id > 1"); }),
              "CREATE VIEW V AS SELECT id, Title FROM KS_SJTK WHERE id > 1");
    EXPECT_EQ(db.viewSql("V"), "CREATE VIEW V AS SELECT id, Title FROM KS_SJTK WHERE id > 1");
    EXPECT_EQ(queryDirect(bankPath(), "SELECT count(*) FROM V"), "2");
    EXPECT_FALSE(db.createView("V", "SELECT 1"));
    EXPECT_EQ(sent([&] { return db.createView("TV", "SELECT 1", true); }), "CREATE TEMPORARY VIEW TV AS SELECT 1");
    EXPECT_EQ(db.viewSql("TV"), ""); // temporary objects live in another schema
    EXPECT_EQ(sent([&] { return db.dropView("V"); }), "DROP VIEW V");
    EXPECT_FALSE(db.dropView("V"));
    EXPECT_EQ(db.lastErrorText(), "no such view: V");
}

TEST_F(SqliteSchemaTest, CreatesAndDropsTriggers)
{
    ASSERT_TRUE(db.execute("CREATE TABLE log (id, answer)"));
    const std::string body = "INSERT INTO log VALUES (new.id, new.Answer);";
    EXPECT_EQ(sent([&] { return db.createTrigger("KS_SJTK", "trg", body, 3, std::string("Answer"), 2); }),
              "CREATE TRIGGER trg AFTER UPDATE OF Answer ON KS_SJTK BEGIN " + body + " END");
    ASSERT_TRUE(db.execute("UPDATE KS_SJTK SET Answer='C' WHERE id=2"));
    EXPECT_EQ(queryDirect(bankPath(), "SELECT id || answer FROM log"), "2C");
    EXPECT_EQ(db.triggerSql("KS_SJTK", "trg"),
              "CREATE TRIGGER trg AFTER UPDATE OF Answer ON KS_SJTK BEGIN " + body + " END");
    EXPECT_EQ(db.triggerSql("log", "trg"), "");

    EXPECT_EQ(sent([&] { return db.createTrigger("KS_SJTK", "t0", body, 0, std::nullopt, 1); }),
              "CREATE TRIGGER t0 BEFORE INSERT ON KS_SJTK BEGIN " + body + " END");
    EXPECT_EQ(sent([&] { return db.createTrigger("KS_SJTK", "t1", "SELECT 1;", 1); }),
              "CREATE TRIGGER t1 DELETE ON KS_SJTK BEGIN SELECT 1; END");
    EXPECT_EQ(sent([&] { return db.createTrigger("KS_SJTK", "t2", "SELECT 1;", 2, std::nullopt, 7, true); }),
              "CREATE TEMPORARY TRIGGER t2 UPDATE ON KS_SJTK BEGIN SELECT 1; END");
    // Without an event the statement breaks where the event belongs.
    EXPECT_FALSE(db.createTrigger("KS_SJTK", "t3", "SELECT 1;", 9));
    EXPECT_EQ(db.lastErrorText(), "near \"ON\": syntax error");
    EXPECT_FALSE(db.createTrigger("KS_SJTK", "trg", body, 0));

    EXPECT_EQ(sent([&] { return db.dropTrigger("trg"); }), "DROP TRIGGER trg");
    EXPECT_FALSE(db.dropTrigger("trg"));
    EXPECT_EQ(db.lastErrorText(), "no such trigger: trg");
}

TEST_F(SqliteSchemaTest, ListsTables)
{
    EXPECT_EQ(db.listTables(), "KS_SJTK,");
    EXPECT_EQ(db.listTables(1), "KS_SJTK,");
    ASSERT_TRUE(db.createTable("Auto", {column("id", 1, 3)}));
    ASSERT_TRUE(db.createView("V", "SELECT 1"));
    EXPECT_EQ(db.listTables(0), "KS_SJTK,Auto,");
    EXPECT_EQ(db.listTables(1), "KS_SJTK,Auto,sqlite_sequence,");
    EXPECT_EQ(db.listTables(2), "");
    EXPECT_EQ(db.listTables(-1), "");

    db.close();
    ASSERT_TRUE(db.open(dir.file("empty.db"), true, std::string(), 1));
    EXPECT_EQ(db.listTables(), "");
    EXPECT_EQ(db.tableSql("KS_SJTK"), "");
}

TEST_F(SqliteSchemaTest, StoredStatementsMatchTheCommandLineSchema)
{
    ASSERT_TRUE(db.createTable("Scores", {column("id", 1, 3), column("Mark", 2, 4, "0"), column("Photo", 4)}));
    ASSERT_TRUE(db.addColumn("Scores", column("Name", 3, 0, {}, 20)));
    ASSERT_TRUE(db.createIndex("Scores", "Mark", "ix_mark"));
    ASSERT_TRUE(db.createView("Good", "SELECT * FROM Scores WHERE Mark >= 60"));
    ASSERT_TRUE(db.createTrigger("Scores", "keep", "UPDATE Scores SET Mark = 0 WHERE Mark < 0;", 0, std::nullopt, 2));
    ASSERT_TRUE(db.renameTable("KS_SJTK", "Bank"));

    ASSERT_TRUE(db.createTable(GBK("成绩"), {column(GBK("分数"), 2)}));

    const std::vector<std::string> schema = cliSchema();
    const std::vector<std::string> ours{db.tableSql("Scores"),
                                        db.tableSql("Bank"),
                                        db.tableSql("sqlite_sequence"),
                                        db.tableSql(GBK("成绩")),
                                        db.indexSql("Scores", "ix_mark"),
                                        db.viewSql("Good"),
                                        db.triggerSql("Scores", "keep")};
    EXPECT_EQ(schema.size(), ours.size());
    for (const std::string& sql : ours) {
        ASSERT_FALSE(sql.empty());
        EXPECT_NE(std::find(schema.begin(), schema.end(), sql), schema.end()) << sql;
    }
}
