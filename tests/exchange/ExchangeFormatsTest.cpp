#include "exchange/BankExporter.h"
#include "exchange/BankImporter.h"
#include "exchange/CsvFormat.h"
#include "exchange/SheetColumns.h"
#include "exchange/XlsxFormat.h"

#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "exchange/ExchangeTestSupport.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <gtest/gtest.h>

namespace {

// GBK-only characters, quotes, commas, a second line in every third title,
// the characters GIFT escapes, and 2, 3 and 4 options in turn.
std::vector<BankQuestion> generated(int count)
{
    const char* rare[] = {"镕", "堃", "喆", "們", "裏", "碁", "犇", "鑫"};
    std::vector<BankQuestion> questions;
    for (int i = 0; i < count; ++i) {
        BankQuestion q;
        q.title = "第" + std::to_string(i) + "题：" + rare[i % 8] + "，含\"引号\"和'单引号',逗号 ( )";
        if (i % 3 == 0)
            q.title += "\r\n第二行" + std::string(rare[(i + 1) % 8]);
        const int options = 2 + i % 3;
        for (int k = 0; k < options; ++k) {
            std::string option = std::string(1, static_cast<char>('A' + k)) + std::to_string(i) + rare[k];
            if (i % 4 == k)
                option += ",\"引\"";
            if (i % 7 == k)
                option += "{x}=~#:\\";
            q.options.push_back(option);
        }
        q.answer = std::string(1, static_cast<char>('A' + i % options));
        questions.push_back(q);
    }
    return questions;
}

ImportReport importInto(ScratchBank& bank, const std::string& file, ImportOptions options = {})
{
    return BankImporter(bank.bank).run(file, options);
}

TEST(BankExchange, FiveHundredQuestionsRoundTripThroughEveryFormat)
{
    ScratchBank source;
    ParsedBank parsed;
    parsed.questions = generated(500);
    const ImportReport seeded = BankImporter(source.bank).run(parsed, {});
    ASSERT_TRUE(seeded.ok) << platform::gbkToUtf8(seeded.error);
    ASSERT_EQ(seeded.imported, 500u);
    const std::vector<ScratchBank::Row> stored = source.rows();

    const std::pair<const char*, TextEncoding> files[] = {
        {"all.csv", TextEncoding::Utf8}, {"gbk.csv", TextEncoding::Gbk},  {"all.xlsx", TextEncoding::Utf8},
        {"all.xls", TextEncoding::Utf8}, {"all.txt", TextEncoding::Utf8}, {"all.gift", TextEncoding::Utf8}};
    for (const auto& [name, encoding] : files) {
        SCOPED_TRACE(name);
        const std::string file = source.file(name);
        BankExporter exporter(source.bank);
        ASSERT_EQ(exporter.exportTo(file, *BankFormat::fromPath(file), QuestionBank::listAllQuery(), encoding), 500)
            << platform::gbkToUtf8(exporter.lastErrorText());
        ScratchBank target;
        const ImportReport report = importInto(target, file, {.strict = true});
        ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
        EXPECT_TRUE(report.checked.problems.empty())
            << platform::gbkToUtf8(BankChecker::describe(report.checked.problems.front()));
        EXPECT_EQ(target.rows(), stored);
    }
}

TEST(BankExchange, ImportedRowsHaveTheLayoutOfTypedOnes)
{
    ScratchBank bank;
    writeText(bank.file("one.csv"), "Title,A,B,C,D,Answer\r\n  二加三等于几？ ,\"4 \",5,６　,,b\r\n");
    ASSERT_TRUE(importInto(bank, bank.file("one.csv")).ok);
    // Outer blanks trimmed from the title, every blank removed from options,
    // four slots each followed by a bar, the count of options as text.
    EXPECT_EQ(bank.rows(), (std::vector<ScratchBank::Row>{{"二加三等于几？", "4|5|６||", "B", "3"}}));
}

// What the bank holds of each question, its category included ("" for none).
std::vector<std::vector<std::string>> withCategories(ScratchBank& bank)
{
    Database::Rows rows;
    const std::string query =
        QuestionBank(bank.bank).hasCategories() ? QuestionBank::categorizedListQuery() : QuestionBank::listAllQuery();
    EXPECT_TRUE(bank.bank.query(query, rows));
    std::vector<std::vector<std::string>> out;
    for (const Database::Row& row : rows) {
        std::vector<std::string> cells;
        for (std::size_t i = 1; i < row.size(); ++i) {
            const std::string cell = platform::gbkToUtf8(row[i].value_or(""));
            cells.push_back(cell == platform::gbkToUtf8(QuestionBank::uncategorisedText()) ? "" : cell);
        }
        out.push_back(cells);
    }
    return out;
}

TEST(BankExchange, TypesCategoriesAndMultipleAnswersRoundTripThroughTheSpreadsheets)
{
    ScratchBank source;
    writeText(source.file("in.csv"), "分类,Title,A,B,C,D,Answer,题型\n"
                                     "安全生产,多选题,a,b,c,d,d c a,多选\n"
                                     ",单选题,a,b,,,B,\n"
                                     "质量管理,判断题,对,错,,,A,判断\n");
    const ImportReport report = importInto(source, source.file("in.csv"));
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    const std::vector<std::vector<std::string>> stored = withCategories(source);
    EXPECT_EQ(stored, (std::vector<std::vector<std::string>>{{"多选题", "a|b|c|d|", "ACD", "4", "安全生产"},
                                                             {"单选题", "a|b|||", "B", "2", ""},
                                                             {"判断题", "对|错|||", "A", "2", "质量管理"}}));
    for (const char* name : {"out.csv", "out.xlsx", "out.xls"}) {
        SCOPED_TRACE(name);
        BankExporter exporter(source.bank);
        ASSERT_EQ(exporter.exportTo(source.file(name), *BankFormat::fromPath(name)), 3);
        ScratchBank target;
        ASSERT_TRUE(importInto(target, source.file(name), {.strict = true}).ok);
        EXPECT_EQ(withCategories(target), stored);
    }
    EXPECT_NE(readText(source.file("out.csv")).find("答案,题型,分类\r\n多选题,a,b,c,d,ACD,多选,安全生产\r\n"),
              std::string::npos);
}

// Moodle's weights stand for a key only when the right answers share the
// mark; its category paths give their last name, and a bare top none.
TEST(BankExchange, GiftWeightsAndCategoryLinesRoundTrip)
{
    ScratchBank source;
    writeText(source.file("in.gift"), "// 手写\n"
                                      "$CATEGORY: $course$/top/安全生产\n"
                                      "\n"
                                      "::多选:: 哪些是防护用品？ {\n"
                                      "~%33.33333%安全帽\n"
                                      "~%33.33333%手套\n"
                                      "~%-100%拖鞋\n"
                                      "~%33.33333%护目镜\n"
                                      "}\n"
                                      "\n"
                                      "::部分:: 不等分的 {~%70%a ~%30%b ~%-100%c}\n"
                                      "\n"
                                      "$CATEGORY: $course$/top\n"
                                      "\n"
                                      "单选题 {=a ~b}\n"
                                      "\n"
                                      "$CATEGORY: $system$/top/质量//管理\n"
                                      "\n"
                                      "判断题 {=对 ~错}\n");
    const ImportReport report = importInto(source, source.file("in.gift"));
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    ASSERT_EQ(report.checked.problems.size(), 1u);
    EXPECT_EQ(report.checked.problems[0].line, 11);
    const std::vector<std::vector<std::string>> stored = withCategories(source);
    EXPECT_EQ(stored, (std::vector<std::vector<std::string>>{
                          {"哪些是防护用品？", "安全帽|手套|拖鞋|护目镜|", "ABD", "4", "安全生产"},
                          {"单选题", "a|b|||", "A", "2", ""},
                          {"判断题", "对|错|||", "A", "2", "质量/管理"}}));

    BankExporter exporter(source.bank);
    ASSERT_EQ(exporter.exportTo(source.file("out.gift"), BankFormat::Kind::Gift), 3);
    const std::string written = readText(source.file("out.gift"));
    for (const char* piece : {"$CATEGORY: $course$/top/安全生产\n\n::Q1::", "\t~%33.33333%手套\n\t~%-100%拖鞋\n",
                              "$CATEGORY: $course$/top\n\n::Q2::", "$CATEGORY: $course$/top/质量//管理\n"})
        EXPECT_NE(written.find(piece), std::string::npos) << piece << "\n" << written;
    ScratchBank target;
    ASSERT_TRUE(importInto(target, source.file("out.gift"), {.strict = true}).ok);
    EXPECT_EQ(withCategories(target), stored);
}

TEST(BankExchange, ABankOfSingleAnswersWithoutCategoriesKeepsItsFilesAndItsTables)
{
    ScratchBank bank;
    writeText(bank.file("in.csv"), "题目,选项A,选项B,答案,题型,分类\n一,a,b,B,单选,\n");
    ASSERT_TRUE(importInto(bank, bank.file("in.csv")).ok);
    EXPECT_FALSE(QuestionBank(bank.bank).hasCategories());
    BankExporter exporter(bank.bank);
    ASSERT_EQ(exporter.exportTo(bank.file("out.csv"), BankFormat::Kind::Csv), 1);
    EXPECT_EQ(readText(bank.file("out.csv")), "\xEF\xBB\xBF题目,选项A,选项B,选项C,选项D,答案\r\n一,a,b,,,B\r\n");
    ASSERT_EQ(exporter.exportTo(bank.file("out.xlsx"), BankFormat::Kind::Xlsx), 1);
    std::string error;
    const std::vector<SheetRow> sheet = XlsxFormat::readSheet(readText(bank.file("out.xlsx")), error);
    ASSERT_FALSE(sheet.empty()) << error;
    EXPECT_EQ(sheet.front().cells, SheetColumns::headerNames());
}

TEST(BankExchange, PlantedProblemsAreReportedAtTheirRowsAndStrictImportWritesNothing)
{
    ScratchBank bank;
    bank.run("INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('已有的题', 'a|b|||', 'A', '2')");
    std::string csv = "题目,选项A,选项B,选项C,选项D,选项E,答案\n";
    const std::vector<std::pair<int, std::string>> planted = {
        {3, ",a,b,,,,A"},             // no title
        {5, "一个选项,a,,,,,A"},      // fewer than two options
        {7, "五个选项,a,b,c,d,e,A"},  // more than four
        {9, "答案越界,a,b,c,,,D"},    // answer outside the options
        {11, "表情😀,a,b,,,,A"},       // GBK cannot hold it
        {13, "已有的题,a,b,,,,A"},    // stored already
        {15, "好题2,x,y,,,,A"},       // repeats row 2
        {17, "竖线,a|b,c,,,,A"},      // bar inside an option
        {19, "换行,\"a\nb\",c,,,,A"}, // line break inside an option
        {22, "没有答案,a,b,,,,"},     // no answer
    };
    int row = 2;
    for (const auto& [line, text] : planted) {
        for (; row < line; ++row)
            csv += "好题" + std::to_string(row) + ",x,y,,,,A\n";
        csv += text + "\n";
        ++row;
    }
    csv += "好题99,x,y,,,,B\n";
    writeText(bank.file("planted.csv"), csv);

    const ImportReport strict = importInto(bank, bank.file("planted.csv"), {.strict = true});
    ASSERT_TRUE(strict.ok);
    std::vector<int> lines;
    for (const BankProblem& p : strict.checked.problems)
        lines.push_back(p.line);
    std::vector<int> expected;
    for (const auto& [line, text] : planted)
        expected.push_back(line);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(strict.imported, 0u);
    EXPECT_EQ(bank.rows().size(), 1u);
    EXPECT_TRUE(BankBackup::copies(bank.path).empty());

    const ImportReport loose = importInto(bank, bank.file("planted.csv"));
    EXPECT_EQ(loose.imported, strict.checked.accepted);
    EXPECT_EQ(bank.rows().size(), 1 + loose.imported);
}

TEST(BankExchange, FailurePartWayLeavesTheBankAsItWasAndBackupsAreBounded)
{
    ScratchBank bank;
    std::string csv = "题目,选项A,选项B,答案\n";
    for (int i = 0; i < 50; ++i)
        csv += "题" + std::to_string(i) + ",a,b,A\n";
    writeText(bank.file("in.csv"), csv);
    bank.run(
        "CREATE TRIGGER refuse BEFORE INSERT ON KS_SJTK WHEN NEW.Title = '题40' BEGIN SELECT RAISE(ABORT, 'no'); END");
    const ImportReport failed = importInto(bank, bank.file("in.csv"));
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(platform::gbkToUtf8(failed.error).find("第42行"), std::string::npos) << platform::gbkToUtf8(failed.error);
    EXPECT_TRUE(bank.rows().empty());
    EXPECT_TRUE(BankBackup::copies(bank.path).empty());

    bank.run("DROP TRIGGER refuse");
    for (int round = 0; round < 3; ++round) {
        bank.run("DELETE FROM KS_SJTK");
        EXPECT_EQ(importInto(bank, bank.file("in.csv"), {.keepBackups = 2}).imported, 50u);
    }
    EXPECT_EQ(BankBackup::copies(bank.path).size(), 2u);
}

TEST(BankExchange, FilesOfOtherProgramsRead)
{
    ScratchBank bank;
    const std::string script =
        "import csv, openpyxl, sys\n"
        "rows = [['Title','A','B','C','D','Answer'], ['他說,\"好\"\\n第二行','甲','乙','丙','','c'],"
        "        ['数','1','2','','',  'A']]\n"
        "for enc, name in (('utf-8-sig','u.csv'), ('gbk','g.csv')):\n"
        "    with open(sys.argv[1] + name, 'w', newline='', encoding=enc) as f:\n"
        "        csv.writer(f).writerows(rows)\n"
        "wb = openpyxl.Workbook(); ws = wb.active\n"
        "for r in rows: ws.append(r)\n"
        "ws['B3'] = 1; ws['C3'] = 2.0\n"
        "wb.save(sys.argv[1] + 'o.xlsx')\n";
    writeText(bank.file("make.py"), script);
    ASSERT_EQ(std::system(("/usr/bin/python3 " + bank.file("make.py") + " " + bank.folder.string() + "/").c_str()), 0);
    for (const char* name : {"u.csv", "g.csv", "o.xlsx"}) {
        SCOPED_TRACE(name);
        ScratchBank target;
        const ImportReport report = importInto(target, bank.file(name));
        ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
        EXPECT_EQ(target.rows(), (std::vector<ScratchBank::Row>{{"他說,\"好\"\r\n第二行", "甲|乙|丙||", "C", "3"},
                                                                {"数", "1|2|||", "A", "2"}}));
    }

    // The program's own export of query results: the bank's columns, GBK records.
    BackendRegistry registry;
    DbConnection connection;
    ScratchBank source;
    source.run("INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('导出的题', '甲|乙|丙|丁|', 'D', '4')");
    ASSERT_TRUE(connection.open({}, {}, {}, source.path, {}, DbKind::Sqlite));
    ASSERT_TRUE(connection.exportQuery("SELECT * FROM KS_SJTK", source.file("own.xls")));
    connection.close();
    const ImportReport own = importInto(bank, source.file("own.xls"));
    ASSERT_TRUE(own.ok) << platform::gbkToUtf8(own.error);
    EXPECT_EQ(bank.rows(), source.rows());
}

} // namespace
