#include "db/types/FieldValue.h"

#include <gtest/gtest.h>

TEST(FieldValueTest, TellsTheThreeKindsApart)
{
    const FieldValue none;
    const FieldValue emptyText{std::string()};
    const FieldValue emptyBytes{ByteArray()};
    EXPECT_TRUE(none.isInteger());
    EXPECT_EQ(none.integer(), 0);
    EXPECT_TRUE(emptyText.isText());
    EXPECT_TRUE(emptyBytes.isBytes());
    EXPECT_NE(none, emptyText);
    EXPECT_NE(emptyText, emptyBytes);
}

TEST(FieldValueTest, GivesEmptyContentForTheOtherKinds)
{
    const FieldValue text{std::string("abc")};
    const FieldValue bytes{ByteArray{0, 1, 2}};
    EXPECT_EQ(text.text(), "abc");
    EXPECT_TRUE(text.bytes().empty());
    EXPECT_EQ(bytes.bytes(), (ByteArray{0, 1, 2}));
    EXPECT_TRUE(bytes.text().empty());
    EXPECT_EQ(FieldValue().text(), "");
}
