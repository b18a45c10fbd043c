#include "db/Dialect.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <gtest/gtest.h>

namespace {

// What the windows paste between the quotes of a literal.
std::string escape(std::string_view value)
{
    const std::string quoted = Dialect::literal(value);
    return quoted.substr(1, quoted.size() - 2);
}

} // namespace

TEST(KeyAndLiteralTest, EscapeDoublesEveryQuoteAndKeepsTheRest)
{
    EXPECT_EQ(escape(""), "");
    EXPECT_EQ(escape("plain %_ text"), "plain %_ text");
    EXPECT_EQ(escape("it's"), "it''s");
    EXPECT_EQ(escape("''"), "''''");
    EXPECT_EQ(escape("x', Answer='' WHERE 1=1; --"), "x'', Answer='''' WHERE 1=1; --");
    const std::string gbk = GBK("选项'甲'");
    EXPECT_EQ(escape(gbk), GBK("选项''甲''"));
}

TEST(KeyAndLiteralTest, OnlyDecimalIntegersAreKeys)
{
    for (const char* key : {"0", "7", "123456789012", "-3"})
        EXPECT_TRUE(QuestionBank::isKey(key)) << key;
    for (const char* key : {"", "-", "1.5", " 1", "1 ", "1)", "1 OR 1=1", "0x10", "+1", "1e3", "１"})
        EXPECT_FALSE(QuestionBank::isKey(key)) << key;
}
