#include "exchange/AikenFormat.h"
#include "exchange/BankChecker.h"
#include "exchange/BankFormat.h"
#include "exchange/CsvFormat.h"
#include "exchange/GiftFormat.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::vector<int> problemLines(const ParsedBank& bank)
{
    std::vector<int> lines;
    for (const BankProblem& p : bank.problems)
        lines.push_back(p.line);
    return lines;
}

TEST(TextFormats, GiftKeepsEscapesDropsFeedbackAndReportsOtherKinds)
{
    const ParsedBank bank = GiftFormat::read("// 注释\n"
                                             "::Q1:: 1\\+1\\=? {\n=2 #对\n~%50%3\n~\\{4\\}\n}\n"
                                             "\n"
                                             "::判断:: 地球是圆的 {T}\n"
                                             "\n"
                                             "北京是中国的{=首都 ~省会}城市。\n"
                                             "\n"
                                             "两个对的 {=a =b}\n");
    ASSERT_EQ(bank.questions.size(), 2u);
    EXPECT_EQ(bank.questions[0].title, "1+1=?");
    EXPECT_EQ(bank.questions[0].options, (std::vector<std::string>{"2", "3", "{4}"}));
    EXPECT_EQ(bank.questions[0].answer, "A");
    EXPECT_EQ(bank.questions[0].line, 2);
    EXPECT_EQ(bank.questions[1].title, "北京是中国的( )城市。");
    EXPECT_EQ(problemLines(bank), (std::vector<int>{8, 12}));
}

TEST(TextFormats, GiftOfSingleAnswersWithoutCategoriesIsWrittenAsBefore)
{
    EXPECT_EQ(GiftFormat::write({{0, "一加一？", {"1", "2"}, "B"}, {0, "%开头", {"%50%", "b"}, "A"}}),
              "::Q1:: 一加一？ {\n\t~1\n\t=2\n}\n\n::Q2:: %开头 {\n\t=\\%50%\n\t~b\n}\n\n");
}

TEST(TextFormats, GiftCategoryIsTheLastNameOrTheWholePath)
{
    const std::string gift = "$CATEGORY: $course$/top/安全/第一章\n\n题 {=a ~b}\n";
    EXPECT_EQ(GiftFormat::read(gift).questions.at(0).category, "第一章");
    EXPECT_EQ(GiftFormat::read(gift, TextEncoding::Auto, true).questions.at(0).category, "安全/第一章");
}

TEST(TextFormats, AikenReportsMissingAnswersAndOutOfOrderLetters)
{
    const ParsedBank bank = AikenFormat::read("第一题\n第二行\nA. 甲\nB) 乙\nANSWER: B\n\n"
                                              "无答案\nA. x\nB. y\n\n"
                                              "乱序\nA. x\nC. y\nANSWER: A\n");
    ASSERT_EQ(bank.questions.size(), 1u);
    EXPECT_EQ(bank.questions[0].title, "第一题\r\n第二行");
    EXPECT_EQ(bank.questions[0].options, (std::vector<std::string>{"甲", "乙"}));
    EXPECT_EQ(problemLines(bank), (std::vector<int>{7, 11}));
}

TEST(TextFormats, CsvEncodingIsDetectedOrForced)
{
    const std::string utf8 = "题目,A,B,答案\n\"一,\"\"二\"\"\n三\",甲,乙,a\n";
    const std::string gbk = platform::utf8ToGbk(utf8);
    for (const ParsedBank& bank : {CsvFormat::read(utf8), CsvFormat::read("\xEF\xBB\xBF" + utf8), CsvFormat::read(gbk),
                                   CsvFormat::read(gbk, TextEncoding::Gbk)}) {
        ASSERT_EQ(bank.questions.size(), 1u);
        EXPECT_EQ(bank.questions[0].title, "一,\"二\"\n三");
        EXPECT_EQ(bank.questions[0].line, 2);
    }
    // Forced the wrong way the header no longer reads as one.
    EXPECT_FALSE(CsvFormat::read(utf8, TextEncoding::Gbk).error.empty());
    EXPECT_FALSE(CsvFormat::read("问题,选项\n1,2\n").error.empty());
}

// Bytes that are no GBK character (here 0xFF, which the code page would turn
// into a private-use character) stop the file with their line instead of
// reaching the bank.
TEST(TextFormats, CsvWithForeignBytesIsRefusedAtTheirLine)
{
    const std::string gbk = platform::utf8ToGbk("题目,A,B,答案\r\n一,甲,乙,A\r\n") + "\xFF,x,y,A\r\n";
    for (const TextEncoding encoding : {TextEncoding::Gbk, TextEncoding::Auto}) {
        const ParsedBank bank = CsvFormat::read(gbk, encoding);
        EXPECT_TRUE(bank.questions.empty());
        EXPECT_NE(platform::gbkToUtf8(bank.error).find("第3行"), std::string::npos) << platform::gbkToUtf8(bank.error);
    }
}

} // namespace

namespace {

TEST(TextFormats, CsvRecordsOfChangingWidthReadTheSameWhetherTheReceiverTakesOrCopiesCells)
{
    const std::string text = "a,bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb,c\r\n\"x\ny\",\"\"\"\"\n\nlast,";
    const std::vector<std::vector<std::string>> expected = {
        {"a", std::string(49, 'b'), "c"}, {"x\ny", "\""}, {""}, {"last", ""}};
    for (const bool take : {false, true}) {
        std::vector<std::vector<std::string>> records;
        CsvFormat::parse(text, [&](SheetRow&& row) {
            EXPECT_EQ(row.number, static_cast<int>(records.size()) + 1);
            records.push_back(take ? std::move(row.cells) : row.cells);
        });
        EXPECT_EQ(records, expected);
    }
}

TEST(TextFormats, CsvFileIsReadWholeOrReportedAsUnreadable)
{
    const std::string folder = ::testing::TempDir();
    const std::string path = folder + "/whole.csv";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF题目,A,B,答案\r\n" << std::string(70000, 'q') << ",x,y,A\r\n";
    std::vector<BankQuestion> questions;
    std::vector<BankProblem> problems;
    std::string error;
    const auto each = [&](BankQuestion&& q) { questions.push_back(std::move(q)); };
    ASSERT_TRUE(BankFormat::forEachQuestion(path, BankFormat::Kind::Csv, TextEncoding::Auto, each, problems, error));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].title, std::string(70000, 'q'));

    std::ofstream(path, std::ios::binary | std::ios::trunc).close();
    EXPECT_FALSE(BankFormat::forEachQuestion(path, BankFormat::Kind::Csv, TextEncoding::Auto, each, problems, error));
    EXPECT_EQ(platform::gbkToUtf8(error), "文件中没有内容");
    EXPECT_FALSE(BankFormat::forEachQuestion(folder + "/missing.csv", BankFormat::Kind::Csv, TextEncoding::Auto, each,
                                             problems, error));
    EXPECT_EQ(platform::gbkToUtf8(error).rfind("无法读取文件：", 0), 0u);
}

} // namespace
