#include "bank/SqlLiteral.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(SqlLiteralTest, EscapeDoublesEveryQuoteAndKeepsTheRest)
{
    EXPECT_EQ(SqlLiteral::escape(""), "");
    EXPECT_EQ(SqlLiteral::escape("plain %_ text"), "plain %_ text");
    EXPECT_EQ(SqlLiteral::escape("it's"), "it''s");
    EXPECT_EQ(SqlLiteral::escape("''"), "''''");
    EXPECT_EQ(SqlLiteral::escape("x', Answer='' WHERE 1=1; --"), "x'', Answer='''' WHERE 1=1; --");
    const std::string gbk = GBK("选项'甲'");
    EXPECT_EQ(SqlLiteral::escape(gbk), GBK("选项''甲''"));
}

TEST(SqlLiteralTest, OnlyDecimalIntegersAreKeys)
{
    for (const char* key : {"0", "7", "123456789012", "-3"})
        EXPECT_TRUE(SqlLiteral::isIntegerKey(key)) << key;
    for (const char* key : {"", "-", "1.5", " 1", "1 ", "1)", "1 OR 1=1", "0x10", "+1", "1e3", "１"})
        EXPECT_FALSE(SqlLiteral::isIntegerKey(key)) << key;
}
