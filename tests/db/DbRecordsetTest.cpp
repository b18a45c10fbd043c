#include "DbFacadeFixture.h"

#include "db/DbResultCopy.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

// Bytes that text handling would cut or alter: zero bytes, a quote, a
// backslash, a placeholder mark and bytes that are not valid text.
const ByteArray awkwardBytes{0x00, 0x01, 0x00, 0x27, 0x5C, 0x3F, 0xFF, 0x80, 0x00};

} // namespace

TEST_P(DbRecordsetTest, WalksTheRowsAndReadsFieldsByName)
{
    addRow(1, "one", 1.0);
    addRow(2, "two", 2.5);
    addRow(3, "three", -4.0);
    ASSERT_TRUE(recordset.attach(connection));
    ASSERT_TRUE(recordset.open("SELECT id, name, score FROM T ORDER BY id"));
    EXPECT_EQ(recordset.recordCount(), 3);
    EXPECT_EQ(recordset.fieldCount(), 3);
    EXPECT_EQ(recordset.fieldName(1), "name");
    EXPECT_EQ(recordset.fieldIndex("score"), 2);

    std::string name;
    ASSERT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "one");
    ASSERT_TRUE(recordset.moveNext());
    double score = 0;
    ASSERT_TRUE(recordset.readDouble("score", score));
    EXPECT_EQ(score, 2.5);
    float single = 0;
    ASSERT_TRUE(recordset.readFloat("score", single));
    EXPECT_EQ(single, 2.5f);
    std::int64_t id = 0;
    ASSERT_TRUE(recordset.readInt64("id", id));
    EXPECT_EQ(id, 2);

    ASSERT_TRUE(recordset.moveLast());
    ASSERT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "three");
    EXPECT_FALSE(recordset.moveNext());
    ASSERT_TRUE(recordset.moveFirst());
    ASSERT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "one");
}

TEST_P(DbRecordsetTest, UnknownFieldsAndIndexesOutOfRange)
{
    addRow(1, "one", 1.0);
    ASSERT_TRUE(recordset.open("SELECT id, name FROM T"));
    EXPECT_EQ(recordset.fieldIndex("missing"), -1);
    EXPECT_EQ(recordset.fieldIndex("NAME"), -1);
    EXPECT_EQ(recordset.fieldName(-1), "");
    EXPECT_EQ(recordset.fieldName(2), "");
    std::string text;
    EXPECT_FALSE(recordset.readText("missing", text));
    double number = 0;
    EXPECT_FALSE(recordset.readDouble("score", number));
}

TEST_P(DbRecordsetTest, ModeTwoOpensATableByName)
{
    addRow(1, "one", 1.0);
    addRow(2, "two", 2.0);
    ASSERT_TRUE(recordset.open("T", 2));
    EXPECT_EQ(recordset.recordCount(), 2);
    EXPECT_EQ(recordset.fieldCount(), 4);
    EXPECT_FALSE(recordset.open("T", 1));
    EXPECT_FALSE(recordset.open("T", 0));
}

TEST_P(DbRecordsetTest, ExistsThroughAnotherRecordsetEndsTheSharedResult)
{
    addRow(1, "one", 1.0);
    addRow(2, "two", 2.0);
    ASSERT_TRUE(recordset.open("SELECT * FROM T ORDER BY id"));
    std::string name;
    ASSERT_TRUE(recordset.readText("name", name));

    DbRecordset other;
    EXPECT_TRUE(other.exists("T", "id=2"));
    EXPECT_FALSE(recordset.readText("name", name));
    EXPECT_FALSE(recordset.moveNext());

    EXPECT_FALSE(other.exists("T", "id=5"));
    EXPECT_FALSE(other.exists("T", "no_such_column=1"));
    EXPECT_FALSE(other.exists("Missing", "1=1"));
}

TEST_P(DbRecordsetTest, WriteBlobInsertsOrUpdatesWithEveryByteKept)
{
    ASSERT_TRUE(recordset.writeBlob("T", "pic", std::nullopt, awkwardBytes)) << connection.lastErrorText();
    ASSERT_TRUE(recordset.writeBlob("T", "pic", "", ByteArray{}));
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(rowCount("name IS NULL AND score IS NULL"), 2);

    ASSERT_TRUE(recordset.open("SELECT pic FROM T ORDER BY id"));
    ByteArray read{9};
    ASSERT_TRUE(recordset.readBlob("pic", read));
    EXPECT_EQ(read, awkwardBytes);
    ASSERT_TRUE(recordset.moveNext());
    ASSERT_TRUE(recordset.readBlob("pic", read));
    EXPECT_TRUE(read.empty());

    addRow(10, "a", 1);
    addRow(11, "b", 5);
    addRow(12, "c", 6);
    const ByteArray update{0x00, 0x00, 0x7F};
    ASSERT_TRUE(recordset.writeBlob("T", "pic", "score>2", update));
    ASSERT_TRUE(recordset.open("SELECT id, pic FROM T WHERE id>=10 ORDER BY id"));
    ASSERT_TRUE(recordset.readBlob("pic", read));
    EXPECT_TRUE(read.empty());
    for (int row = 0; row < 2; ++row) {
        ASSERT_TRUE(recordset.moveNext());
        ASSERT_TRUE(recordset.readBlob("pic", read));
        EXPECT_EQ(read, update);
    }

    EXPECT_FALSE(recordset.writeBlob("T", "missing_column", std::nullopt, update));
    EXPECT_FALSE(recordset.writeBlob("T", "pic", "missing_column=1", update));
}

TEST_P(DbRecordsetTest, WriteBlobWithoutDataStoresNull)
{
    addRow(1, "a", 1);
    ASSERT_TRUE(recordset.writeBlob("T", "pic", "id=1", awkwardBytes));
    ASSERT_TRUE(recordset.writeBlob("T", "pic", "id=1"));
    EXPECT_EQ(rowCount("pic IS NULL"), 1);
}

TEST_P(DbRecordsetTest, RowStatements)
{
    ASSERT_TRUE(recordset.insertRow("T", "id='1',name='x y',score='2.5'")) << connection.lastErrorText();
    ASSERT_TRUE(recordset.insertRow("T", "id='2',name='b'"));
    ASSERT_TRUE(recordset.updateRows("T", "name='z',score='7'", "id=2"));
    ASSERT_TRUE(recordset.open("SELECT * FROM T ORDER BY id"));
    std::string name;
    double score = 0;
    ASSERT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "x y");
    ASSERT_TRUE(recordset.readDouble("score", score));
    EXPECT_EQ(score, 2.5);
    ASSERT_TRUE(recordset.moveNext());
    ASSERT_TRUE(recordset.readText("name", name));
    EXPECT_EQ(name, "z");
    ASSERT_TRUE(recordset.readDouble("score", score));
    EXPECT_EQ(score, 7);

    ASSERT_TRUE(recordset.deleteRows("T", "id=1 OR id=9"));
    EXPECT_EQ(rowCount(), 1);
    EXPECT_FALSE(recordset.deleteRows("T", ""));
    EXPECT_FALSE(recordset.updateRows("T", "missing='1'", "id=2"));
}

TEST_P(DbRecordsetTest, InsertRowRefusalsRunNothing)
{
    // The last value lacks its closing quote: no value is found for b.
    EXPECT_FALSE(recordset.insertRow("T", "name='a',score='2"));
    EXPECT_FALSE(recordset.insertRow("T", ""));
    EXPECT_FALSE(recordset.insertRow("T", "name='it's'"));
    EXPECT_FALSE(recordset.insertRow("T", "missing='1'"));
    EXPECT_EQ(rowCount(), 0);
}

TEST_P(DbRecordsetTest, ReadsTruthValuesDatesAndChineseText)
{
    const std::string title = platform::utf8ToGbk("题目：中文");
    ASSERT_TRUE(recordset.insertRow("T", "id='1',name='1'"));
    ASSERT_TRUE(recordset.insertRow("T", "id='2',name='0'"));
    ASSERT_TRUE(recordset.insertRow("T", "id='3',name='2015-12-09 08:30:00'"));
    ASSERT_TRUE(recordset.insertRow("T", "id='4',name='" + title + "'"));
    ASSERT_TRUE(recordset.open("SELECT name FROM T ORDER BY id"));

    bool truth = false;
    ASSERT_TRUE(recordset.readBool("name", truth));
    EXPECT_TRUE(truth);
    ASSERT_TRUE(recordset.moveNext());
    ASSERT_TRUE(recordset.readBool("name", truth));
    EXPECT_FALSE(truth);
    ASSERT_TRUE(recordset.moveNext());
    DateTimeValue moment;
    ASSERT_TRUE(recordset.readDateTime("name", moment));
    EXPECT_EQ(moment, *DateTimeValue::fromParts(2015, 12, 9, 8, 30, 0));
    ASSERT_TRUE(recordset.moveNext());
    std::string text;
    ASSERT_TRUE(recordset.readText("name", text));
    EXPECT_EQ(text, title);
}

TEST_P(DbRecordsetTest, AKeptResultOutlivesLaterQueriesAndReadsColumnsByName)
{
    const std::string title = platform::utf8ToGbk("题目：中文");
    addRow(1, "a", 1.5);
    addRow(2, title, 2);
    ASSERT_TRUE(recordset.open("SELECT id, name, name AS name, score FROM T ORDER BY id"));
    const DbResultCopy kept = DbResultCopy::ofCurrentResult();
    recordset.close();
    ASSERT_TRUE(recordset.open("SELECT name FROM T WHERE id = 1"));
    ASSERT_TRUE(recordset.insertRow("T", "id='3',name='c'"));

    ASSERT_EQ(kept.rowCount(), 2);
    ASSERT_EQ(kept.columnCount(), 4);
    EXPECT_EQ(kept.text(1, 1), title);
    EXPECT_EQ(kept.text(0, 0), "1");
    EXPECT_EQ(kept.text(0, 2), "a");
    EXPECT_EQ(kept.text(1, 0), "2");
    EXPECT_EQ(kept.text(2, 0), "");
    EXPECT_EQ(kept.text(0, 4), "");
}
