#include "db/mysql/MysqlRecordset.h"

#include "platform/CodePage.h"
#include "tests/db/mysql/MysqlTestServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Contains;

namespace {

ByteArray bytes(const std::string& text)
{
    return ByteArray(text.begin(), text.end());
}

class MysqlRecordsetTest : public MysqlDatabaseTest {
protected:
    void SetUp() override
    {
        MysqlDatabaseTest::SetUp();
        ASSERT_TRUE(recordset.attach(connection));
    }
    void TearDown() override
    {
        recordset.close();
        MysqlDatabaseTest::TearDown();
    }

    // Three rows of (id, Title, cell).
    void fillThreeRows()
    {
        ASSERT_TRUE(connection.execute("CREATE TABLE t (id int, Title varchar(20), cell varchar(40))"));
        ASSERT_TRUE(connection.execute("INSERT INTO t VALUES (1, 'one', 'yes'), (2, 'two', '1'), (3, 'three', NULL)"));
    }

    std::string textAt(const std::string& field)
    {
        std::string text;
        EXPECT_TRUE(recordset.readText(field, text)) << field;
        return text;
    }

    MysqlRecordset recordset;
};

} // namespace

TEST(MysqlRecordsetAlone, NothingHeldWithoutResult)
{
    MysqlRecordset recordset;
    EXPECT_FALSE(recordset.attachHandle(nullptr));
    EXPECT_FALSE(recordset.isOpen());
    EXPECT_EQ(recordset.recordCount(), 0);
    EXPECT_EQ(recordset.fieldCount(), 0);
    EXPECT_EQ(recordset.affectedRows(), 0);
    EXPECT_EQ(recordset.fieldNameList(), "");
    EXPECT_FALSE(recordset.moveNext());
    EXPECT_FALSE(recordset.moveFirst());
    EXPECT_FALSE(recordset.moveLast());
    EXPECT_FALSE(recordset.moveTo(0));
    EXPECT_FALSE(recordset.open("select 1"));
    std::string text = "x";
    EXPECT_FALSE(recordset.readText("a", text));
    EXPECT_EQ(text, "");
    ByteArray blob{1};
    EXPECT_FALSE(recordset.readBlob("a", blob));
    EXPECT_TRUE(blob.empty());
    EXPECT_EQ(recordset.value("a"), FieldValue(std::string()));
    EXPECT_FALSE(recordset.connection().isConnected());
    // No connection: the plain escaping still quotes every dangerous byte.
    EXPECT_EQ(recordset.escapeBlob(bytes(std::string("\0'\\\n\r\x1A\"?", 8))), "'\\0\\'\\\\\\n\\r\\Z\\\"?'");
    recordset.close();
}

TEST(MysqlRecordsetAlone, NavigationFlagsFollowPositionAndTotal)
{
    NavigationFlags flags;
    MysqlRecordset::navigationFlags(5, 1, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, true, true, true}));
    MysqlRecordset::navigationFlags(1, 4, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, true, false, false}));
    MysqlRecordset::navigationFlags(4, 4, flags);
    EXPECT_EQ(flags, (NavigationFlags{false, false, true, true}));
    MysqlRecordset::navigationFlags(0, 4, flags);
    EXPECT_EQ(flags, (NavigationFlags{false, false, false, false}));
    flags = {true, false, true, false};
    MysqlRecordset::navigationFlags(9, 4, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, false, true, false}));
}

TEST_F(MysqlRecordsetTest, WalksRowsLikeTheClientLibrary)
{
    fillThreeRows();
    ASSERT_TRUE(recordset.open("SELECT * FROM t ORDER BY id"));
    EXPECT_TRUE(recordset.isOpen());
    EXPECT_EQ(recordset.recordCount(), 3);
    EXPECT_EQ(recordset.fieldCount(), 3);
    EXPECT_EQ(recordset.affectedRows(), 3);
    EXPECT_EQ(textAt("id"), "1");

    EXPECT_TRUE(recordset.moveLast());
    EXPECT_EQ(textAt("Title"), "three");
    EXPECT_FALSE(recordset.moveNext());
    std::string text = "kept?";
    EXPECT_FALSE(recordset.readText("Title", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(recordset.moveNext());

    EXPECT_TRUE(recordset.moveFirst());
    EXPECT_EQ(textAt("Title"), "one");
    EXPECT_TRUE(recordset.moveNext());
    EXPECT_EQ(textAt("Title"), "two");
    EXPECT_TRUE(recordset.moveTo(2));
    EXPECT_EQ(textAt("id"), "3");
    EXPECT_FALSE(recordset.moveTo(3));
    EXPECT_FALSE(recordset.readText("id", text));
    EXPECT_FALSE(recordset.moveTo(-1));
    EXPECT_TRUE(recordset.moveTo(0));
    EXPECT_EQ(textAt("id"), "1");

    recordset.close();
    EXPECT_FALSE(recordset.isOpen());
    EXPECT_EQ(recordset.recordCount(), 0);
    EXPECT_FALSE(recordset.moveFirst());
    EXPECT_EQ(recordset.fieldNameList(), "");
}

TEST_F(MysqlRecordsetTest, EmptyResultAndStatementsWithoutResult)
{
    fillThreeRows();
    ASSERT_TRUE(recordset.open("SELECT * FROM t WHERE id > 10"));
    EXPECT_TRUE(recordset.isOpen());
    EXPECT_EQ(recordset.recordCount(), 0);
    EXPECT_EQ(recordset.fieldNameList(), "id,Title,cell,");
    EXPECT_FALSE(recordset.moveFirst());
    EXPECT_FALSE(recordset.moveLast());
    std::string text;
    EXPECT_FALSE(recordset.readText("id", text));

    EXPECT_TRUE(recordset.open("UPDATE t SET Title = 'x' WHERE id = 1"));
    EXPECT_FALSE(recordset.isOpen());
    EXPECT_EQ(recordset.affectedRows(), 0);
    EXPECT_EQ(recordset.fieldCount(), 0);
    EXPECT_FALSE(recordset.moveFirst());
}

TEST_F(MysqlRecordsetTest, ModeTwoSelectsTheWholeTable)
{
    fillThreeRows();
    StatementLog log(connection);
    ASSERT_TRUE(recordset.open("t", 2));
    EXPECT_EQ(recordset.recordCount(), 3);
    EXPECT_TRUE(recordset.open("SELECT 1 AS one", 0));
    EXPECT_EQ(recordset.fieldNameList(), "one,");
    EXPECT_THAT(log.statements(), Contains("Select * From t"));
}

TEST_F(MysqlRecordsetTest, RejectedQueryHoldsNothingAndReplacesEarlierResult)
{
    fillThreeRows();
    ASSERT_TRUE(recordset.open("SELECT * FROM t"));
    ASSERT_TRUE(recordset.isOpen());
    // A second open replaces the held result instead of leaking it.
    ASSERT_TRUE(recordset.open("SELECT id FROM t WHERE id = 2"));
    EXPECT_EQ(recordset.recordCount(), 1);
    EXPECT_EQ(recordset.fieldNameList(), "id,");

    EXPECT_FALSE(recordset.open("SELECT * FROM no_such_table"));
    EXPECT_EQ(connection.lastErrorCode(), 1146);
    EXPECT_FALSE(recordset.isOpen());
    EXPECT_EQ(recordset.fieldCount(), 0);
    EXPECT_EQ(recordset.fieldNameList(), "");
    EXPECT_FALSE(recordset.open("SELEKT 1"));
    EXPECT_FALSE(connection.lastErrorText().empty());
    EXPECT_TRUE(recordset.open("SELECT count(*) AS n FROM t"));
    EXPECT_EQ(textAt("n"), "3");
}

TEST_F(MysqlRecordsetTest, FieldNamesAndDescriptions)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE q (id int, Title varchar(30), Title2 text)"));
    ASSERT_TRUE(connection.execute("INSERT INTO q VALUES (7, 'abcd', NULL)"));
    ASSERT_TRUE(recordset.open("SELECT id, Title FROM q"));
    EXPECT_EQ(recordset.fieldNameList(), "id,Title,");
    EXPECT_EQ(recordset.fieldIndex(""), -1);
    EXPECT_EQ(recordset.fieldIndex("Title"), 1);
    EXPECT_EQ(recordset.fieldIndex("title"), -1);
    EXPECT_EQ(recordset.fieldName(0), "id");
    EXPECT_EQ(recordset.fieldName(-1), "");
    EXPECT_EQ(recordset.fieldName(2), "");
    EXPECT_EQ(recordset.fieldMaxLength("Title"), 4);
    // Widths count bytes: 30 GBK characters of up to two bytes each.
    EXPECT_EQ(recordset.fieldLength("Title"), 60);
    EXPECT_EQ(recordset.fieldLength("nope"), -1);
    EXPECT_EQ(recordset.fieldMaxLength("nope"), -1);
    ASSERT_EQ(recordset.fields().size(), 2u);
    EXPECT_EQ(recordset.fields()[1].table, "q");
    EXPECT_EQ(recordset.fields()[1].db, database);

    // The descriptions are the recordset's own: a copy keeps them after close.
    MysqlRecordset copy = recordset;
    recordset.close();
    EXPECT_EQ(copy.fields()[0].name, "id");
    EXPECT_EQ(copy.fieldIndex("Title"), 1);
}

TEST_F(MysqlRecordsetTest, ReadsConvertTheText)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE n (a varchar(40), b varchar(40))"));
    ASSERT_TRUE(connection.execute("INSERT INTO n VALUES ('  -12abc', '2.5'), ('yes', '1'), ('2', 'true'), "
                                   "('99999999999', '-1.5e3x'), (NULL, '')"));
    ASSERT_TRUE(recordset.open("SELECT * FROM n"));

    int i = 1;
    std::int64_t i64 = 1;
    double d = 1;
    float f = 1;
    bool b = true;
    EXPECT_TRUE(recordset.readInt("a", i));
    EXPECT_EQ(i, -12);
    EXPECT_TRUE(recordset.readDouble("b", d));
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(recordset.readFloat("b", f));
    EXPECT_EQ(f, 2.5f);
    EXPECT_TRUE(recordset.readBool("a", b));
    EXPECT_TRUE(b);

    ASSERT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readBool("a", b));
    EXPECT_FALSE(b);
    EXPECT_TRUE(recordset.readBool("b", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(recordset.readDouble("a", d));
    EXPECT_EQ(d, 0.0);

    ASSERT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readBool("a", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(recordset.readBool("b", b));
    EXPECT_FALSE(b);

    ASSERT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readInt64("a", i64));
    EXPECT_EQ(i64, 99999999999);
    EXPECT_TRUE(recordset.readInt("a", i));
    EXPECT_EQ(i, 2147483647);
    EXPECT_TRUE(recordset.readDouble("b", d));
    EXPECT_EQ(d, -1500.0);

    ASSERT_TRUE(recordset.moveNext());
    std::string text = "x";
    EXPECT_TRUE(recordset.readText("a", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(recordset.readInt("b", i));
    EXPECT_EQ(i, 0);

    // A missing field: false, and the preset value.
    i = 5, d = 5, f = 5, b = true, i64 = 5;
    EXPECT_FALSE(recordset.readInt("c", i));
    EXPECT_FALSE(recordset.readDouble("c", d));
    EXPECT_FALSE(recordset.readFloat("c", f));
    EXPECT_FALSE(recordset.readBool("c", b));
    EXPECT_FALSE(recordset.readInt64("c", i64));
    EXPECT_EQ(i, 0);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(f, 0.0f);
    EXPECT_FALSE(b);
    EXPECT_EQ(i64, 0);
}

TEST_F(MysqlRecordsetTest, ReadsDateTimesWholeOrInParts)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE d (at datetime, note varchar(20))"));
    ASSERT_TRUE(connection.execute("INSERT INTO d VALUES ('2015-12-09 08:30:00', 'no date')"));
    ASSERT_TRUE(recordset.open("SELECT * FROM d"));
    DateTimeValue at;
    EXPECT_TRUE(recordset.readDateTime("at", at));
    EXPECT_EQ(at, *DateTimeValue::fromParts(2015, 12, 9, 8, 30, 0));
    EXPECT_TRUE(recordset.readDateTime("at", at, 1));
    EXPECT_EQ(at, *DateTimeValue::fromParts(2015, 12, 9));
    EXPECT_TRUE(recordset.readDateTime("at", at, 2));
    EXPECT_EQ(at.toText(), "2000-01-01 08:30:00");
    EXPECT_TRUE(recordset.readDateTime("note", at));
    EXPECT_EQ(at, DateTimeValue::earliest());
    at = DateTimeValue(5.0);
    EXPECT_FALSE(recordset.readDateTime("missing", at, 2));
    EXPECT_EQ(at, DateTimeValue::earliest());
}

TEST_F(MysqlRecordsetTest, ValueIsAlwaysText)
{
    fillThreeRows();
    ASSERT_TRUE(recordset.open("SELECT id, Title FROM t ORDER BY id"));
    EXPECT_EQ(recordset.value("Title"), FieldValue(std::string("one")));
    EXPECT_EQ(recordset.value(std::nullopt, 0), FieldValue(std::string("1")));
    EXPECT_EQ(recordset.value("nope"), FieldValue(std::string()));
    EXPECT_EQ(recordset.value(std::nullopt, 9), FieldValue(std::string()));

    FieldValue out(std::string("before"));
    EXPECT_FALSE(recordset.readValue(out, std::string("nope")));
    EXPECT_EQ(out, FieldValue(std::string("before")));
    EXPECT_TRUE(recordset.readValue(out, std::nullopt, 1));
    EXPECT_EQ(out, FieldValue(std::string("one")));
}

TEST_F(MysqlRecordsetTest, EscapedBlobIsSentAsQuotedLiteral)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE b (id int AUTO_INCREMENT PRIMARY KEY, data longblob)"));
    StatementLog log(connection);
    const ByteArray special = bytes(std::string("\0'\\", 3));
    EXPECT_TRUE(
        recordset.open("INSERT INTO b (data) VALUES (?)", 1, special, std::nullopt, std::nullopt, std::vector<int>{0}));
    EXPECT_FALSE(recordset.isOpen());
    EXPECT_THAT(log.statements(), Contains("INSERT INTO b (data) VALUES ('\\0\\'\\\\')"));

    // The same escaping as without a connection, where the bytes are single-byte ones.
    const ByteArray ascii = bytes(std::string("\0'\\\n\r\x1A\"?", 8));
    EXPECT_EQ(recordset.escapeBlob(ascii), MysqlRecordset().escapeBlob(ascii));

    ASSERT_TRUE(recordset.open("SELECT data FROM b"));
    ByteArray read;
    EXPECT_TRUE(recordset.readBlob("data", read));
    EXPECT_EQ(read, special);
    // readText stops at the first zero byte; readBlob does not.
    std::string text = "x";
    EXPECT_TRUE(recordset.readText("data", text));
    EXPECT_EQ(text, "");
}

TEST_F(MysqlRecordsetTest, PlaceholdersAreCountedInTheStatementOnly)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE b (x longblob, y longblob, z longblob)"));
    const ByteArray first = bytes("what?"), second = bytes("?"), third = bytes("last");
    ASSERT_TRUE(recordset.open("INSERT INTO b VALUES (?, ?, ?)", 1, first, second, third, std::vector<int>{1, 0, 7}));
    // A blob left out is NULL; placeholders beyond the flags stay as they are.
    ASSERT_TRUE(recordset.open("INSERT INTO b VALUES (?, ?, '?')", 1, second, std::nullopt, std::nullopt,
                               std::vector<int>{0, 0}));
    EXPECT_FALSE(recordset.open("INSERT INTO b VALUES (?, ?, ?)", 1, first, second, third));

    ASSERT_TRUE(recordset.open("SELECT * FROM b"));
    ASSERT_EQ(recordset.recordCount(), 2);
    ByteArray x, y, z;
    EXPECT_TRUE(recordset.readBlob("x", x));
    EXPECT_TRUE(recordset.readBlob("y", y));
    EXPECT_TRUE(recordset.readBlob("z", z));
    EXPECT_EQ(x, first);
    EXPECT_EQ(y, second);
    EXPECT_EQ(z, third);
    ASSERT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readBlob("x", x));
    EXPECT_TRUE(recordset.readBlob("y", y));
    EXPECT_TRUE(recordset.readBlob("z", z));
    EXPECT_EQ(x, second);
    EXPECT_EQ(y, ByteArray());
    EXPECT_EQ(z, bytes("?"));
    ASSERT_TRUE(recordset.open("SELECT count(*) AS n FROM b WHERE y IS NULL"));
    EXPECT_EQ(textAt("n"), "1");
}

TEST_F(MysqlRecordsetTest, EveryByteValueSurvivesABlob)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE b (id int, data longblob)"));
    ByteArray all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<std::uint8_t>(i));
    // GBK lead bytes next to a quote, a backslash and the end of the literal.
    for (std::uint8_t byte : {0x81, 0x27, 0x95, 0x5C, 0xFE, 0x5C, 0x27, 0x80, 0x00, 0x81})
        all.push_back(byte);
    const ByteArray gbkText = bytes(GBK("中文") + std::string("\xA1\xA1\x95\x5C", 4));
    ASSERT_TRUE(
        recordset.open("INSERT INTO b VALUES (1, ?), (2, ?)", 1, all, gbkText, std::nullopt, std::vector<int>{0, 0}))
        << connection.lastErrorText();
    ASSERT_TRUE(recordset.open("SELECT data FROM b ORDER BY id"));
    ByteArray read;
    EXPECT_TRUE(recordset.readBlob("data", read));
    EXPECT_EQ(read, all);
    ASSERT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readBlob("data", read));
    EXPECT_EQ(read, gbkText);
}

TEST_F(MysqlRecordsetTest, TextBlobIntoGbkColumnAndRefusedBytes)
{
    ASSERT_TRUE(connection.execute("CREATE TABLE g (t varchar(40)) CHARACTER SET gbk"));
    const std::string text = GBK("题目：") + std::string("\x95\x5C", 2);
    ASSERT_TRUE(
        recordset.open("INSERT INTO g VALUES (?)", 1, bytes(text), std::nullopt, std::nullopt, std::vector<int>{1}));
    EXPECT_FALSE(
        recordset.open("INSERT INTO g VALUES (?)", 1, bytes("\x80"), std::nullopt, std::nullopt, std::vector<int>{1}));
    EXPECT_EQ(connection.lastErrorCode(), 1366);
    ASSERT_TRUE(recordset.open("SELECT t FROM g"));
    EXPECT_EQ(recordset.recordCount(), 1);
    EXPECT_EQ(textAt("t"), text);
}

TEST_F(MysqlRecordsetTest, CopiesAndConnectionShareTheHandle)
{
    fillThreeRows();
    ASSERT_TRUE(recordset.open("SELECT id FROM t ORDER BY id"));
    MysqlConnection borrowed = recordset.connection();
    EXPECT_EQ(borrowed.handle(), connection.handle());
    EXPECT_TRUE(borrowed.execute("INSERT INTO t (id) VALUES (4)"));

    MysqlRecordset copy = recordset;
    EXPECT_TRUE(copy.isOpen());
    std::string text;
    EXPECT_TRUE(copy.readText("id", text));
    EXPECT_EQ(text, "1");
    // Both walk the one stored result.
    EXPECT_TRUE(copy.moveNext());
    EXPECT_TRUE(recordset.moveNext());
    EXPECT_TRUE(recordset.readText("id", text));
    EXPECT_EQ(text, "3");
}
