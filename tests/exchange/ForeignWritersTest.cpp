#include "db/XlsSheetWriter.h"
#include "exchange/BankCommand.h"
#include "exchange/BankFormat.h"
#include "exchange/BankImporter.h"
#include "platform/CodePage.h"

#include "exchange/ExchangeTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using platform::utf8ToGbk;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Files an export may have left beside its target.
std::vector<std::string> leftovers(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("."))
            names.push_back(entry.path().filename().string());
    return names;
}

// What /usr/bin/python3's xlrd makes of an .xls by itself: its code page on
// the first line, then one line per row, cells split by '|'.
std::string readWithXlrd(const std::string& file)
{
    const std::string command = "/usr/bin/python3 -c 'import sys, xlrd\n"
                                "b = xlrd.open_workbook(sys.argv[1]); s = b.sheet_by_index(0)\n"
                                "print(b.codepage)\n"
                                "for r in range(s.nrows): print(\"|\".join(str(v) for v in s.row_values(r)))\n' '" +
                                file + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char chunk[4096];
    for (std::size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    if (pipe)
        ::pclose(pipe);
    return out;
}

TEST(ForeignWriters, AFailedExportLeavesTheEarlierFileAsItWas)
{
    ScratchBank bank;
    const BankQuestion fits{0, "一加一等于几？", {"一", "二"}, "B"};
    // Longer than a cell of either workbook format holds.
    const BankQuestion tooLong{0, std::string(70000, 'x'), {"是", "否"}, "A"};
    for (const auto& [name, kind] :
         {std::pair{"earlier.xlsx", BankFormat::Kind::Xlsx}, std::pair{"earlier.xls", BankFormat::Kind::Xls}}) {
        const std::string path = bank.file(name);
        writeText(path, "the earlier export");
        std::string error;
        EXPECT_FALSE(BankFormat::writeFile(path, kind, {fits, tooLong}, error)) << name;
        EXPECT_TRUE(contains(error, utf8ToGbk("第3行"))) << platform::gbkToUtf8(error);
        EXPECT_EQ(readText(path), "the earlier export") << name;

        ASSERT_TRUE(BankFormat::writeFile(path, kind, {fits}, error)) << platform::gbkToUtf8(error);
        const ParsedBank back = BankFormat::readFile(path, kind);
        ASSERT_EQ(back.questions.size(), 1u) << name;
        EXPECT_EQ(back.questions[0].title, fits.title);
    }
    // A folder in the target's place cannot be replaced by any format.
    for (const auto& [name, kind] : {std::pair{"csv", BankFormat::Kind::Csv}, std::pair{"xlsx", BankFormat::Kind::Xlsx},
                                     std::pair{"xls", BankFormat::Kind::Xls}, std::pair{"txt", BankFormat::Kind::Aiken},
                                     std::pair{"gift", BankFormat::Kind::Gift}}) {
        const std::string path = bank.file(std::string("folder.") + name);
        std::filesystem::create_directory(path);
        std::string error;
        EXPECT_FALSE(BankFormat::writeFile(path, kind, {fits}, error)) << name;
        EXPECT_TRUE(std::filesystem::is_empty(path)) << name;
    }
    EXPECT_EQ(leftovers(bank.folder), std::vector<std::string>());
}

TEST(ForeignWriters, EveryXlsWeWriteNamesItsCodePage)
{
    ScratchBank bank;
    std::string error;
    ASSERT_TRUE(BankFormat::writeFile(bank.file("bank.xls"), BankFormat::Kind::Xls,
                                      {{0, "题目：“引号”，逗号", {"选项一", "选项二"}, "A"}}, error));
    EXPECT_EQ(readWithXlrd(bank.file("bank.xls")),
              "936\n题目|选项A|选项B|选项C|选项D|答案\n题目：“引号”，逗号|选项一|选项二|||A\n");

    TextTable table;
    table.addRow(2);
    *table.cell(0, 0) = utf8ToGbk("编号");
    *table.cell(0, 1) = utf8ToGbk("汉字");
    XlsSheetWriter sheet;
    ASSERT_TRUE(sheet.saveTable(table, bank.file("query.xls")));
    EXPECT_EQ(readWithXlrd(bank.file("query.xls")), "936\n编号|汉字\n");
}

TEST(ForeignWriters, ABankHeldByAnotherProgramIsReportedAsInUse)
{
    ScratchBank bank;
    writeText(bank.file("in.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n");
    ConnectOptions options = ConnectOptions::sqlite(bank.path, false);
    options.busyTimeoutMs = 200;
    Database mine;
    ASSERT_TRUE(mine.open(options));

    sqlite3* other = nullptr;
    sqlite3_open(bank.path.c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const ImportReport report = BankImporter(mine).run(bank.file("in.txt"), {});
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(contains(report.error, utf8ToGbk("正被别的程序使用"))) << platform::gbkToUtf8(report.error);
    EXPECT_TRUE(BankBackup::copies(bank.path).empty());

    // The tool waits its while for the bank, then names the cause.
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(BankCommand::run({"--bank", bank.path, "import", bank.file("in.txt")}, bank.path, out, err),
              BankCommand::Failure);
    std::rewind(err);
    char said[4096];
    const std::string message(said, std::fread(said, 1, sizeof said, err));
    std::fclose(out);
    std::fclose(err);
    EXPECT_TRUE(contains(message, "题库正被别的程序使用")) << message;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(BankBackup::copies(bank.path).empty());
    EXPECT_TRUE(bank.rows().empty());
}

TEST(ForeignWriters, ABankThatTakesNoWritesIsNotBlamedOnARow)
{
    ScratchBank bank;
    writeText(bank.file("in.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n");
    ConnectOptions options = ConnectOptions::sqlite(bank.path, false);
    options.sessionStatements = {"PRAGMA query_only = 1"};
    Database readOnly;
    ASSERT_TRUE(readOnly.open(options));
    const ImportReport report = BankImporter(readOnly).run(bank.file("in.txt"), {});
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(contains(report.error, utf8ToGbk("题库是只读的"))) << platform::gbkToUtf8(report.error);
    EXPECT_FALSE(contains(report.error, utf8ToGbk("第2行"))) << platform::gbkToUtf8(report.error);
    EXPECT_TRUE(BankBackup::copies(bank.path).empty());
}

TEST(ForeignWriters, ABackupThatCannotBeWrittenSaysWhy)
{
    ScratchBank bank;
    writeText(bank.file("in.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n");
    // Room for the bank's name and its journal's, none for the copy's stamp.
    const std::string longName = bank.file(std::string(240, 'b') + ".db");
    std::filesystem::copy_file(bank.path, longName);
    Database longBank;
    ASSERT_TRUE(longBank.open(ConnectOptions::sqlite(longName, false)));
    const ImportReport report = BankImporter(longBank).run(bank.file("in.txt"), {});
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(contains(report.error, utf8ToGbk("备份文件的名字太长"))) << platform::gbkToUtf8(report.error);
    EXPECT_FALSE(contains(report.error, "Success"));
    Database::Rows rows;
    ASSERT_TRUE(longBank.query("SELECT Title FROM KS_SJTK", rows));
    EXPECT_TRUE(rows.empty());
}

} // namespace
