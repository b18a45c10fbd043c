#include "DbFacadeFixture.h"

#include <gtest/gtest.h>

namespace {

const DbKind noBackendKind = static_cast<DbKind>(2);

bool openWithKind(DbConnection& connection, DbKind kind)
{
    return connection.open(std::nullopt, std::nullopt, "", "unused.db", std::nullopt, kind);
}

} // namespace

TEST_P(DbConnectionTest, ExecuteReportsSuccessAndTheReasonOfAFailure)
{
    EXPECT_TRUE(connection.execute("INSERT INTO T (name) VALUES ('a')"));
    EXPECT_EQ(connection.lastErrorText(), "");
    EXPECT_FALSE(connection.execute("INSERT INTO Missing (name) VALUES ('a')"));
    EXPECT_NE(connection.lastErrorText(), "");
    EXPECT_FALSE(connection.execute("INSERT INTO T (name) VALUES ('it's')"));
    EXPECT_EQ(rowCount(), 1);
}

// Rows a statement returns are dropped; on MySQL an unread result would make
// every later command fail as out of sync.
TEST_P(DbConnectionTest, ExecuteOfAQueryLeavesTheConnectionUsable)
{
    addRow(1, "a", 1);
    EXPECT_TRUE(connection.execute("SELECT * FROM T"));
    EXPECT_TRUE(connection.execute("INSERT INTO T (name) VALUES ('b')")) << connection.lastErrorText();
    EXPECT_TRUE(connection.execute("SELECT name FROM T"));
    EXPECT_EQ(rowCount(), 2);
    EXPECT_FALSE(connection.execute("SELECT * FROM Missing"));
    EXPECT_TRUE(connection.execute("DELETE FROM T WHERE id=1")) << connection.lastErrorText();
}

TEST_P(DbConnectionTest, CloseKeepsTheKindSoLaterCallsFailAtTheBackend)
{
    connection.close();
    EXPECT_EQ(BackendRegistry::currentKind(), backend->kind());
    EXPECT_FALSE(connection.execute("INSERT INTO T (name) VALUES ('a')"));
    EXPECT_FALSE(recordset.open("SELECT * FROM T"));
    connection.close();
}

TEST_P(DbConnectionTest, KindTwoDisablesEverythingAndLeavesTheBackendOpen)
{
    addRow(1, "a", 1);
    EXPECT_FALSE(openWithKind(connection, noBackendKind));
    EXPECT_EQ(BackendRegistry::currentKind(), noBackendKind);

    EXPECT_FALSE(connection.execute("INSERT INTO T (name) VALUES ('b')"));
    EXPECT_EQ(connection.lastErrorText(), "");
    EXPECT_EQ(connection.clientVersion(), "");
    EXPECT_FALSE(connection.createTable("U"));
    EXPECT_FALSE(connection.addColumn("T", "c"));
    EXPECT_FALSE(connection.beginTransaction());
    EXPECT_FALSE(connection.commit());
    EXPECT_FALSE(connection.rollback());
    EXPECT_FALSE(connection.compact());
    EXPECT_FALSE(connection.clearTable("T"));
    EXPECT_FALSE(connection.dropTable("T"));
    connection.close();

    EXPECT_FALSE(recordset.attach(connection));
    EXPECT_FALSE(recordset.open("SELECT * FROM T"));
    EXPECT_EQ(recordset.recordCount(), 0);
    EXPECT_EQ(recordset.fieldCount(), 0);
    EXPECT_EQ(recordset.fieldIndex("name"), -1);
    EXPECT_EQ(recordset.fieldName(0), "");
    EXPECT_FALSE(recordset.moveFirst());
    std::string text = "kept";
    EXPECT_FALSE(recordset.readText("name", text));
    EXPECT_EQ(text, "kept");
    double number = 7.5;
    EXPECT_FALSE(recordset.readDouble("score", number));
    EXPECT_EQ(number, 7.5);
    EXPECT_FALSE(recordset.insertRow("T", "name='b'"));
    EXPECT_FALSE(recordset.updateRows("T", "name='b'", "1=1"));
    EXPECT_FALSE(recordset.deleteRows("T", "1=1"));
    EXPECT_FALSE(recordset.writeBlob("T", "pic", std::nullopt, ByteArray{1}));
    EXPECT_FALSE(recordset.writeBlobSqlite("T", "pic", std::nullopt, ByteArray{1}));
    EXPECT_FALSE(recordset.exists("T", "1=1"));

    // The backend's connection was not closed by the disabled open.
    registry.setKind(backend->kind());
    EXPECT_EQ(rowCount(), 1);
}

TEST_P(DbConnectionTest, CreateTableAndAddColumn)
{
    ASSERT_TRUE(connection.createTable("U"));
    EXPECT_FALSE(connection.createTable("U"));
    EXPECT_FALSE(connection.execute("INSERT INTO U (id, c) VALUES (1, 'x')"));
    // Type and length are always those of a 50-character text column.
    ASSERT_TRUE(connection.addColumn("U", "c", "INTEGER", 10)) << connection.lastErrorText();
    ASSERT_TRUE(connection.execute("INSERT INTO U (id, c) VALUES (1, 'not a number')"));
    ASSERT_TRUE(recordset.open("SELECT id, c FROM U"));
    std::string text;
    EXPECT_TRUE(recordset.readText("c", text));
    EXPECT_EQ(text, "not a number");
    EXPECT_FALSE(connection.addColumn("Missing", "c"));
}

TEST_P(DbConnectionTest, ClearAndDropTable)
{
    addRow(1, "a", 1);
    addRow(2, "b", 2);
    ASSERT_TRUE(connection.clearTable("T"));
    EXPECT_EQ(rowCount(), 0);
    ASSERT_TRUE(connection.dropTable("T"));
    EXPECT_FALSE(connection.execute("INSERT INTO T (name) VALUES ('a')"));
    EXPECT_FALSE(connection.clearTable("T"));
}

TEST_P(DbConnectionTest, TransactionsCommitAndRollBack)
{
    ASSERT_TRUE(connection.beginTransaction());
    addRow(1, "gone", 1);
    ASSERT_TRUE(connection.rollback());
    EXPECT_EQ(rowCount(), 0);

    ASSERT_TRUE(connection.beginTransaction());
    addRow(2, "kept", 2);
    ASSERT_TRUE(connection.commit());
    EXPECT_EQ(rowCount(), 1);
}

TEST_P(DbConnectionTest, VersionAndCompact)
{
    EXPECT_NE(connection.clientVersion(), "");
    addRow(1, "a", 1);
    EXPECT_TRUE(connection.compact());
    EXPECT_EQ(rowCount(), 1);
}

TEST(DbConnectionWithoutRegistry, EverythingFailsQuietly)
{
    ASSERT_EQ(BackendRegistry::instance(), nullptr);
    DbConnection connection;
    DbRecordset recordset;
    EXPECT_FALSE(openWithKind(connection, DbKind::Sqlite));
    EXPECT_EQ(BackendRegistry::currentKind(), DbKind::None);
    EXPECT_FALSE(connection.execute("SELECT 1"));
    EXPECT_EQ(connection.lastErrorText(), "");
    connection.close();
    EXPECT_FALSE(recordset.open("SELECT 1"));
    EXPECT_FALSE(recordset.exists("T", "1=1"));
}

TEST(DbConnectionWithoutBackend, RegistryStartsWithNoKindAndOnlyTheFirstOneIsLive)
{
    BackendRegistry first;
    EXPECT_EQ(BackendRegistry::instance(), &first);
    EXPECT_EQ(BackendRegistry::currentKind(), DbKind::None);
    DbConnection connection;
    EXPECT_FALSE(connection.execute("SELECT 1"));
    {
        BackendRegistry second;
        EXPECT_EQ(BackendRegistry::instance(), &first);
    }
    EXPECT_EQ(BackendRegistry::instance(), &first);
}

// The windows tell a question deleted meanwhile by a change that matched no row.
TEST_P(DbConnectionTest, ChangedRowsCountTheRowsAChangeMatched)
{
    addRow(1, "a", 1);
    addRow(2, "b", 2);
    ASSERT_TRUE(connection.execute("UPDATE T SET name='a' WHERE id=1"));
    EXPECT_EQ(connection.changedRows(), 1) << "a row written with its own values still counts";
    ASSERT_TRUE(connection.execute("UPDATE T SET name='x' WHERE id=9"));
    EXPECT_EQ(connection.changedRows(), 0);
    ASSERT_TRUE(connection.execute("DELETE FROM T WHERE id=2"));
    EXPECT_EQ(connection.changedRows(), 1);
    ASSERT_TRUE(connection.execute("DELETE FROM T WHERE id=2"));
    EXPECT_EQ(connection.changedRows(), 0);
}
