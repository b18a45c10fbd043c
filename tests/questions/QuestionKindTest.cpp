#include "questions/QuestionKind.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(QuestionKind, SeveralLettersMakeMultipleTwoOptionsJudgementAnythingElseSingle)
{
    EXPECT_EQ(QuestionKind::of("ACD", "4"), QuestionKind::Multiple);
    EXPECT_EQ(QuestionKind::of("AB", "2"), QuestionKind::Multiple);
    EXPECT_EQ(QuestionKind::of("B", "2"), QuestionKind::Judgement);
    EXPECT_EQ(QuestionKind::of("B", "3"), QuestionKind::Single);
    // The exam window shows four options for any did but 2 and 3.
    EXPECT_EQ(QuestionKind::of("A", " 2"), QuestionKind::Single);
    EXPECT_EQ(QuestionKind::of("AA", "4"), QuestionKind::Single);
    EXPECT_EQ(QuestionKind::of("", ""), QuestionKind::Single);

    for (QuestionKind::Kind kind : {QuestionKind::Single, QuestionKind::Multiple, QuestionKind::Judgement}) {
        EXPECT_EQ(QuestionKind::fromName(QuestionKind::name(kind)), kind);
        EXPECT_EQ(QuestionKind::parse(platform::gbkToUtf8(QuestionKind::name(kind))), kind);
    }
    EXPECT_EQ(QuestionKind::parse("judgement"), QuestionKind::Judgement);
    EXPECT_FALSE(QuestionKind::parse("问答"));
    EXPECT_FALSE(QuestionKind::fromName(""));
}
