#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, RoundTripsChineseThroughUtf8)
{
    const std::string gbk = platform::utf8ToGbk("中文");
    EXPECT_EQ(gbk, "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(platform::gbkToUtf8(gbk), "中文");
}
