#include "db/XlsSheetWriter.h"
#include "db/EventPump.h"

#include "tests/db/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace exporttest;

namespace {
TextTable tableOf(std::initializer_list<std::initializer_list<std::string>> rows)
{
    TextTable t;
    for (const auto& cells : rows) {
        TextTable::Row& r = t.addRow(0);
        r.assign(cells.begin(), cells.end());
    }
    return t;
}
} // namespace

TEST(XlsSheetWriter, WritesRecordsByteForByteWithGbkTextsAndRaggedRows)
{
    ScratchDir dir;
    XlsSheetWriter w;
    const std::string name = GBK("姓名");
    TextTable t = tableOf({{name, "", "x"}, {"", "long text here"}, {}, {"z"}});
    ASSERT_TRUE(w.saveTable(t, dir.path("a.xls")));

    std::string expected = beginOfFile() + textCell(0, 0, name) + blankCell(0, 1) + textCell(0, 2, "x") +
                           blankCell(1, 0) + textCell(1, 1, "long text here") + textCell(3, 0, "z") + endOfFile();
    EXPECT_EQ(readBytes(dir.native("a.xls")), expected);
    EXPECT_EQ(w.table(), t);
}

TEST(XlsSheetWriter, SpreadsheetReaderSeesTheSameCells)
{
    ScratchDir dir;
    XlsSheetWriter w;
    w.setColumnCount(3);
    w.setRowCount(2);
    ASSERT_TRUE(w.setCell(1, 1, GBK("题目")));
    ASSERT_TRUE(w.setCell(1, 3, "B"));
    ASSERT_TRUE(w.setCell(2, 2, GBK("选项Ａ|选项Ｂ|")));
    // A file name in Chinese reaches the file system as UTF-8.
    ASSERT_TRUE(w.saveToFile(dir.path("导出.xls")));

    auto rows = readWithXlrd(dir.native("导出.xls"));
    std::vector<std::vector<std::string>> expected = {{"T:题目", "", "T:B"}, {"", "T:选项Ａ|选项Ｂ|", ""}};
    EXPECT_EQ(rows, expected);
}

TEST(XlsSheetWriter, RowByRowGivesTheSameFileAsTheWholeTable)
{
    ScratchDir dir;
    TextTable t = tableOf({{GBK("编号"), "", "x"}, {"", "y"}, {}, {"z"}});
    XlsSheetWriter whole;
    ASSERT_TRUE(whole.saveTable(t, dir.path("whole.xls")));

    writeBytes(dir.native("rows.xls"), "old content");
    XlsSheetWriter rows;
    ASSERT_TRUE(rows.beginSheet(dir.path("rows.xls")));
    for (const auto& row : t.rows())
        ASSERT_TRUE(rows.appendRow(row));
    ASSERT_TRUE(rows.finishSheet());
    EXPECT_EQ(readBytes(dir.native("rows.xls")), readBytes(dir.native("whole.xls")));
    EXPECT_TRUE(rows.table().empty());

    EXPECT_FALSE(rows.appendRow({"late"}));
    EXPECT_FALSE(rows.finishSheet());
}

TEST(XlsSheetWriter, RowThatDoesNotFitIsRefusedAndAnAbandonedSheetLeavesNoFile)
{
    ScratchDir dir;
    XlsSheetWriter w;
    ASSERT_TRUE(w.beginSheet(dir.path("part.xls")));
    ASSERT_TRUE(w.appendRow({"a"}));
    EXPECT_FALSE(w.appendRow({"b", std::string(XlsSheetWriter::maxTextBytes + 1, 'c')}));
    EXPECT_FALSE(w.appendRow(TextTable::Row(XlsSheetWriter::maxColumns + 1)));
    w.abandonSheet();
    EXPECT_FALSE(std::filesystem::exists(dir.native("part.xls")));

    // A writer destroyed in the middle of a sheet does not leave half a file either.
    {
        XlsSheetWriter dropped;
        ASSERT_TRUE(dropped.beginSheet(dir.path("dropped.xls")));
        dropped.appendRow({"a"});
    }
    EXPECT_FALSE(std::filesystem::exists(dir.native("dropped.xls")));

    ASSERT_TRUE(w.beginSheet(dir.path("rows.xls")));
    for (std::size_t r = 0; r < XlsSheetWriter::maxRows; ++r)
        ASSERT_TRUE(w.appendRow({}));
    EXPECT_FALSE(w.appendRow({}));
    EXPECT_TRUE(w.finishSheet());
}

TEST(XlsSheetWriter, SavingReplacesAnExistingFile)
{
    ScratchDir dir;
    writeBytes(dir.native("old.xls"), std::string(10000, 'q'));
    XlsSheetWriter w;
    ASSERT_TRUE(w.saveTable(tableOf({{"1"}}), dir.path("old.xls")));
    EXPECT_EQ(readBytes(dir.native("old.xls")), beginOfFile() + textCell(0, 0, "1") + endOfFile());
}

TEST(XlsSheetWriter, EmptyTableGivesBeginAndEndOnly)
{
    ScratchDir dir;
    XlsSheetWriter w;
    ASSERT_TRUE(w.saveToFile(dir.path("e.xls")));
    EXPECT_EQ(readBytes(dir.native("e.xls")), beginOfFile() + endOfFile());
}

TEST(XlsSheetWriter, UnwritablePathFailsAndRecordWritersNeedAnOpenFile)
{
    ScratchDir dir;
    XlsSheetWriter w;
    EXPECT_FALSE(w.saveTable(tableOf({{"1"}}), dir.path("missing-folder/a.xls")));
    EXPECT_FALSE(w.writeBeginRecord());
    EXPECT_FALSE(w.writeTextCell("x"));
    EXPECT_FALSE(w.writeBlankCell());
    EXPECT_FALSE(w.writeEndRecord());
    EXPECT_FALSE(w.writeSheet());
}

TEST(XlsSheetWriter, SizingSetCellAndGetCell)
{
    XlsSheetWriter w;
    w.setRowCount(2);
    w.setColumnCount(2);
    EXPECT_TRUE(w.setCell(2, 2, "d"));
    EXPECT_FALSE(w.setCell(0, 1, "x"));
    EXPECT_FALSE(w.setCell(1, 0, "x"));
    EXPECT_FALSE(w.setCell(1, 3, "x")); // beyond the column count
    EXPECT_FALSE(w.setCell(3, 1, "x")); // beyond the table: refused, not a crash
    EXPECT_EQ(w.getCell(2, 2), "d");
    EXPECT_EQ(w.getCell(0, 0), "");
    EXPECT_EQ(w.getCell(9, 1), "");
    EXPECT_EQ(w.getCell(1, 9), "");

    w.setRowCount(3, true);
    EXPECT_EQ(w.getCell(2, 2), "d");
    EXPECT_EQ(w.table().row(2).size(), 2u);
    w.setColumnCount(3, true);
    EXPECT_EQ(w.getCell(2, 2), "d");
    EXPECT_TRUE(w.setCell(3, 3, "i"));

    w.addRow();
    EXPECT_EQ(w.table().rowCount(), 4u);
    EXPECT_EQ(w.table().row(3).size(), 3u);

    w.setColumnCount(3); // without keep, every cell is emptied
    EXPECT_EQ(w.getCell(3, 3), "");
    EXPECT_EQ(w.table().rowCount(), 4u);
    w.setCell(1, 1, "a");
    w.setRowCount(1); // without keep, the rows are rebuilt empty
    EXPECT_EQ(w.getCell(1, 1), "");
    EXPECT_EQ(w.table().row(0).size(), 3u);
}

TEST(XlsSheetWriter, CopyIsDeep)
{
    XlsSheetWriter a;
    a.setColumnCount(1);
    a.setRowCount(1);
    a.setCell(1, 1, "orig");
    XlsSheetWriter b(a);
    b.setCell(1, 1, "changed");
    EXPECT_EQ(a.getCell(1, 1), "orig");
    a = b;
    EXPECT_EQ(a.getCell(1, 1), "changed");
    EXPECT_EQ(a.columnCount(), 1);
}

// The records hold 16-bit lengths, rows and columns: a table beyond them is
// refused whole, and neither a partial file nor a damaged old one is left.
TEST(XlsSheetWriter, TableBeyondTheRecordLimitsIsRefusedWithoutTouchingTheFile)
{
    ScratchDir dir;
    XlsSheetWriter w;

    std::string longest(XlsSheetWriter::maxTextBytes, 'a');
    ASSERT_TRUE(w.saveTable(tableOf({{longest}}), dir.path("max.xls")));
    auto rows = readWithXlrd(dir.native("max.xls"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "T:" + longest);

    EXPECT_FALSE(w.saveTable(tableOf({{"a"}, {longest + "a"}}), dir.path("long.xls")));
    EXPECT_FALSE(std::filesystem::exists(dir.native("long.xls")));

    writeBytes(dir.native("kept.xls"), "old");
    EXPECT_FALSE(w.saveTable(tableOf({{longest + "a"}}), dir.path("kept.xls")));
    EXPECT_EQ(readBytes(dir.native("kept.xls")), "old");

    TextTable wide;
    wide.addRow(XlsSheetWriter::maxColumns + 1);
    EXPECT_FALSE(w.saveTable(wide, dir.path("wide.xls")));
    EXPECT_FALSE(std::filesystem::exists(dir.native("wide.xls")));

    TextTable tall(XlsSheetWriter::maxRows, 1);
    *tall.cell(XlsSheetWriter::maxRows - 1, 0) = "last";
    ASSERT_TRUE(w.saveTable(tall, dir.path("tall.xls")));
    std::string bytes = readBytes(dir.native("tall.xls"));
    EXPECT_EQ(bytes.substr(bytes.size() - 4 - 16), textCell(0xFFFF, 0, "last") + endOfFile());

    tall.addRow(1);
    EXPECT_FALSE(w.saveTable(tall, dir.path("taller.xls")));
    EXPECT_FALSE(std::filesystem::exists(dir.native("taller.xls")));
}

namespace {
int pumped = 0;
std::chrono::steady_clock::time_point lastPump;
std::chrono::steady_clock::duration shortestGap = std::chrono::hours(1);
void countPump()
{
    auto now = std::chrono::steady_clock::now();
    if (pumped > 0)
        shortestGap = std::min(shortestGap, now - lastPump);
    lastPump = now;
    ++pumped;
}
} // namespace

TEST(XlsSheetWriter, PendingEventsArePumpedOnATimeBasisNotPerCell)
{
    ScratchDir dir;
    TextTable big(60000, 5);
    for (std::size_t r = 0; r < big.rowCount(); ++r)
        for (auto& c : big.row(r))
            c = "cell " + std::to_string(r);
    XlsSheetWriter w;
    pumped = 0;
    shortestGap = std::chrono::hours(1);
    EventPump::install(countPump);
    auto start = std::chrono::steady_clock::now();
    // Several passes so the work surely outlasts a few pump intervals even on a fast machine.
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(w.saveTable(big, dir.path("big.xls")));
    auto took = std::chrono::steady_clock::now() - start;
    EventPump::install(nullptr);

    auto intervals = took / EventPump::interval;
    EXPECT_LE(pumped, intervals + 8);
    if (intervals >= 4) {
        EXPECT_GE(pumped, 1);
    }
    if (pumped > 1) {
        EXPECT_GE(shortestGap, EventPump::interval);
    }
}
