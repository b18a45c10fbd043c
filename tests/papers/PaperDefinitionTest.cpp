#include "papers/PaperDefinition.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

PaperDefinition examPaper()
{
    PaperDefinition paper;
    paper.name = GBK("期末考试");
    paper.rules = {{GBK("安全生产"), QuestionKind::Single, 10},
                   {"", QuestionKind::Multiple, 10},
                   {"", QuestionKind::Judgement, 10}};
    paper.minutes = 20;
    paper.pointsTenths = {10, 20, 10};
    paper.passMarkTenths = 400;
    return paper;
}

} // namespace

TEST(PaperDefinition, ValidateNamesWhatIsWrongInTheProgramsWords)
{
    ASSERT_EQ(examPaper().validate(), "");
    EXPECT_EQ(examPaper().highestTotalTenths(), 400);
    EXPECT_EQ(examPaper().questionCount(), 30);

    const auto broken = [](auto change) {
        PaperDefinition paper = examPaper();
        change(paper);
        return platform::gbkToUtf8(paper.validate());
    };
    EXPECT_EQ(broken([](auto& p) { p.name.clear(); }), "请填写试卷名称。");
    EXPECT_EQ(broken([](auto& p) { p.name += GBK("　"); }), "试卷名称的前后不能有空格。");
    EXPECT_EQ(broken([](auto& p) { p.name += "\n"; }), "试卷名称中不能有换行或制表符。");
    EXPECT_EQ(broken([](auto& p) { p.name = GBK("默认试卷"); }), "“默认试卷”是程序自带的试卷，请换一个名称。");
    EXPECT_EQ(broken([](auto& p) { p.name = std::string(101, 'x'); }), "试卷名称太长，最多50个汉字。");
    EXPECT_EQ(broken([](auto& p) { p.rules.clear(); }), "试卷中还没有抽题要求，请至少添加一条。");
    EXPECT_EQ(broken([](auto& p) { p.rules[1].count = 0; }), "第2条抽题要求的题数至少是1道。");
    EXPECT_EQ(broken([](auto& p) { p.rules[0].category = "a\nb"; }), "第1条抽题要求的分类中不能有换行或制表符。");
    EXPECT_EQ(broken([](auto& p) { p.rules[2].count = 81; }), "试卷最多100道题，现在共101道。");
    EXPECT_EQ(broken([](auto& p) { p.minutes = 0; }), "考试时间应在1到600分钟之间。");
    EXPECT_EQ(broken([](auto& p) { p.pointsTenths[QuestionKind::Judgement] = 0; }),
              "每道判断题的分值应在0.1到100分之间。");
    EXPECT_EQ(broken([](auto& p) { p.passMarkTenths = -1; }), "及格分数不能是负数。");
    EXPECT_EQ(broken([](auto& p) { p.passMarkTenths = 401; }), "及格分数40.1分高于试卷的总分40分。");
    // A rule of any kind may draw the kind worth most.
    EXPECT_EQ(broken([](auto& p) {
                  p.rules[0].kind.reset();
                  p.passMarkTenths = 500;
              }),
              "");
}

TEST(PaperDefinition, PointsAreWholeNumbersOrTenths)
{
    EXPECT_EQ(PaperDefinition::pointsText(20), "2");
    EXPECT_EQ(PaperDefinition::pointsText(15), "1.5");
    EXPECT_EQ(PaperDefinition::pointsText(3), "0.3");
    EXPECT_EQ(PaperDefinition::parsePoints("1.5"), 15);
    EXPECT_EQ(PaperDefinition::parsePoints("60"), 600);
    EXPECT_EQ(PaperDefinition::parsePoints("0.3"), 3);
    for (const char* wrong : {"", ".5", "1.", "1.25", "-1", "1,5", "a", "1234567"})
        EXPECT_FALSE(PaperDefinition::parsePoints(wrong)) << wrong;
}

TEST(PaperDefinition, AnAttemptsCopyOfThePaperReadsBackWhole)
{
    PaperDefinition paper = examPaper();
    paper.rules.push_back({GBK("第一章=总则"), std::nullopt, 3});
    paper.partialCredit = true;
    paper.mode = PaperDefinition::Mode::Exam;
    paper.shuffleOptions = true;
    EXPECT_EQ(PaperDefinition::fromText(paper.toText()), paper);
    EXPECT_FALSE(PaperDefinition::fromText("minutes=5"));

    // A rule line mangled elsewhere stays in the list, as a rule to mend.
    const auto rules = PaperDefinition::rulesFromText(GBK("5\t多选\t\nbroken\n2\t\tA\tB"));
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0], (PaperDefinition::Rule{"", QuestionKind::Multiple, 5}));
    EXPECT_EQ(rules[1].count, 0);
    EXPECT_EQ(rules[2], (PaperDefinition::Rule{"A\tB", std::nullopt, 2}));
}
