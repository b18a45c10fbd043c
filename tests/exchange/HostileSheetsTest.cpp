#include "exchange/BankImporter.h"
#include "exchange/XlsFormat.h"
#include "exchange/XlsxFormat.h"

#include "exchange/ExchangeTestSupport.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <map>

namespace {

const std::string dataDir = std::string(MOCKEXAM_TESTS_DIR) + "/exchange/data/sheets/";

std::string utf8(const std::string& gbk)
{
    return platform::gbkToUtf8(gbk);
}

// Parts of a workbook, stored or deflated.
void writeZip(const std::string& path, const std::map<std::string, std::string>& parts, bool deflate = true)
{
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, text] : parts) {
        zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

const std::string workbookXml = "<workbook><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\" "
                                "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/>"
                                "</sheets></workbook>";
const std::string relsXml = "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" "
                            "Target=\"worksheets/sheet1.xml\"/></Relationships>";
const std::string sheetXml = "<worksheet><sheetData>"
                             "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Title</t></is></c>"
                             "<c r=\"B1\" t=\"inlineStr\"><is><t>A</t></is></c><c r=\"C1\" t=\"inlineStr\"><is><t>B</t>"
                             "</is></c><c r=\"D1\" t=\"inlineStr\"><is><t>Answer</t></is></c></row>"
                             "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>QQQQ</t></is></c>"
                             "<c r=\"B2\"><v>1</v></c><c r=\"C2\"><v>2</v></c>"
                             "<c r=\"D2\" t=\"inlineStr\"><is><t>A</t></is></c></row>"
                             "</sheetData></worksheet>";

struct Bomb {
    std::string head = "<sst>";
    std::string item = "<si><t>" + std::string(1000, 'x') + "</t></si>";
    std::size_t items = 300000; // 300 MB of XML
    std::size_t at = 0;         // bytes handed out
    std::size_t size() const { return head.size() + items * item.size() + 6; }
};

// A shared-strings part of hundreds of megabytes, deflated as it is made.
zip_int64_t bombSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    Bomb& bomb = *static_cast<Bomb*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        bomb.at = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const std::string tail = "</sst>";
        char* out = static_cast<char*>(data);
        std::size_t written = 0;
        while (written < length && bomb.at < bomb.size()) {
            const std::size_t body = bomb.at - bomb.head.size();
            char c;
            if (bomb.at < bomb.head.size())
                c = bomb.head[bomb.at];
            else if (body < bomb.items * bomb.item.size())
                c = bomb.item[body % bomb.item.size()];
            else
                c = tail[body - bomb.items * bomb.item.size()];
            out[written++] = c;
            ++bomb.at;
        }
        return static_cast<zip_int64_t>(written);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = bomb.size();
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_FREE, ZIP_SOURCE_ERROR, -1);
    default:
        return 0;
    }
}

// AddressSanitizer keeps freed memory in quarantine (256 MB by default) and
// counts it as resident: that much more is allowed there.
#if defined(__SANITIZE_ADDRESS__)
constexpr long sanitizerAllowanceKb = 256L * 1024;
#else
constexpr long sanitizerAllowanceKb = 0;
#endif

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(HostileSheets, AWorkbookThatUnpacksToHundredsOfMegabytesIsRefusedInBoundedMemoryAndTime)
{
    ScratchBank scratch;
    const std::string path = scratch.file("bomb.xlsx");
    writeZip(path, {{"xl/workbook.xml", workbookXml},
                    {"xl/_rels/workbook.xml.rels",
                     "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                     "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                     "</Relationships>"},
                    {"xl/worksheets/sheet1.xml", sheetXml}});
    Bomb bomb;
    zip_t* zip = zip_open(path.c_str(), 0, nullptr);
    ASSERT_NE(zip, nullptr);
    zip_source_t* source = zip_source_function(zip, bombSource, &bomb);
    ASSERT_GE(zip_file_add(zip, "xl/sharedStrings.xml", source, 0), 0);
    ASSERT_EQ(zip_close(zip), 0);
    ASSERT_LT(std::filesystem::file_size(path), 1536u * 1024);

    const long before = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    const ParsedBank parsed = BankFormat::readFile(path, BankFormat::Kind::Xlsx);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    EXPECT_LT(peakKilobytes() - before, 300L * 1024 + sanitizerAllowanceKb);
    EXPECT_NE(utf8(parsed.error).find("解压后超过64 MB"), std::string::npos) << utf8(parsed.error);
    EXPECT_TRUE(parsed.questions.empty());
}

TEST(HostileSheets, DamagedWorkbooksAreRefusedAndSaySo)
{
    ScratchBank scratch;
    const std::map<std::string, std::string> whole = {{"xl/workbook.xml", workbookXml},
                                                      {"xl/_rels/workbook.xml.rels", relsXml},
                                                      {"xl/worksheets/sheet1.xml", sheetXml}};
    const std::string good = scratch.file("good.xlsx");
    writeZip(good, whole, false);
    ASSERT_EQ(XlsxFormat::read(readText(good)).questions.size(), 1u);

    std::map<std::string, std::string> cases;
    cases["truncated"] = readText(good).substr(0, readText(good).size() * 2 / 3);
    std::string crc = readText(good); // the sheet is stored, so one changed letter breaks only its checksum
    crc[crc.find("QQQQ")] = 'R';
    cases["checksum"] = crc;
    std::map<std::string, std::string> parts = whole;
    parts["xl/worksheets/sheet1.xml"] = sheetXml.substr(0, sheetXml.find("<row r=\"2\">") + 30);
    writeZip(scratch.file("cut.xlsx"), parts);
    cases["sheet stops half way"] = readText(scratch.file("cut.xlsx"));
    parts = whole;
    parts.erase("xl/worksheets/sheet1.xml");
    parts["xl/worksheets/sheet2.xml"] = sheetXml;
    writeZip(scratch.file("missing.xlsx"), parts);
    cases["sheet part missing"] = readText(scratch.file("missing.xlsx"));

    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const ParsedBank parsed = XlsxFormat::read(bytes);
        EXPECT_NE(utf8(parsed.error).find("已损坏"), std::string::npos) << utf8(parsed.error);
        EXPECT_TRUE(parsed.questions.empty());
    }
}

TEST(HostileSheets, XlsWithoutItsEndOrCutShortIsRefused)
{
    ScratchBank scratch;
    const std::string own = scratch.file("own.xls");
    std::string error;
    ASSERT_TRUE(XlsFormat::write(own, {{0, "题", {"甲", "乙"}, "A"}, {0, "题二", {"丙", "丁"}, "B"}}, error));
    const std::string whole = readText(own);
    ASSERT_EQ(XlsFormat::read(own, whole).questions.size(), 2u);

    const std::string lo = readText(dataDir + "cells.xls");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"no end-of-file record", whole.substr(0, whole.size() - 4)},
        {"cut inside a record", whole.substr(0, whole.size() - 9)},
        {"compound file cut short", lo.substr(0, lo.size() / 2)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeText(scratch.file("cut.xls"), bytes);
        const ParsedBank parsed = BankFormat::readFile(scratch.file("cut.xls"), BankFormat::Kind::Xls);
        EXPECT_NE(utf8(parsed.error).find("已损坏"), std::string::npos) << utf8(parsed.error);
        EXPECT_TRUE(parsed.questions.empty());
    }
}

std::map<int, std::string> problemsByRow(const std::vector<BankProblem>& problems)
{
    std::map<int, std::string> rows;
    for (const BankProblem& p : problems)
        rows[p.line] = utf8(p.reason);
    return rows;
}

TEST(HostileSheets, CellsNotHoldingTheirShownTextAreReportedByRowAndColumn)
{
    const ParsedBank parsed = BankFormat::readFile(dataDir + "cells.xlsx", BankFormat::Kind::Xlsx);
    ASSERT_TRUE(parsed.error.empty()) << utf8(parsed.error);
    std::vector<int> read;
    for (const BankQuestion& q : parsed.questions)
        read.push_back(q.line);
    // Row 2's formula lies in a column the bank does not read.
    EXPECT_EQ(read, (std::vector<int>{2, 8}));
    EXPECT_EQ(parsed.questions.front().options, (std::vector<std::string>{"1", "2", "3", "4"}));
    const std::map<int, std::string> problems = problemsByRow(parsed.problems);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_TRUE(problems.at(3).starts_with("D列是公式")) << problems.at(3);
    EXPECT_TRUE(problems.at(4).starts_with("C列是日期")) << problems.at(4);
    EXPECT_TRUE(problems.at(5).starts_with("E列是百分数")) << problems.at(5);
    EXPECT_TRUE(problems.at(6).starts_with("B列是错误值#N/A")) << problems.at(6);
    EXPECT_TRUE(problems.at(7).starts_with("B列是错误值#DIV/0!")) << problems.at(7);
    ASSERT_EQ(parsed.notes.size(), 1u);
    EXPECT_EQ(utf8(parsed.notes.front()), "工作簿有2个工作表，只读入了第一个“题库”");

    // The same sheet saved by a spreadsheet program as .xls: formulas carry
    // their results there, the rest reads as above.
    const ParsedBank xls = BankFormat::readFile(dataDir + "cells.xls", BankFormat::Kind::Xls);
    ASSERT_TRUE(xls.error.empty()) << utf8(xls.error);
    read.clear();
    for (const BankQuestion& q : xls.questions)
        read.push_back(q.line);
    EXPECT_EQ(read, (std::vector<int>{2, 3, 8}));
    EXPECT_EQ(xls.questions[1].options, (std::vector<std::string>{"1", "2", "3", "5"}));
    const std::map<int, std::string> xlsProblems = problemsByRow(xls.problems);
    ASSERT_EQ(xlsProblems.size(), 4u);
    EXPECT_TRUE(xlsProblems.at(4).starts_with("C列是日期")) << xlsProblems.at(4);
    EXPECT_TRUE(xlsProblems.at(5).starts_with("E列是百分数")) << xlsProblems.at(5);
    EXPECT_TRUE(xlsProblems.at(6).starts_with("B列是错误值#N/A")) << xlsProblems.at(6);
    EXPECT_TRUE(xlsProblems.at(7).starts_with("B列是错误值#DIV/0!")) << xlsProblems.at(7);
    ASSERT_EQ(xls.notes.size(), 1u);
    EXPECT_EQ(utf8(xls.notes.front()), "工作簿有2个工作表，只读入了第一个“题库”");
}

TEST(HostileSheets, AnImportTakesTheReadableRowsAndListsTheOthers)
{
    ScratchBank bank;
    const ImportReport report = BankImporter(bank.bank).run(dataDir + "cells.xlsx", {});
    ASSERT_TRUE(report.ok) << utf8(report.error);
    EXPECT_EQ(report.imported, 2u);
    EXPECT_EQ(report.checked.problems.size(), 5u);
    EXPECT_EQ(bank.rows().size(), 2u);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_NE(utf8(report.notes.front()).find("“题库”"), std::string::npos);

    writeText(bank.file("cut.xlsx"), readText(dataDir + "cells.xlsx").substr(0, 3000));
    const ImportReport damaged = BankImporter(bank.bank).run(bank.file("cut.xlsx"), {});
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(bank.rows().size(), 2u);
}

} // namespace

// A bank kept in a spreadsheet program reads as the same bank as the CSV it was made from.
TEST(HostileSheets, ABankASpreadsheetProgramSavedReadsAsItsSource)
{
    const ParsedBank fromSheet = BankFormat::readFile(dataDir + "bank-libreoffice.xlsx", BankFormat::Kind::Xlsx);
    const ParsedBank fromCsv = BankFormat::readFile(dataDir + "bank.csv", BankFormat::Kind::Csv);
    ASSERT_EQ(fromSheet.error, "");
    ASSERT_EQ(fromSheet.questions.size(), 3u);
    ASSERT_EQ(fromSheet.questions.size(), fromCsv.questions.size());
    for (std::size_t q = 0; q < fromCsv.questions.size(); ++q) {
        EXPECT_EQ(fromSheet.questions[q].title, fromCsv.questions[q].title);
        EXPECT_EQ(fromSheet.questions[q].options, fromCsv.questions[q].options);
        EXPECT_EQ(fromSheet.questions[q].answer, fromCsv.questions[q].answer);
    }
    EXPECT_TRUE(fromSheet.problems.empty());
}
