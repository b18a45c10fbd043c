#include "exchange/BankChecker.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> reasons(const std::vector<BankProblem>& problems)
{
    std::vector<std::string> out;
    for (const BankProblem& p : problems)
        out.push_back(platform::gbkToUtf8(BankChecker::describe(p)));
    return out;
}

TEST(BankChecker, StoredFormTrimsTitlesAndDropsBlanksFromOptions)
{
    BankChecker checker;
    std::vector<BankProblem> problems;
    CheckedQuestion out;
    const auto stored = [&](BankQuestion q) {
        EXPECT_TRUE(checker.checkOne(q, out, problems)) << q.title;
        return std::vector<std::string>{out.title, out.tmnr, out.answer, out.did};
    };
    EXPECT_EQ(stored({2, "\r \t\n　甲\r乙\n丙\r\n丁 \r", {" a b ", "　c　d", "e\tf"}, " b "}),
              (std::vector<std::string>{"甲\r\n乙\r\n丙\r\n丁", "ab|cd|e\tf||", "B", "3"}));
    EXPECT_EQ(stored({3, "二", {"x", "y", "", "", "", "　"}, "a"}),
              (std::vector<std::string>{"二", "x|y|||", "A", "2"}));
    EXPECT_EQ(stored({4, "三 　内 部 ", {"1", "2", "3", "4"}, "D"}),
              (std::vector<std::string>{"三 　内 部", "1|2|3|4|", "D", "4"}));
    // A question that fails leaves no trace in the next one's stored form.
    EXPECT_FALSE(checker.checkOne({5, "四", {"很长的一个选项很长的一个选项", "z"}, "Q"}, out, problems));
    EXPECT_EQ(stored({6, "五", {"p", "q"}, "B"}), (std::vector<std::string>{"五", "p|q|||", "B", "2"}));
    EXPECT_EQ(reasons(problems), (std::vector<std::string>{"第5行：答案Q不在选项之内"}));
}

TEST(BankChecker, DuplicatesOfStoredTitlesAndOfEarlierRowsAmongManyTitles)
{
    TitleIndex stored;
    for (const char* title : {"已有", " 未修剪的已有 ", "已有"})
        stored.addStored(title);
    BankChecker checker(std::move(stored));
    std::vector<BankProblem> problems;
    CheckedQuestion out;
    const std::vector<std::string> options{"a", "b"};
    // Enough titles for the index to grow several times over.
    for (int i = 0; i < 50000; ++i)
        ASSERT_TRUE(checker.checkOne({i + 2, "题" + std::to_string(i), options, "A"}, out, problems));
    // A row with another problem still counts as the first of its title.
    EXPECT_FALSE(checker.checkOne({60000, "坏答案", options, "C"}, out, problems));
    problems.clear();
    const std::vector<BankQuestion> later = {{60001, " 已有\n", options, "A"}, {60002, "未修剪的已有", options, "A"},
                                             {60003, "题0", options, "A"},     {60004, "题49999 ", options, "A"},
                                             {60005, "坏答案", options, "A"},  {60006, "题", options, "A"},
                                             {60007, "题50000", options, "A"}, {0, "无行", options, "A"},
                                             {0, "无行", options, "A"}};
    for (const BankQuestion& q : later)
        checker.checkOne(q, out, problems);
    EXPECT_EQ(reasons(problems), (std::vector<std::string>{
                                     "第60001行：与题库中已有的题目重复",
                                     "第60003行：与第2行的题目重复",
                                     "第60004行：与第50001行的题目重复",
                                     "第60005行：与第60000行的题目重复",
                                     "第0行：与第0行的题目重复",
                                 }));
}

TEST(BankChecker, MultipleAnswerKeysAndStatedTypes)
{
    BankChecker checker;
    std::vector<BankProblem> problems;
    CheckedQuestion out;
    const std::vector<std::string> three{"a", "b", "c"};
    ASSERT_TRUE(checker.checkOne({2, "多", {"a", "b", "c", "d"}, "d b a", "多选", " 安全\t"}, out, problems));
    EXPECT_EQ((std::vector<std::string>{out.answer, out.category}), (std::vector<std::string>{"ABD", "安全"}));
    ASSERT_TRUE(checker.checkOne({3, "判", {"对", "错"}, "B", "判断"}, out, problems));
    EXPECT_EQ(out.category, "");
    for (const BankQuestion& q : std::vector<BankQuestion>{{4, "q4", three, "AD"},
                                                           {5, "q5", three, "ABA"},
                                                           {6, "q6", three, "A", "多选"},
                                                           {7, "q7", three, "CA", "单选"},
                                                           {8, "q8", three, "A", "判断"},
                                                           {9, "q9", three, "A", "问答"},
                                                           {10, "q10", three, "AE"}})
        EXPECT_FALSE(checker.checkOne(q, out, problems)) << q.title;
    EXPECT_EQ(reasons(problems), (std::vector<std::string>{
                                     "第4行：答案AD有误：正确答案只能是 ABC 中的字母（大写）。",
                                     "第5行：答案ABA有误：正确答案中的字母不能重复。",
                                     "第6行：题型是多选，答案却只有一个字母",
                                     "第7行：题型是单选，答案却有多个字母",
                                     "第8行：题型是判断，选项应是两个",
                                     "第9行：题型应是单选、多选或判断",
                                     "第10行：答案应是一个字母A到D",
                                 }));
}

} // namespace
