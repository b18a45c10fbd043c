#include "db/sqlite/SqliteRecordset.h"

#include "platform/CodePage.h"
#include "tests/db/sqlite/SqliteTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <set>

namespace {

class SqliteRecordsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(makeBank(path(), 150));
        ASSERT_TRUE(db.open(path(), true, std::string(), 1));
        ASSERT_TRUE(rs.attach(db));
    }
    void TearDown() override
    {
        rs.close();
        db.close();
    }

    std::string path() const { return dir.file("tk.db"); }

    std::string text(const std::string& field)
    {
        std::string out;
        EXPECT_TRUE(rs.readText(field, out)) << field;
        return out;
    }

    int count(const std::string& sql) { return std::stoi(queryDirect(path(), sql)); }

    TempDir dir;
    SqliteConnection db;
    SqliteRecordset rs;
};

} // namespace

TEST_F(SqliteRecordsetTest, DrawsAPaperOfOneHundredQuestions)
{
    ASSERT_TRUE(rs.open("SELECT * FROM KS_SJTK  ORDER BY RANDOM() limit 100"));
    EXPECT_EQ(rs.recordCount(), 100);
    EXPECT_EQ(rs.currentRowIndex(), 0);
    EXPECT_EQ(rs.fieldCount(), 5);
    std::set<std::string> ids;
    int walked = 0;
    do {
        const std::string id = text("id");
        EXPECT_EQ(text("Title"), GBK("题目") + id);
        EXPECT_EQ(text("Tmnr"), GBK("甲|乙|丙|丁|"));
        EXPECT_EQ(text("did"), "4");
        ids.insert(id);
        ++walked;
    } while (rs.moveNext());
    EXPECT_EQ(walked, 100);
    EXPECT_EQ(ids.size(), 100u);
    EXPECT_TRUE(rs.isAfterLast());
    EXPECT_EQ(rs.currentRowIndex(), -2);
}

TEST_F(SqliteRecordsetTest, CountsTheRowsThatAreWalked)
{
    // A second run of a random filter would count a different number of rows.
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(rs.open("SELECT id FROM KS_SJTK WHERE random() % 2 = 0"));
        int walked = rs.recordCount() > 0 ? 1 : 0;
        while (rs.moveNext())
            ++walked;
        EXPECT_EQ(walked, std::max(rs.recordCount(), 0));
    }
}

TEST_F(SqliteRecordsetTest, StatementsThatReturnRowsRunOnce)
{
    ASSERT_TRUE(rs.open("INSERT INTO KS_SJTK (Title) VALUES ('new') RETURNING id, Title"));
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(text("id"), "151");
    EXPECT_EQ(text("Title"), "new");
    rs.close();
    EXPECT_EQ(count("SELECT count(*) FROM KS_SJTK"), 151);

    ASSERT_TRUE(rs.open("DELETE FROM KS_SJTK WHERE id > 140 RETURNING id"));
    EXPECT_EQ(rs.recordCount(), 11);
    EXPECT_EQ(count("SELECT count(*) FROM KS_SJTK"), 140);
}

TEST_F(SqliteRecordsetTest, MovesBackwardsAndForwards)
{
    ASSERT_TRUE(rs.open("SELECT id FROM KS_SJTK ORDER BY id"));
    ASSERT_EQ(rs.recordCount(), 150);
    ASSERT_TRUE(rs.moveLast());
    EXPECT_EQ(text("id"), "150");
    for (int expected = 149; expected >= 1; --expected) {
        ASSERT_TRUE(rs.movePrevious());
        ASSERT_EQ(text("id"), std::to_string(expected));
    }
    EXPECT_FALSE(rs.movePrevious());
    EXPECT_TRUE(rs.isBeforeFirst());
    EXPECT_FALSE(rs.movePrevious()); // stays before the first row
    EXPECT_EQ(rs.currentRowIndex(), -1);
    EXPECT_TRUE(rs.moveNext());
    EXPECT_EQ(text("id"), "1");
    ASSERT_TRUE(rs.moveTo(75));
    EXPECT_EQ(text("id"), "76");
    ASSERT_TRUE(rs.moveTo(75)); // the current row again
    ASSERT_TRUE(rs.moveTo(10));
    EXPECT_EQ(text("id"), "11");
    EXPECT_FALSE(rs.moveTo(150));
    EXPECT_TRUE(rs.isAfterLast());
    EXPECT_FALSE(rs.moveTo(-5));
    EXPECT_TRUE(rs.isBeforeFirst());
}

TEST_F(SqliteRecordsetTest, PassingTheEndsLeavesThePositionAtThatEnd)
{
    ASSERT_TRUE(rs.open("SELECT id FROM KS_SJTK WHERE id <= 2 ORDER BY id"));
    EXPECT_FALSE(rs.isBeforeFirst());
    ASSERT_TRUE(rs.moveNext());
    EXPECT_FALSE(rs.moveNext());
    EXPECT_TRUE(rs.isAfterLast());
    std::string out = "stale";
    EXPECT_TRUE(rs.readText("id", out)); // the field exists, no row is current
    EXPECT_EQ(out, "");
    // From after the last row the next move lands before the first row.
    EXPECT_FALSE(rs.moveNext());
    EXPECT_TRUE(rs.isBeforeFirst());
    EXPECT_TRUE(rs.moveFirst());
    EXPECT_EQ(text("id"), "1");
}

TEST_F(SqliteRecordsetTest, StatementsWithoutRows)
{
    ASSERT_TRUE(rs.open("UPDATE KS_SJTK SET Answer='C' WHERE id <= 10"));
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_EQ(rs.changes(), 10);
    EXPECT_TRUE(rs.isOpen());
    EXPECT_TRUE(rs.isBeforeFirst());
    EXPECT_FALSE(rs.moveFirst());
    EXPECT_FALSE(rs.moveLast());
    EXPECT_EQ(rs.fieldCount(), 0);

    ASSERT_TRUE(rs.open("SELECT * FROM KS_SJTK WHERE id < 0"));
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_EQ(rs.fieldCount(), 5);
    EXPECT_FALSE(rs.moveFirst());
    // query asks for rows.
    EXPECT_FALSE(rs.query("SELECT * FROM KS_SJTK WHERE id < 0"));
    EXPECT_TRUE(rs.query("SELECT * FROM KS_SJTK WHERE id = 7"));
    EXPECT_EQ(rs.recordCount(), 1);
}

TEST_F(SqliteRecordsetTest, BuildsTableStatements)
{
    ASSERT_TRUE(rs.open("KS_SJTK", 2));
    EXPECT_EQ(rs.statementSql(), "Select * From KS_SJTK");
    EXPECT_EQ(rs.recordCount(), 150);
    ASSERT_TRUE(rs.openOrdered("KS_SJTK", "id DESC"));
    EXPECT_EQ(rs.statementSql(), "Select * From KS_SJTK ORDER BY id DESC");
    EXPECT_EQ(text("id"), "150");
    ASSERT_TRUE(rs.openWhere("KS_SJTK", "id=3"));
    EXPECT_EQ(rs.statementSql(), "Select * From KS_SJTK Where id=3");
    EXPECT_FALSE(rs.openWhere("KS_SJTK", "id=999"));
    ASSERT_TRUE(rs.open("SELECT 1", 0));
    EXPECT_EQ(rs.statementSql(), "SELECT 1");
}

TEST_F(SqliteRecordsetTest, ReportsFailuresThroughTheConnection)
{
    EXPECT_FALSE(rs.open("SELEC * FROM KS_SJTK"));
    EXPECT_EQ(db.lastErrorText(), "near \"SELEC\": syntax error");
    EXPECT_FALSE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_FALSE(rs.query(""));

    // A failure after some rows were produced fails the whole open.
    EXPECT_FALSE(rs.open("SELECT CASE WHEN id = 3 THEN abs(-9223372036854775808) ELSE id END AS v FROM KS_SJTK"));
    EXPECT_EQ(db.lastErrorText(), "integer overflow");
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_FALSE(rs.moveFirst());

    EXPECT_FALSE(rs.open("INSERT INTO KS_SJTK (id) VALUES (1)"));
    EXPECT_EQ(db.lastErrorText(), "UNIQUE constraint failed: KS_SJTK.id");

    EXPECT_FALSE(rs.open("SELECT * FROM KS_SJTK WHERE Title = 'x\x81'"));
    EXPECT_EQ(db.lastErrorText(), GBK("SQL 语句或文本值含有无效的 GBK 字符，未执行"));

    SqliteRecordset detached;
    EXPECT_FALSE(detached.attachHandle(nullptr));
    EXPECT_FALSE(detached.open("SELECT 1"));
}

TEST_F(SqliteRecordsetTest, FieldsAreFoundByExactName)
{
    ASSERT_TRUE(rs.query(GBK("SELECT id, Title AS 标题, Title FROM KS_SJTK WHERE id = 5")));
    EXPECT_EQ(rs.fieldIndex("Title"), 2);
    EXPECT_EQ(rs.fieldIndex(GBK("标题")), 1);
    EXPECT_EQ(rs.fieldIndex("title"), -1);
    EXPECT_EQ(rs.fieldName(1), GBK("标题"));
    EXPECT_EQ(rs.fieldName(-1), "");
    EXPECT_EQ(rs.fieldName(3), "");
    std::string out = "stale";
    EXPECT_FALSE(rs.readText("title", out));
    EXPECT_EQ(out, "");
    int number = 9;
    EXPECT_FALSE(rs.readInt("nope", number));
    EXPECT_EQ(number, 0);
    EXPECT_EQ(text(GBK("标题")), GBK("题目5"));
}

TEST_F(SqliteRecordsetTest, ReadsConvertAsTheColumnReadersDo)
{
    ASSERT_TRUE(rs.query("SELECT 42 AS i, 2.5 AS r, '12abc' AS t, NULL AS n, 9876543210123 AS big, "
                         "x'00ff' AS b, 1e300 AS huge"));
    int i = 0;
    EXPECT_TRUE(rs.readInt("i", i));
    EXPECT_EQ(i, 42);
    EXPECT_EQ(text("i"), "42");
    EXPECT_TRUE(rs.readInt("i", i)); // still an integer after being read as text
    EXPECT_EQ(i, 42);
    double d = 0;
    EXPECT_TRUE(rs.readDouble("r", d));
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(text("r"), "2.5");
    float f = 0;
    EXPECT_TRUE(rs.readFloat("huge", f));
    EXPECT_TRUE(std::isinf(f));
    EXPECT_TRUE(rs.readInt("t", i));
    EXPECT_EQ(i, 12);
    EXPECT_EQ(text("n"), "");
    EXPECT_TRUE(rs.readDouble("n", d));
    EXPECT_EQ(d, 0.0);
    std::int64_t big = 0;
    EXPECT_TRUE(rs.readInt64("big", big));
    EXPECT_EQ(big, 9876543210123);
    EXPECT_TRUE(rs.readInt("big", i));
    EXPECT_EQ(i, static_cast<int>(9876543210123LL & 0xFFFFFFFF));
    ByteArray bytes;
    EXPECT_TRUE(rs.readBlob("b", bytes));
    EXPECT_EQ(bytes, (ByteArray{0x00, 0xFF}));
    EXPECT_EQ(rs.fieldByteCount(5), 2);
    EXPECT_TRUE(rs.readBlob("n", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(rs.readBlob("i", bytes));
    EXPECT_EQ(bytes, (ByteArray{'4', '2'}));
}

TEST_F(SqliteRecordsetTest, ReadsTruthValuesExactly)
{
    ASSERT_TRUE(
        rs.query(GBK("SELECT '1' a, 'yes' b, 'on' c, 'true' d, '真' e, 'Yes' f, 'TRUE' g, '0' h, 2 i, NULL j")));
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        bool value = false;
        EXPECT_TRUE(rs.readBool(name, value));
        EXPECT_TRUE(value) << name;
    }
    for (const char* name : {"f", "g", "h", "i", "j"}) {
        bool value = true;
        EXPECT_TRUE(rs.readBool(name, value));
        EXPECT_FALSE(value) << name;
    }
    bool value = true;
    EXPECT_FALSE(rs.readBool("k", value));
    EXPECT_FALSE(value);
}

TEST_F(SqliteRecordsetTest, ReadsDateTimes)
{
    ASSERT_TRUE(rs.query(GBK("SELECT '2015-12-09 08:30:00' a, '2015年12月9日' b, 'no date' c")));
    DateTimeValue moment;
    EXPECT_TRUE(rs.readDateTime("a", moment));
    EXPECT_EQ(moment, *DateTimeValue::fromParts(2015, 12, 9, 8, 30));
    EXPECT_TRUE(rs.readDateTime("b", moment));
    EXPECT_EQ(moment, *DateTimeValue::fromParts(2015, 12, 9));
    EXPECT_TRUE(rs.readDateTime("c", moment));
    EXPECT_EQ(moment, DateTimeValue::earliest());
    EXPECT_FALSE(rs.readDateTime("d", moment));
    EXPECT_EQ(moment, DateTimeValue::earliest());
}

TEST_F(SqliteRecordsetTest, ValueGivesBytesOnlyForBlobColumns)
{
    ASSERT_TRUE(db.execute("CREATE TABLE files (name Text, data Blob, other blob, note Blob Text)"));
    ASSERT_TRUE(db.execute(GBK("INSERT INTO files VALUES ('图片', x'0001ff', x'41', x'42')")));
    ASSERT_TRUE(rs.query("SELECT * FROM files"));
    EXPECT_EQ(rs.fieldDeclaredType(0), "TEXT");
    EXPECT_EQ(rs.fieldDeclaredType(1), "BLOB");
    EXPECT_EQ(rs.value("data"), FieldValue(ByteArray{0x00, 0x01, 0xFF}));
    EXPECT_EQ(rs.value("other"), FieldValue(ByteArray{'A'}));
    EXPECT_EQ(rs.value(std::nullopt, 0), FieldValue(GBK("图片")));
    EXPECT_EQ(rs.value(), FieldValue(GBK("图片")));
    EXPECT_EQ(rs.value(std::string(), 1), FieldValue(ByteArray{0x00, 0x01, 0xFF}));
    EXPECT_EQ(rs.value("data", 0), FieldValue(ByteArray{0x00, 0x01, 0xFF})); // the name wins
    EXPECT_TRUE(rs.value("missing").isInteger());
    EXPECT_EQ(rs.value("note"), FieldValue(std::string("B")));
    EXPECT_TRUE(rs.value(std::nullopt, 4).isInteger());
    FieldValue out{std::string("stale")};
    EXPECT_FALSE(rs.readValue(out, "missing"));
    EXPECT_TRUE(out.isInteger());
    EXPECT_TRUE(rs.readValue(out, "name"));
    EXPECT_EQ(out.text(), GBK("图片"));
    ASSERT_TRUE(rs.query("SELECT 1 + 1 AS x"));
    EXPECT_EQ(rs.fieldDeclaredType(0), "");
}

TEST_F(SqliteRecordsetTest, BindsBlobsToPlaceholders)
{
    ASSERT_TRUE(db.execute("CREATE TABLE b (k INTEGER PRIMARY KEY, x Blob, y Blob, z Blob)"));
    const ByteArray raw{0x00, 0x01, 0x00, 0xFF, 0x00};
    ASSERT_TRUE(rs.open("INSERT INTO b (k, x) VALUES (1, ?)", 1, raw, std::nullopt, std::nullopt, std::vector<int>{0}));
    EXPECT_EQ(queryDirect(path(), "SELECT hex(x) FROM b WHERE k=1"), "000100FF00");

    const std::string gbk = GBK("中文") + std::string("\0tail", 5);
    ASSERT_TRUE(rs.open("INSERT INTO b (k, x) VALUES (2, ?)", 1, ByteArray(gbk.begin(), gbk.end()), std::nullopt,
                        std::nullopt, std::vector<int>{1}));
    // UTF-8 of the text up to its zero byte, then one zero byte.
    EXPECT_EQ(queryDirect(path(), "SELECT hex(x) FROM b WHERE k=2"), "E4B8ADE6968700");

    ASSERT_TRUE(rs.open("INSERT INTO b (k, x, y, z) VALUES (3, ?, ?, ?)", 1, ByteArray{}, std::nullopt, ByteArray{7},
                        std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(queryDirect(path(), "SELECT typeof(x) || length(x) || typeof(y) || hex(z) FROM b WHERE k=3"),
              "blob0null07");

    // Only as many placeholders as flags are bound; the others stay NULL.
    ASSERT_TRUE(rs.open("INSERT INTO b (k, x, y) VALUES (4, ?, ?)", 1, ByteArray{1}, ByteArray{2}, std::nullopt,
                        std::vector<int>{0}));
    EXPECT_EQ(queryDirect(path(), "SELECT hex(x) || typeof(y) FROM b WHERE k=4"), "01null");

    ASSERT_TRUE(rs.query("SELECT x FROM b WHERE k=1"));
    ByteArray back;
    EXPECT_TRUE(rs.readBlob("x", back));
    EXPECT_EQ(back, raw);

    // Text that is not valid GBK is refused before anything is written.
    const std::string broken = "bad\x81";
    EXPECT_FALSE(rs.open("INSERT INTO b (k, x) VALUES (5, ?)", 1, ByteArray(broken.begin(), broken.end()), std::nullopt,
                         std::nullopt, std::vector<int>{1}));
    EXPECT_EQ(count("SELECT count(*) FROM b"), 4);
}

TEST_F(SqliteRecordsetTest, ATenMegabyteBlobRoundTrips)
{
    ASSERT_TRUE(db.execute("CREATE TABLE b (k INTEGER PRIMARY KEY, x Blob)"));
    ByteArray big(10 * 1024 * 1024);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7 % 251);
    ASSERT_TRUE(rs.open("INSERT INTO b (x) VALUES (?)", 1, big, std::nullopt, std::nullopt, std::vector<int>{0}));
    ASSERT_TRUE(rs.query("SELECT x FROM b"));
    EXPECT_TRUE(rs.value("x").bytes() == big);
}

TEST_F(SqliteRecordsetTest, CloseKeepsThePositionButEndsTheReads)
{
    ASSERT_TRUE(rs.query("SELECT id FROM KS_SJTK ORDER BY id"));
    ASSERT_TRUE(rs.moveTo(4));
    rs.close();
    rs.close();
    EXPECT_FALSE(rs.isOpen());
    EXPECT_EQ(rs.currentRowIndex(), 4);
    EXPECT_EQ(rs.recordCount(), 150);
    std::string out;
    EXPECT_FALSE(rs.readText("id", out));
    EXPECT_EQ(rs.fieldCount(), 0);
    EXPECT_EQ(rs.statementSql(), "");
    EXPECT_FALSE(rs.moveTo(5));
    EXPECT_TRUE(rs.value("id").isInteger());
}

TEST_F(SqliteRecordsetTest, LeavesNoReadLockBehind)
{
    ASSERT_TRUE(rs.query("SELECT id FROM KS_SJTK"));
    // Another connection can write while this result is still open.
    std::string error;
    EXPECT_TRUE(runDirect(path(), "DELETE FROM KS_SJTK WHERE id > 100", &error)) << error;
    EXPECT_EQ(rs.recordCount(), 150);
    ASSERT_TRUE(rs.moveLast());
    EXPECT_EQ(text("id"), "150");
}

TEST_F(SqliteRecordsetTest, SharesTheHandleWithItsConnection)
{
    SqliteConnection shared = rs.connection();
    EXPECT_EQ(shared.handle(), db.handle());
    EXPECT_TRUE(shared.execute("DELETE FROM KS_SJTK WHERE id > 10"));
    ASSERT_TRUE(rs.open("SELECT * FROM KS_SJTK"));
    EXPECT_EQ(rs.recordCount(), 10);
    SqliteRecordset copy = rs;
    rs.close();
    EXPECT_EQ(copy.recordCount(), 10);
}

TEST_F(SqliteRecordsetTest, FilterNarrowsTheStoredQuery)
{
    ASSERT_TRUE(rs.open("select * from KS_SJTK"));
    ASSERT_TRUE(rs.moveTo(3));
    ASSERT_TRUE(rs.filter("id>5"));
    EXPECT_EQ(rs.statementSql(), "select * from KS_SJTK where id>5 ");
    EXPECT_EQ(rs.recordCount(), 145);
    EXPECT_EQ(rs.currentRowIndex(), 0);
    EXPECT_EQ(text("id"), "6");
    // Filters do not accumulate: each applies to the stored query.
    ASSERT_TRUE(rs.filter("id<=3"));
    EXPECT_EQ(rs.statementSql(), "select * from KS_SJTK where id<=3 ");
    EXPECT_EQ(rs.recordCount(), 3);
    // An empty condition runs the stored query again.
    ASSERT_TRUE(rs.filter(""));
    EXPECT_EQ(rs.statementSql(), "select * from KS_SJTK");
    EXPECT_EQ(rs.recordCount(), 150);
}

TEST_F(SqliteRecordsetTest, FilterRewritesWhereClausesAndTableNames)
{
    ASSERT_TRUE(rs.query("SELECT id FROM KS_SJTK WHERE id < 10 ORDER BY id"));
    ASSERT_TRUE(rs.filter("id > 5"));
    EXPECT_EQ(rs.statementSql(), "SELECT id FROM KS_SJTK where id > 5 and  id < 10 ORDER BY id");
    EXPECT_EQ(rs.recordCount(), 4);

    ASSERT_TRUE(rs.query("select id from   KS_SJTK order by id desc"));
    ASSERT_TRUE(rs.filter("id>140"));
    EXPECT_EQ(rs.statementSql(), "select id from KS_SJTK where id>140 order by id desc");
    EXPECT_EQ(text("id"), "150");

    // The trail byte of a Chinese character followed by "here" is no "where".
    const std::string literal = "select *, '\xB0\x77here' as x from KS_SJTK";
    ASSERT_TRUE(rs.query(literal));
    ASSERT_TRUE(rs.filter("id>148"));
    EXPECT_EQ(rs.statementSql(), literal + " where id>148 ");
    EXPECT_EQ(rs.recordCount(), 2);
}

TEST_F(SqliteRecordsetTest, AFailedFilterKeepsTheCurrentResult)
{
    ASSERT_TRUE(rs.query("select id from KS_SJTK order by id"));
    ASSERT_TRUE(rs.moveTo(7));
    EXPECT_FALSE(rs.filter("id>1000"));     // no rows
    EXPECT_FALSE(rs.filter("no_column>1")); // an error
    EXPECT_FALSE(rs.filter("id>\x81"));     // not GBK
    EXPECT_EQ(rs.statementSql(), "select id from KS_SJTK order by id");
    EXPECT_EQ(rs.currentRowIndex(), 7);
    EXPECT_EQ(rs.recordCount(), 150);
    EXPECT_EQ(text("id"), "8");

    // Upper-case keywords without a where clause cannot be narrowed.
    ASSERT_TRUE(rs.query("SELECT id FROM KS_SJTK"));
    EXPECT_FALSE(rs.filter("id>5"));
    // Nothing stored to narrow: no result, or a statement without rows.
    rs.close();
    EXPECT_FALSE(rs.filter("id>5"));
    ASSERT_TRUE(rs.open("UPDATE KS_SJTK SET did='4'"));
    EXPECT_FALSE(rs.filter("id>5"));
}

TEST_F(SqliteRecordsetTest, QueryTableGivesNamesAndTexts)
{
    ASSERT_TRUE(rs.query("select id from KS_SJTK order by id"));
    ASSERT_TRUE(rs.moveTo(2));
    int rows = -1, columns = -1;
    std::vector<std::vector<std::string>> table;
    ASSERT_TRUE(rs.queryTable(GBK("SELECT id, Title AS 标题, NULL AS n FROM KS_SJTK WHERE id IN (4, 5) ORDER BY id"),
                              rows, columns, table));
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(columns, 3);
    const std::vector<std::vector<std::string>> expected{
        {"id", GBK("标题"), "n"}, {"4", GBK("题目4"), ""}, {"5", GBK("题目5"), ""}};
    EXPECT_EQ(table, expected);
    // The current result is untouched.
    EXPECT_EQ(rs.currentRowIndex(), 2);
    EXPECT_EQ(text("id"), "3");

    ASSERT_TRUE(rs.queryTable("SELECT * FROM KS_SJTK WHERE id < 0", rows, columns, table));
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(columns, 0);
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(rs.queryTable("SELEC 1", rows, columns, table));
    EXPECT_EQ(db.lastErrorText(), "near \"SELEC\": syntax error");
}

TEST_F(SqliteRecordsetTest, ReplacesInAColumn)
{
    ASSERT_TRUE(rs.replaceInColumn("KS_SJTK", "Tmnr", GBK("甲"), GBK("子"), "id <= 2"));
    EXPECT_EQ(rs.statementSql(), GBK("UPDATE KS_SJTK SET Tmnr=replace(Tmnr,'甲','子') WHERE id <= 2"));
    EXPECT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_EQ(rs.changes(), 2);
    EXPECT_EQ(count("SELECT count(*) FROM KS_SJTK WHERE Tmnr LIKE '子%'"), 2);
    ASSERT_TRUE(rs.replaceInColumn("KS_SJTK", "Answer", "A", "B", ""));
    EXPECT_EQ(rs.statementSql(), "UPDATE KS_SJTK SET Answer=replace(Answer,'A','B')");
    EXPECT_EQ(count("SELECT count(*) FROM KS_SJTK WHERE Answer='B'"), 150);
    EXPECT_FALSE(rs.replaceInColumn("KS_SJTK", "Nope", "A", "B", ""));
    EXPECT_EQ(db.lastErrorText(), "no such column: Nope");
}

TEST_F(SqliteRecordsetTest, LooksUpOneRow)
{
    int value = -7;
    ASSERT_TRUE(rs.lookupInt("KS_SJTK", "id = 42", value, 0));
    EXPECT_EQ(value, 42);
    ASSERT_TRUE(rs.lookupInt("KS_SJTK", "id = 42", value, 4)); // did is the text '4'
    EXPECT_EQ(value, 4);
    value = -7;
    EXPECT_FALSE(rs.lookupInt("KS_SJTK", "id < 3", value, 0)); // two rows
    EXPECT_FALSE(rs.lookupInt("KS_SJTK", "id = 999", value, 0));
    EXPECT_EQ(value, -7);
    EXPECT_FALSE(rs.lookupInt("KS_SJTK", "id = 42", value, 5));
    EXPECT_FALSE(rs.lookupInt("KS_SJTK", "id = 42", value, -1));

    EXPECT_TRUE(rs.hasRows("KS_SJTK", "Answer = 'A'"));
    EXPECT_EQ(rs.recordCount(), 150);
    EXPECT_FALSE(rs.hasRows("KS_SJTK", "Answer = 'Z'"));
    EXPECT_FALSE(rs.hasRows("KS_SJTK", "Nope = 1"));
}

TEST(SqliteNavigationFlagsTest, FollowsThePositionInTheTotal)
{
    NavigationFlags flags;
    SqliteRecordset::navigationFlags(5, 1, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, true, true, true}));
    SqliteRecordset::navigationFlags(0, 0, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, true, true, true}));
    SqliteRecordset::navigationFlags(1, 10, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, true, false, false}));
    SqliteRecordset::navigationFlags(10, 10, flags);
    EXPECT_EQ(flags, (NavigationFlags{false, false, true, true}));
    SqliteRecordset::navigationFlags(4, 10, flags);
    EXPECT_EQ(flags, (NavigationFlags{false, false, false, false}));
    SqliteRecordset::navigationFlags(10, 10, flags);
    SqliteRecordset::navigationFlags(-3, 10, flags);
    EXPECT_EQ(flags, (NavigationFlags{false, false, false, false}));
    // Past the total nothing changes.
    SqliteRecordset::navigationFlags(1, 10, flags);
    SqliteRecordset::navigationFlags(11, 10, flags);
    EXPECT_EQ(flags, (NavigationFlags{true, true, false, false}));
}

TEST_F(SqliteRecordsetTest, ClosingTheConnectionFirstIsSafe)
{
    ASSERT_TRUE(rs.query("SELECT id, id / 2.0 AS half FROM KS_SJTK ORDER BY id"));
    db.close();
    // The kept rows stay readable; the database goes away with the result.
    ASSERT_TRUE(rs.moveTo(4));
    EXPECT_EQ(text("id"), "5");
    EXPECT_EQ(text("half"), "2.5");
    rs.close();
    ASSERT_TRUE(db.open(path(), true));
    ASSERT_TRUE(rs.attach(db));
    EXPECT_TRUE(rs.query("SELECT id FROM KS_SJTK"));
}
