#include "exchange/AikenFormat.h"
#include "exchange/BankChecker.h"
#include "exchange/CsvFormat.h"
#include "exchange/GiftFormat.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

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

} // namespace
