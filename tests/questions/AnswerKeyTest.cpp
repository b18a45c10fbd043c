#include "questions/AnswerKey.h"

#include <gtest/gtest.h>

TEST(AnswerKey, OnlyTwoOrMoreDistinctCapitalLettersMakeAMultipleAnswerKey)
{
    for (const char* key : {"AC", "ACD", "CA", "ABCD"})
        EXPECT_TRUE(AnswerKey::isMultiple(key)) << key;
    for (const char* key : {"", "A", "D", "AA", "AE", "ab", "A C", "A|C"})
        EXPECT_FALSE(AnswerKey::isMultiple(key)) << key;
}

TEST(AnswerKey, SingleKeysCompareByteForByteAndSetsAsSets)
{
    EXPECT_TRUE(AnswerKey::matches("A", "A"));
    EXPECT_FALSE(AnswerKey::matches("A", "A "));
    EXPECT_FALSE(AnswerKey::matches("A", "a"));
    EXPECT_FALSE(AnswerKey::matches("", ""));
    EXPECT_FALSE(AnswerKey::matches("AA", "A"));

    EXPECT_TRUE(AnswerKey::matches("AC", "AC"));
    EXPECT_TRUE(AnswerKey::matches("AC", "CA"));
    EXPECT_FALSE(AnswerKey::matches("A", "AC"));
    EXPECT_FALSE(AnswerKey::matches("ACD", "AC"));
    EXPECT_FALSE(AnswerKey::matches("", "AC"));
    EXPECT_FALSE(AnswerKey::matches("AX", "AC"));
}

TEST(AnswerKey, TogglingKeepsTheLettersInOrder)
{
    std::string chosen;
    for (char letter : {'D', 'B', 'A'})
        chosen = AnswerKey::toggled(chosen, letter);
    EXPECT_EQ(chosen, "ABD");
    EXPECT_TRUE(AnswerKey::holds(chosen, 'B'));
    EXPECT_FALSE(AnswerKey::holds(chosen, 'C'));
    EXPECT_EQ(AnswerKey::toggled(chosen, 'B'), "AD");
    EXPECT_EQ(AnswerKey::toggled(chosen, 'E'), "ABD");
    EXPECT_EQ(AnswerKey::toggled("A", 'A'), "");
}

TEST(AnswerKey, TypedKeysAreOrderedOrRefusedWithAReason)
{
    EXPECT_EQ(AnswerKey::check("CA", 4).key, "AC");
    EXPECT_EQ(AnswerKey::check("B", 2).key, "B");
    EXPECT_EQ(AnswerKey::check("DCBA", 4).key, "ABCD");
    for (auto [typed, count] : {std::pair{"", 4}, {"AE", 4}, {"AC", 2}, {"AA", 4}, {"a", 4}, {"A,C", 4}}) {
        const AnswerKey::Checked checked = AnswerKey::check(typed, count);
        EXPECT_EQ(checked.key, "") << typed;
        EXPECT_FALSE(checked.reason.empty()) << typed;
    }
}
