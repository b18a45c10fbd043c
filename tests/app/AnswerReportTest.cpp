#include "app/AnswerReport.h"

#include "ExpectedReport.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::string gbk(const char* utf8)
{
    return platform::utf8ToGbk(utf8);
}

// Pieces of the report with the placeholders still in them.
std::string rawRow(int number)
{
    return expected_report::row(number, gbk("[标题]"), gbk("[选择]"), gbk("[正确]"), gbk("[预选]"));
}

} // namespace

TEST(AnswerReport, PiecesHaveTheirExactSizes)
{
    EXPECT_EQ(expected_report::head().size(), 1324u);
    EXPECT_EQ(AnswerReport::headPiece(), expected_report::head());
    EXPECT_EQ(AnswerReport::closingPiece().size(), 26u);
    EXPECT_EQ(AnswerReport::closingPiece(), expected_report::closing());

    std::string odd = rawRow(1);
    odd.replace(odd.find("1</td>"), 1, gbk("[编号]"));
    EXPECT_EQ(odd.size(), 125u);
    EXPECT_EQ(AnswerReport::oddRowPiece(), odd);
    std::string even = rawRow(2);
    even.replace(even.find("2</td>"), 1, gbk("[编号]"));
    EXPECT_EQ(even.size(), 138u);
    EXPECT_EQ(AnswerReport::evenRowPiece(), even);
}

TEST(AnswerReport, MarksOnlyExactNonEmptyMatches)
{
    Paper paper;
    paper.entry(1) = {.title = "t", .options = "a|b|", .answer = "A", .chosen = "A", .id = "1", .did = "2"};
    paper.entry(2) = {.answer = "B", .chosen = "C"};
    paper.entry(3) = {.answer = "c", .chosen = "C"};
    paper.entry(4) = {.answer = "D"};
    paper.entry(5) = {.chosen = "A"};
    paper.entry(100) = {.answer = "D", .chosen = "D"};
    EXPECT_EQ(AnswerReport::score(paper), 2);
    EXPECT_EQ(AnswerReport::scoreText(2), gbk("得分为 【   2   】 分"));
    EXPECT_EQ(AnswerReport::score(Paper{}), 0);
}

TEST(AnswerReport, RowsFillTheirCells)
{
    PaperEntry right{.title = gbk("标题"), .options = "a|b|c|d|", .answer = "C", .chosen = "C"};
    EXPECT_EQ(AnswerReport::row(2, right), expected_report::row(2, gbk("标题"), "a</p>b</p>c</p>d</p>", "C", "C"));
    PaperEntry wrong{.title = "t", .options = "a|b", .answer = "C", .chosen = "B"};
    EXPECT_EQ(AnswerReport::row(1, wrong),
              expected_report::row(1, "t", "a</p>b", "C", expected_report::wrongChoice("B")));
    EXPECT_EQ(AnswerReport::row(99, PaperEntry{}), expected_report::row(99, "", "", "", expected_report::unanswered()));
}

TEST(AnswerReport, LaterPlaceholdersInsideEarlierValuesAreFilledToo)
{
    PaperEntry entry{.title = gbk("见[选择]与[正确]"), .options = "x|y|", .answer = "A", .chosen = ""};
    EXPECT_EQ(AnswerReport::row(3, entry),
              expected_report::row(3, gbk("见x</p>y</p>与A"), "x</p>y</p>", "A", expected_report::unanswered()));
    // An earlier placeholder inside a later value stays as it is.
    PaperEntry back{.title = "", .options = gbk("[标题]|"), .answer = "", .chosen = ""};
    EXPECT_EQ(AnswerReport::row(4, back),
              expected_report::row(4, "", gbk("[标题]</p>"), "", expected_report::unanswered()));
}

TEST(AnswerReport, QuestionTextsAreEscapedButTheMarkupStays)
{
    PaperEntry entry{.title = "a<b & c>d", .options = "<i>|x&y|", .answer = "<", .chosen = "&"};
    EXPECT_EQ(AnswerReport::row(5, entry), expected_report::row(5, "a&lt;b &amp; c&gt;d", "&lt;i&gt;</p>x&amp;y</p>",
                                                                "&lt;", expected_report::wrongChoice("&amp;")));
    PaperEntry same{.title = "", .options = "", .answer = ">", .chosen = ">"};
    EXPECT_EQ(AnswerReport::row(6, same), expected_report::row(6, "", "", "&gt;", "&gt;"));
}
