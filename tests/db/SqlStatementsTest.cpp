#include "db/SqlStatements.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(SqlStatements, TextsArePastedTogetherExactly)
{
    EXPECT_EQ(SqlStatements::createTable(DbKind::Sqlite, "T"), "CREATE TABLE T ( id INTEGER PRIMARY KEY )");
    EXPECT_EQ(SqlStatements::createTable(DbKind::Mysql, "T"),
              "CREATE TABLE `T` (`id` bigint( 20 ) NOT NULL AUTO_INCREMENT  , PRIMARY KEY ( `id` )) ENGINE = InnoDB;");
    EXPECT_EQ(SqlStatements::createTable(static_cast<DbKind>(2), "T"), "");
    EXPECT_EQ(SqlStatements::addColumn("T", "c", "TEXT", 50), "alter table T add c TEXT(50)");
    EXPECT_EQ(SqlStatements::deleteRows("T", "id=5"), "DELETE FROM T WHERE (id=5)");
    EXPECT_EQ(SqlStatements::updateRows("T", "a='1',b='2'", "id=5"), "UPDATE T SET a='1',b='2' WHERE (id=5)");
    EXPECT_EQ(SqlStatements::writeBlob("T", "pic", "id=5"), "update T set pic=? where id=5");
    EXPECT_EQ(SqlStatements::writeBlob("T", "pic", ""), "insert into T (pic) values (?)");
    EXPECT_EQ(SqlStatements::exists("T", "id=5"), "SELECT * FROM T WHERE id=5");
    // Empty inputs still give a statement; the backend rejects it.
    EXPECT_EQ(SqlStatements::deleteRows("", ""), "DELETE FROM  WHERE ()");
}

TEST(SqlStatements, InsertRowSplitsTheAssignments)
{
    std::string sql;
    ASSERT_TRUE(SqlStatements::insertRow("T", "a='1',b='x y'", sql));
    EXPECT_EQ(sql, "INSERT INTO T (a,b) VALUES ('1','x y')");
    ASSERT_TRUE(SqlStatements::insertRow("T", "", sql));
    EXPECT_EQ(sql, "INSERT INTO T () VALUES ()");
    const std::string gbk = platform::utf8ToGbk("题目='中文，标点',答案='A'");
    ASSERT_TRUE(SqlStatements::insertRow("KS_SJTK", gbk, sql));
    EXPECT_EQ(sql, platform::utf8ToGbk("INSERT INTO KS_SJTK (题目,答案) VALUES ('中文，标点','A')"));
    // A quote inside a value goes through unchanged.
    ASSERT_TRUE(SqlStatements::insertRow("T", "a='it's'", sql));
    EXPECT_EQ(sql, "INSERT INTO T (a) VALUES ('it's')");
}

TEST(SqlStatements, InsertRowRefusesMissingValues)
{
    std::string sql = "untouched";
    EXPECT_FALSE(SqlStatements::insertRow("T", "a='1',b='2", sql));
    EXPECT_FALSE(SqlStatements::insertRow("T", "a='1", sql));
    EXPECT_EQ(sql, "untouched");
}
