#include "exchange/BankExporter.h"
#include "exchange/BankImporter.h"
#include "exchange/CsvFormat.h"
#include "exchange/SheetColumns.h"
#include "platform/CodePage.h"

#include "exchange/ExchangeTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Texts only GBK's Chinese can hold, with the characters CSV and the
// workbooks have to quote or keep: commas, quotes, a line break in a title.
const std::vector<BankQuestion>& questions()
{
    static const std::vector<BankQuestion> all = {
        {0, "下列哪一项是“中华人民共和国”的首都？", {"北京", "上海", "广州", "深圳"}, "A"},
        {0, "判断：长江是中国最长的河流，对吗？", {"对", "错"}, "A"},
        {0, "第一行\n第二行，含“引号”和,逗号", {"甲，乙", "丙\"丁\"", "戊、己"}, "C"},
        {0, "哪一种是水果？", {"白菜", "萝卜", "香蕉", "芹菜"}, "C"},
    };
    return all;
}

// Runs LibreOffice Calc headless on the files, with a profile of its own in
// the folder; true when it ended well within its time.
bool libreOffice(const std::filesystem::path& folder, const std::string& arguments)
{
    const std::string command = "cd '" + folder.string() + "' && timeout 240 soffice -env:UserInstallation=file://" +
                                (folder / "profile").string() + " --headless " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// CSV as LibreOffice writes it: quoted fields may hold separators, doubled
// quotes and line breaks.
std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell += text[++i];
            else if (c == '"')
                quoted = false;
            else
                cell += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(cell));
            cell.clear();
        } else if (c == '\n') {
            rows.back().push_back(std::move(cell));
            cell.clear();
            rows.emplace_back();
        } else if (c != '\r') {
            cell += c;
        }
    }
    if (!cell.empty() || !rows.back().empty())
        rows.back().push_back(std::move(cell));
    else
        rows.pop_back();
    return rows;
}

void fill(ScratchBank& bank)
{
    writeText(bank.file("source.csv"), CsvFormat::write(questions()));
    const ImportReport report = BankImporter(bank.bank).run(bank.file("source.csv"), {});
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    ASSERT_EQ(report.imported, questions().size());
}

TEST(SpreadsheetProgram, ReadsEveryCellOfOurWorkbooks)
{
    ScratchBank bank;
    fill(bank);
    ASSERT_EQ(BankExporter(bank.bank).exportTo(bank.file("ours-xls.xls"), BankFormat::Kind::Xls), 4);
    ASSERT_EQ(BankExporter(bank.bank).exportTo(bank.file("ours-xlsx.xlsx"), BankFormat::Kind::Xlsx), 4);
    // Comma-separated, quoted texts, UTF-8.
    ASSERT_TRUE(libreOffice(bank.folder, "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir out "
                                         "ours-xls.xls ours-xlsx.xlsx"));
    const std::vector<std::vector<std::string>> expected = SheetColumns::toCells(questions());
    for (const char* name : {"ours-xls.csv", "ours-xlsx.csv"}) {
        const std::vector<std::vector<std::string>> seen = parseCsv(readText(bank.file(std::string("out/") + name)));
        ASSERT_EQ(seen.size(), expected.size()) << name;
        for (std::size_t r = 0; r < expected.size(); ++r)
            for (std::size_t c = 0; c < expected[r].size(); ++c)
                EXPECT_EQ(c < seen[r].size() ? seen[r][c] : std::string(), expected[r][c])
                    << name << " row " << r + 1 << " column " << c + 1;
    }
}

TEST(SpreadsheetProgram, ItsWorkbooksImportAsTheBankTheyHold)
{
    // The bank as the questions make it, straight from our own file.
    ScratchBank expected;
    fill(expected);
    writeText(expected.file("typed.csv"), CsvFormat::write(questions()));
    // As a user would keep the bank in the spreadsheet program and save it
    // in either workbook format.
    ASSERT_TRUE(libreOffice(expected.folder, "--infilter=CSV:44,34,76,1 --convert-to xlsx typed.csv"));
    ASSERT_TRUE(libreOffice(expected.folder, "--infilter=CSV:44,34,76,1 --convert-to 'xls:MS Excel 97' typed.csv"));
    for (const char* name : {"typed.xlsx", "typed.xls"}) {
        ScratchBank bank;
        const ImportReport report = BankImporter(bank.bank).run(expected.file(name), {});
        ASSERT_TRUE(report.ok) << name << ": " << platform::gbkToUtf8(report.error);
        EXPECT_TRUE(report.checked.problems.empty()) << name;
        EXPECT_EQ(bank.rows(), expected.rows()) << name;
    }
}

} // namespace
