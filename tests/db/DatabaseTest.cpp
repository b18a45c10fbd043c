// Cases that hold for every backend of Database; the test programs run them
// on SQLite and on the private MariaDB server.

#include "DatabaseFixture.h"

#include "db/Transaction.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

// Texts that a literal pasted the wrong way would cut short or change: quotes,
// backslashes (one ends the text), a "?" and GBK whose second byte is 0x5C.
std::vector<std::string> awkwardTexts()
{
    return {GBK("中文'引号'"), "back\\slash\\", "it''s ?", std::string("\x95\x5C", 2), ""};
}

} // namespace

TEST_P(DatabaseTest, BoundValuesComeBackAsTheyWent)
{
    const std::string bytes("\x00\x27\x5C\xFF?", 5);
    Statement insert = db.prepare("INSERT INTO T (name, n, pic) VALUES (?, ?, ?)");
    ASSERT_TRUE(insert.isValid()) << db.lastErrorText();
    for (const std::string& text : awkwardTexts()) {
        ASSERT_TRUE(insert.bind(1, text));
        ASSERT_TRUE(insert.bind(2, -(1LL << 40)));
        ASSERT_TRUE(insert.bindBlob(3, bytes));
        ASSERT_TRUE(insert.run()) << db.lastErrorText();
    }
    ASSERT_TRUE(insert.bindUtf8(1, "汉字"));
    ASSERT_TRUE(insert.bindNull(2));
    ASSERT_TRUE(insert.bindNull(3));
    ASSERT_TRUE(insert.run()) << db.lastErrorText();

    Statement select = db.prepare("SELECT name, n, pic FROM T ORDER BY id");
    for (const std::string& text : awkwardTexts()) {
        ASSERT_TRUE(select.step()) << db.lastErrorText();
        EXPECT_EQ(select.text(0), text);
        EXPECT_EQ(select.integer(1), -(1LL << 40));
        EXPECT_EQ(select.blob(2), bytes);
        EXPECT_FALSE(select.isNull(0));
    }
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.text(0), GBK("汉字"));
    EXPECT_EQ(select.utf8(0), "汉字");
    EXPECT_TRUE(select.isNull(1));
    EXPECT_TRUE(select.isNull(2));
    EXPECT_FALSE(select.step());
    EXPECT_FALSE(select.failed());
    EXPECT_EQ(select.columnName(1), "n");
    EXPECT_EQ(select.columnIndex("pic"), 2);
    EXPECT_EQ(select.columnIndex("missing"), -1);

    Database::Rows rows;
    ASSERT_TRUE(db.query("SELECT name, n FROM T WHERE n IS NULL", rows)) << db.lastErrorText();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], GBK("汉字"));
    EXPECT_EQ(rows[0][1], std::nullopt);
}

TEST_P(DatabaseTest, StatementsRunAgainWithTheirBindingsAndCountTheirRows)
{
    Statement insert = db.prepare("INSERT INTO T (name, n) VALUES (?, 7)");
    ASSERT_TRUE(insert.bind(1, "a"));
    ASSERT_TRUE(insert.run());
    const long long first = db.lastInsertKey();
    ASSERT_TRUE(insert.run());
    EXPECT_EQ(db.lastInsertKey(), first + 1);
    EXPECT_EQ(db.changedRows(), 1);

    // A "?" inside a quoted text is no parameter.
    Statement update = db.prepare("UPDATE T SET name = '?' WHERE n = ?");
    ASSERT_TRUE(update.bind(1, 7LL));
    ASSERT_TRUE(update.run()) << db.lastErrorText();
    EXPECT_EQ(db.changedRows(), 2);
    EXPECT_FALSE(update.bind(2, 1LL));

    Statement count = db.prepare("SELECT COUNT(*) FROM T WHERE name = ?");
    ASSERT_TRUE(count.bind(1, "?"));
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 2);
    count.reset();
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 2);
}

TEST_P(DatabaseTest, RefusedTextsStopTheStatementUntilRebound)
{
    Statement insert = db.prepare("INSERT INTO T (name) VALUES (?)");
    EXPECT_FALSE(insert.bind(1, std::string("a\0b", 3)));
    EXPECT_NE(db.lastErrorText(), "");
    EXPECT_FALSE(insert.run());
    EXPECT_FALSE(insert.bind(1, "a\x81"));
    EXPECT_FALSE(insert.bindUtf8(1, std::string("x\0", 2)));
    EXPECT_FALSE(insert.run());
    ASSERT_TRUE(insert.bind(1, "ok"));
    EXPECT_TRUE(insert.run()) << db.lastErrorText();
    Database::Rows rows;
    ASSERT_TRUE(db.query("SELECT name FROM T", rows));
    EXPECT_EQ(rows.size(), 1u);
}

TEST_P(DatabaseTest, FailuresTellTheirReasonAndSuccessesClearIt)
{
    EXPECT_FALSE(db.execute("INSERT INTO Missing (name) VALUES ('a')"));
    EXPECT_NE(db.lastErrorText(), "");
    EXPECT_TRUE(db.execute("INSERT INTO T (name) VALUES ('a')"));
    EXPECT_EQ(db.lastErrorText(), "");
    Statement bad = db.prepare("SELECT nothing FROM Missing");
    EXPECT_FALSE(bad.isValid() && bad.step());
    EXPECT_TRUE(bad.failed());
    EXPECT_NE(db.lastErrorText(), "");
    Database::Rows rows{{std::string("stale")}};
    EXPECT_FALSE(db.query("SELECT * FROM Missing", rows));
    EXPECT_TRUE(rows.empty());

    EXPECT_TRUE(db.tableExists("T"));
    EXPECT_FALSE(db.tableExists("Missing"));
    EXPECT_FALSE(db.tableExists("T' OR '1'='1"));
}

TEST_P(DatabaseTest, TransactionsRollBackUnlessCommitted)
{
    {
        Transaction transaction(db);
        ASSERT_TRUE(transaction.isActive()) << db.lastErrorText();
        EXPECT_TRUE(db.inTransaction());
        ASSERT_TRUE(db.execute("INSERT INTO T (name) VALUES ('dropped')"));
    }
    EXPECT_FALSE(db.inTransaction());
    {
        Transaction transaction(db);
        ASSERT_TRUE(db.execute("INSERT INTO T (name) VALUES ('kept')"));
        EXPECT_TRUE(transaction.commit()) << db.lastErrorText();
        EXPECT_FALSE(transaction.commit());
    }
    Database::Rows rows;
    ASSERT_TRUE(db.query("SELECT name FROM T", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "kept");
}

TEST_P(DatabaseTest, StatementsOfAClosedDatabaseFail)
{
    Statement insert = db.prepare("INSERT INTO T (name) VALUES ('a')");
    db.close();
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(insert.run());
    EXPECT_FALSE(db.execute("SELECT 1"));
    EXPECT_FALSE(db.prepare("SELECT 1").isValid());
}
