#include "papers/PaperScore.h"
#include "papers/OptionOrder.h"

#include <gtest/gtest.h>

#include <set>

TEST(PaperScore, KindsEarnTheirPointsAndSubsetsTheirShareRoundedDown)
{
    PaperDefinition paper;
    paper.pointsTenths = {10, 20, 5};
    paper.partialCredit = true;
    paper.passMarkTenths = 48;
    PaperScore score(paper);
    EXPECT_EQ(score.earned("AC", "ACD", "4"), 13); // 2 x 2/3
    EXPECT_EQ(score.earned("A", "AB", "4"), 10);
    EXPECT_EQ(score.earned("AB", "ACD", "4"), 0);
    EXPECT_EQ(score.earned("", "ACD", "4"), 0);
    EXPECT_EQ(score.earned("", "", ""), 0);
    EXPECT_EQ(score.earned("B", "B", "2"), 5);

    score.add("AC", "ACD", "4");
    score.add("ABCD", "ABCD", "4");
    score.add("C", "C", "4");
    score.add("A", "B", "2");
    score.add("", "", ""); // an entry the draw left empty
    EXPECT_EQ(score.tally(QuestionKind::Multiple).questions, 2);
    EXPECT_EQ(score.tally(QuestionKind::Multiple).right, 1);
    EXPECT_EQ(score.tally(QuestionKind::Multiple).earnedTenths, 33);
    EXPECT_EQ(score.tally(QuestionKind::Judgement).worthTenths, 5);
    EXPECT_EQ(score.totalTenths(), 43);
    EXPECT_EQ(score.maximumTenths(), 55);
    EXPECT_FALSE(score.passed());
    score.add("B", "B", "2");
    EXPECT_EQ(score.totalTenths(), 48);
    EXPECT_TRUE(score.passed());

    paper.partialCredit = false;
    EXPECT_EQ(PaperScore(paper).earned("AC", "ACD", "4"), 0);
}

TEST(OptionOrder, ShownAndBankLettersCrossBothWaysTheSameForTheSameSeed)
{
    std::set<std::string> orders;
    for (int question = 0; question < 40; ++question) {
        const OptionOrder order(1234, std::to_string(question), 4);
        // The option shown at a place is the bank's option of the letter it crosses to.
        const std::string shown = order.shownOptions("A|B|C|D|");
        orders.insert(shown);
        for (char letter = 'A'; letter <= 'D'; ++letter) {
            EXPECT_EQ(shown[static_cast<std::size_t>(letter - 'A') * 2], order.bankLetter(letter));
            EXPECT_EQ(order.shownLetter(order.bankLetter(letter)), letter);
        }
        EXPECT_EQ(order.toBank(order.toShown("ACD")), "ACD");
        EXPECT_EQ(OptionOrder(1234, std::to_string(question), 4).shownOptions("A|B|C|D|"), shown);
    }
    EXPECT_GT(orders.size(), 10u);

    std::set<std::string> seeds;
    for (std::uint64_t seed = 0; seed < 20; ++seed)
        seeds.insert(OptionOrder(seed, "7", 3).shownOptions("a|b|c|"));
    EXPECT_GT(seeds.size(), 1u);
    EXPECT_EQ(OptionOrder(99, "7", 2).shownOptions("yes|no|"), "yes|no|");
    EXPECT_EQ(OptionOrder(99, "7", 3).bankLetter('D'), 'D');
}
