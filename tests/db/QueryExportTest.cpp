#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "db/EventPump.h"
#include "db/QueryExporter.h"
#include "db/TableExport.h"
#include "db/XlsSheetWriter.h"

#include "tests/db/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace exporttest;

namespace {

// A registry with an SQLite database file opened through the connection facade.
class QueryExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connection.open(std::nullopt, std::nullopt, "", dir.path("bank.db"), std::nullopt, DbKind::Sqlite))
            << connection.lastErrorText();
    }
    void TearDown() override { connection.close(); }

    void run(const std::string& sql) { ASSERT_TRUE(connection.execute(sql)) << sql << connection.lastErrorText(); }

    bool exportTo(const std::string& query, const std::string& utf8Name,
                  const std::optional<std::string>& separator = std::nullopt)
    {
        return connection.exportQuery(query, dir.path(utf8Name), separator);
    }

    std::string bytesOf(const std::string& utf8Name) { return readBytes(dir.native(utf8Name)); }
    bool exists(const std::string& utf8Name) { return std::filesystem::exists(dir.native(utf8Name)); }

    void makeXyTable()
    {
        run("CREATE TABLE t (x, y)");
        run("INSERT INTO t VALUES (1, 2)");
        run("INSERT INTO t VALUES (3, 4)");
    }

    ScratchDir dir;
    BackendRegistry registry;
    DbConnection connection;
};

} // namespace

TEST(QueryExportExtension, FollowsTheShellRule)
{
    EXPECT_EQ(QueryExporter::fileExtension("/a/b/out.txt"), ".txt");
    EXPECT_EQ(QueryExporter::fileExtension("C:\\dir\\out.tar.xls"), ".xls");
    EXPECT_EQ(QueryExporter::fileExtension("my file.csv"), ".csv");
    EXPECT_EQ(QueryExporter::fileExtension("noext"), "");
    EXPECT_EQ(QueryExporter::fileExtension("dir.d\\file"), "");
    EXPECT_EQ(QueryExporter::fileExtension("dir.d/file"), "");
    EXPECT_EQ(QueryExporter::fileExtension("file. txt"), "");
    EXPECT_EQ(QueryExporter::fileExtension("file."), ".");
    // The trail byte 0x5C of a GBK character is not a backslash.
    EXPECT_EQ(QueryExporter::fileExtension("a.b\x81\x5C"
                                           "c"),
              ".b\x81\x5C"
              "c");

    EXPECT_EQ(QueryExporter::formatOf("a.txt"), QueryExporter::Format::Text);
    EXPECT_EQ(QueryExporter::formatOf("a.csv"), QueryExporter::Format::Csv);
    EXPECT_EQ(QueryExporter::formatOf("a.xls"), QueryExporter::Format::Sheet);
    for (const char* refused : {"a.TXT", "a.Csv", "a.xlsx", "a.txt.bak", "a", "a.txt ", ".txt/a"})
        EXPECT_EQ(QueryExporter::formatOf(refused), QueryExporter::Format::Unsupported) << refused;
}

TEST_F(QueryExportTest, TextFileJoinsWithTheSeparatorAndLeavesABlankLineAfterEachRecord)
{
    makeXyTable();
    ASSERT_TRUE(exportTo("SELECT x, y FROM t ORDER BY x", "a.txt", " , "));
    EXPECT_EQ(bytesOf("a.txt"), "1 , 2\r\n\r\n3 , 4\r\n\r\n");

    ASSERT_TRUE(exportTo("SELECT x, y FROM t ORDER BY x", "b.txt", GBK("｜")));
    EXPECT_EQ(bytesOf("b.txt"), "1" + GBK("｜") + "2\r\n\r\n3" + GBK("｜") + "4\r\n\r\n");

    for (const std::optional<std::string>& none : {std::optional<std::string>(), std::optional<std::string>("")}) {
        ASSERT_TRUE(exportTo("SELECT x, y FROM t ORDER BY x", "c.txt", none));
        EXPECT_EQ(bytesOf("c.txt"), "1 , 2\r\n\r\n3 , 4\r\n\r\n");
    }
}

TEST_F(QueryExportTest, CsvIgnoresTheGivenSeparatorAndWritesRawGbkWithoutQuoting)
{
    run("CREATE TABLE q (id INTEGER, title TEXT, score REAL, note TEXT)");
    run("INSERT INTO q VALUES (1, '" + GBK("中文，含逗号\"引号\"") + "', 2.5, NULL)");
    run("INSERT INTO q VALUES (2, 'plain', -1, '')");
    writeBytes(dir.native("out.csv"), std::string(5000, 'x'));
    ASSERT_TRUE(exportTo("SELECT * FROM q ORDER BY id", "out.csv", ";"));
    EXPECT_EQ(bytesOf("out.csv"), "1 , " + GBK("中文，含逗号\"引号\"") + " , 2.5 , \r\n2 , plain , -1.0 , \r\n");
}

TEST_F(QueryExportTest, SheetHasTheHeaderRowAndEmptyCellRecordsForEmptyValues)
{
    run("CREATE TABLE one (id TEXT)");
    run("INSERT INTO one VALUES ('')");
    ASSERT_TRUE(exportTo("SELECT id FROM one", "one.xls"));
    EXPECT_EQ(bytesOf("one.xls"), beginOfFile() + textCell(0, 0, "id") + blankCell(1, 0) + endOfFile());
}

TEST_F(QueryExportTest, SpreadsheetReaderGetsTheSameCellsChineseIncluded)
{
    run("CREATE TABLE KS_SJTK (id INTEGER, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)");
    run("INSERT INTO KS_SJTK VALUES (1, '" + GBK("下列哪一项是正确的？") + "', '" + GBK("甲|乙|丙|丁|") +
        "', 'A', '4')");
    run("INSERT INTO KS_SJTK VALUES (2, NULL, 'x|y|', 'B', '2')");
    ASSERT_TRUE(
        exportTo("SELECT id, Title AS " + GBK("题目") + ", Tmnr, Answer, did FROM KS_SJTK ORDER BY id", "bank.xls"));
    std::vector<std::vector<std::string>> expected = {
        {"T:id", "T:题目", "T:Tmnr", "T:Answer", "T:did"},
        {"T:1", "T:下列哪一项是正确的？", "T:甲|乙|丙|丁|", "T:A", "T:4"},
        {"T:2", "", "T:x|y|", "T:B", "T:2"},
    };
    EXPECT_EQ(readWithXlrd(dir.native("bank.xls")), expected);
}

TEST_F(QueryExportTest, UnsupportedExtensionWritesNothing)
{
    makeXyTable();
    EXPECT_FALSE(exportTo("SELECT * FROM t", "a.TXT"));
    EXPECT_FALSE(exists("a.TXT"));
    writeBytes(dir.native("keep.Xls"), "old");
    EXPECT_FALSE(exportTo("SELECT * FROM t", "keep.Xls"));
    EXPECT_EQ(bytesOf("keep.Xls"), "old");
}

TEST_F(QueryExportTest, WithNoBackendSelectedNothingIsTouched)
{
    makeXyTable();
    writeBytes(dir.native("keep.txt"), "old");
    connection.open(std::nullopt, std::nullopt, "", dir.path("bank.db"), std::nullopt, static_cast<DbKind>(2));
    EXPECT_FALSE(exportTo("SELECT * FROM t", "keep.txt"));
    EXPECT_EQ(bytesOf("keep.txt"), "old");
    EXPECT_FALSE(exportTo("SELECT * FROM t", "new.xls"));
    EXPECT_FALSE(exists("new.xls"));
}

TEST_F(QueryExportTest, QueryWithoutRowsFailsLeavingEmptyTextFilesAndNoSheet)
{
    makeXyTable();
    writeBytes(dir.native("old.txt"), "previous export");
    EXPECT_FALSE(exportTo("SELECT * FROM t WHERE x > 100", "old.txt"));
    EXPECT_EQ(bytesOf("old.txt"), "");
    EXPECT_FALSE(exportTo("SELECT * FROM t WHERE x > 100", "new.csv"));
    ASSERT_TRUE(exists("new.csv"));
    EXPECT_EQ(bytesOf("new.csv"), "");
    EXPECT_FALSE(exportTo("SELECT * FROM t WHERE x > 100", "none.xls"));
    EXPECT_FALSE(exists("none.xls"));
    EXPECT_FALSE(exportTo("SELECT * FROM missing_table", "bad.xls"));
    EXPECT_FALSE(exists("bad.xls"));
}

TEST_F(QueryExportTest, UnwritableFileFails)
{
    makeXyTable();
    EXPECT_FALSE(exportTo("SELECT * FROM t", "no-such-folder/a.txt"));
    EXPECT_FALSE(exportTo("SELECT * FROM t", "no-such-folder/a.xls"));
}

// The spreadsheet records hold 16-bit lengths and row numbers: such results are
// refused instead of being written as a corrupt file.
TEST_F(QueryExportTest, ResultsBeyondTheSheetLimitsAreRefusedWithNoFileLeft)
{
    run("CREATE TABLE big (v TEXT)");
    run("INSERT INTO big VALUES (printf('%.*c', " + std::to_string(XlsSheetWriter::maxTextBytes + 1) + ", 'a'))");
    EXPECT_FALSE(exportTo("SELECT v FROM big", "long.xls"));
    EXPECT_FALSE(exists("long.xls"));
    // The text formats have no such limit.
    EXPECT_TRUE(exportTo("SELECT v FROM big", "long.csv"));
    EXPECT_EQ(bytesOf("long.csv").size(), XlsSheetWriter::maxTextBytes + 1 + 2);

    run("DELETE FROM big");
    run("INSERT INTO big VALUES (printf('%.*c', " + std::to_string(XlsSheetWriter::maxTextBytes) + ", 'a'))");
    EXPECT_TRUE(exportTo("SELECT v FROM big", "longest.xls"));
    auto cells = readWithXlrd(dir.native("longest.xls"));
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1][0].size(), 2 + XlsSheetWriter::maxTextBytes);

    // With the header row, 65535 records fill the last row number a record can hold.
    run("CREATE TABLE n (i INTEGER)");
    run("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 65535) INSERT INTO n SELECT i FROM "
        "c");
    EXPECT_TRUE(exportTo("SELECT i FROM n ORDER BY i", "full.xls"));
    std::string bytes = bytesOf("full.xls");
    EXPECT_EQ(bytes.substr(bytes.size() - 4 - 17), textCell(0xFFFF, 0, "65535") + endOfFile());
    run("INSERT INTO n VALUES (65536)");
    writeBytes(dir.native("full.xls"), "old");
    EXPECT_FALSE(exportTo("SELECT i FROM n ORDER BY i", "full.xls"));
    EXPECT_EQ(bytesOf("full.xls"), "old");
}

TEST_F(QueryExportTest, ExportReplacesTheResultSharedByEveryRecordset)
{
    makeXyTable();
    DbRecordset application;
    ASSERT_TRUE(application.attach(connection));
    ASSERT_TRUE(application.open("SELECT x FROM t ORDER BY x"));
    ASSERT_TRUE(exportTo("SELECT y FROM t ORDER BY y", "y.csv"));
    EXPECT_EQ(bytesOf("y.csv"), "2\r\n4\r\n");
    std::string value;
    EXPECT_FALSE(application.readText("x", value));
}

namespace {
int pumps = 0;
void countPump()
{
    ++pumps;
}
} // namespace

TEST_F(QueryExportTest, LongExportPumpsPendingEventsOnATimeBasis)
{
    run("CREATE TABLE m (a, b, c)");
    run("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 50000) "
        "INSERT INTO m SELECT i, 'text ' || i, i * 0.5 FROM s");
    pumps = 0;
    EventPump::install(countPump);
    auto start = std::chrono::steady_clock::now();
    bool ok = exportTo("SELECT * FROM m", "m.txt", "\t") && exportTo("SELECT * FROM m", "m.xls");
    auto took = std::chrono::steady_clock::now() - start;
    EventPump::install(nullptr);
    ASSERT_TRUE(ok);
    auto intervals = took / EventPump::interval;
    EXPECT_LE(pumps, intervals + 1);
    if (intervals >= 4) {
        EXPECT_GE(pumps, 1);
    }
}

TEST_F(QueryExportTest, AFailedExportLeavesTheEarlierFileAndNoPartBehind)
{
    run("CREATE TABLE big (v TEXT)");
    run("INSERT INTO big VALUES (printf('%.*c', " + std::to_string(XlsSheetWriter::maxTextBytes + 1) + ", 'a'))");
    writeBytes(dir.native("keep.xls"), "old sheet");
    EXPECT_FALSE(exportTo("SELECT v FROM big", "keep.xls"));
    EXPECT_EQ(bytesOf("keep.xls"), "old sheet");
    writeBytes(dir.native("keep.txt"), "old text");
    EXPECT_FALSE(exportTo("SELECT * FROM missing_table", "keep.txt"));
    EXPECT_EQ(bytesOf("keep.txt"), "old text");
    EXPECT_TRUE(exportTo("SELECT 'new' AS v", "keep.txt"));
    EXPECT_EQ(bytesOf("keep.txt"), "new\r\n\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.native("")))
        ++entries;
    EXPECT_EQ(entries, 3); // bank.db, keep.xls, keep.txt
}

TEST_F(QueryExportTest, FieldsOfTheSameNameKeepTheirOwnValues)
{
    EXPECT_TRUE(exportTo("SELECT 'a' AS x, 'b' AS x", "same.csv"));
    EXPECT_EQ(bytesOf("same.csv"), "a , b\r\n");
    EXPECT_TRUE(exportTo("SELECT 'a' AS x, 'b' AS x", "same.xls"));
    EXPECT_EQ(bytesOf("same.xls"), beginOfFile() + textCell(0, 0, "x") + textCell(0, 1, "x") + textCell(1, 0, "a") +
                                       textCell(1, 1, "b") + endOfFile());
}

namespace {
// What a window handler did while the export pumped its events.
struct HandlerVisit {
    int visits = 0;
    bool opened = true;
    bool exported = true;
    std::string reason;
    std::function<void()> extra;
} visit;

void queryingHandler()
{
    if (visit.visits++ > 0)
        return;
    DbRecordset window;
    DbConnection connection;
    visit.opened = window.open("SELECT 1 AS one");
    visit.reason = connection.lastErrorText();
    visit.exported = connection.exportQuery("SELECT 1", "nested.csv");
    if (visit.extra)
        visit.extra();
}
} // namespace

TEST_F(QueryExportTest, WindowEventsDuringAnExportCannotReplaceItsResult)
{
    run("CREATE TABLE m (a, b)");
    run("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 20000) "
        "INSERT INTO m SELECT i, 'v' || i FROM s");
    visit = HandlerVisit();
    EventPump::install(queryingHandler);
    std::this_thread::sleep_for(EventPump::interval);
    const bool ok = exportTo("SELECT a, b FROM m ORDER BY a", "m.csv");
    EventPump::install(nullptr);
    ASSERT_GE(visit.visits, 1);
    EXPECT_FALSE(visit.opened);
    EXPECT_FALSE(visit.exported);
    EXPECT_EQ(visit.reason, GBK("正在导出查询结果，请等导出完成后再查询"));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(bytesOf("m.csv").ends_with("19999 , v19999\r\n20000 , v20000\r\n"));

    // Ended behind the facades' back, the result no longer holds the rows.
    writeBytes(dir.native("m.csv"), "old");
    visit = HandlerVisit();
    visit.extra = [this] { registry.sqliteRecordset().close(); };
    EventPump::install(queryingHandler);
    std::this_thread::sleep_for(EventPump::interval);
    EXPECT_FALSE(exportTo("SELECT a, b FROM m ORDER BY a", "m.csv"));
    EventPump::install(nullptr);
    EXPECT_EQ(bytesOf("m.csv"), "old");
}

namespace {

// Rows a program holds go out byte for byte as the same rows of a query do.
TEST_F(QueryExportTest, RowsWriteTheBytesOfTheSameQueryResult)
{
    run("CREATE TABLE t (a TEXT, b TEXT)");
    run("INSERT INTO t VALUES ('1', NULL), (" + std::string(GBK("'中文'")) + ", 'x')");
    const std::vector<TextTable::Row> rows = {{"1", ""}, {GBK("中文"), "x"}};
    for (const char* name : {"q.txt", "q.csv", "q.xls"}) {
        ASSERT_TRUE(exportTo("SELECT a, b AS " + std::string(GBK("列")) + " FROM t ORDER BY rowid", name, "|")) << name;
        const std::string rowsName = std::string("r") + (name + 1);
        ASSERT_TRUE(TableExport::write(dir.path(rowsName), {"a", GBK("列")}, rows, "|")) << name;
        EXPECT_EQ(bytesOf(rowsName), bytesOf(name)) << name;
    }
    EXPECT_FALSE(TableExport::write(dir.path("none.csv"), {"a"}, {}));
    EXPECT_EQ(bytesOf("none.csv"), "");
    EXPECT_FALSE(TableExport::write(dir.path("none.xls"), {"a"}, {}));
    EXPECT_FALSE(exists("none.xls"));
}

} // namespace
