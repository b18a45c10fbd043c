// The question table through a Database; the test programs run these cases on
// SQLite and on the private MariaDB server.

#include "tests/db/DatabaseFixture.h"

#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <gtest/gtest.h>

#include <algorithm>

// The backends of this test program, each with a database of its own.
std::vector<DatabaseBackendParam> questionBankBackends();

namespace {

class QuestionBankTest : public ::testing::TestWithParam<DatabaseBackendParam> {
protected:
    void SetUp() override
    {
        backend = GetParam().make();
        ASSERT_TRUE(db.open(backend->options())) << db.lastErrorText();
        ASSERT_TRUE(db.execute(QuestionBank::createTableStatement(db.kind()))) << db.lastErrorText();
    }

    // Adds the record as the bank window does; its key.
    std::string add(const QuestionRecord& record)
    {
        EXPECT_TRUE(db.execute(QuestionBank::insertStatement(record))) << db.lastErrorText();
        return std::to_string(db.lastInsertKey());
    }

    std::vector<QuestionRecord> find(const std::vector<std::string>& keys)
    {
        std::vector<QuestionRecord> found;
        EXPECT_TRUE(bank.findByKeys(keys, found)) << bank.lastErrorText();
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
        return found;
    }

    std::unique_ptr<DatabaseBackend> backend;
    Database db;
    QuestionBank bank{db};
};

void expectSame(const QuestionRecord& found, const QuestionRecord& stored)
{
    EXPECT_EQ(found.id, stored.id);
    EXPECT_EQ(found.title, stored.title);
    EXPECT_EQ(found.options, stored.options);
    EXPECT_EQ(found.answer, stored.answer);
    EXPECT_EQ(found.did, stored.did);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, QuestionBankTest, ::testing::ValuesIn(questionBankBackends()), databaseBackendName);

// Quotes, a backslash at the end and a GBK character whose second byte is a
// backslash would each end or change a literal pasted the wrong way.
TEST_P(QuestionBankTest, WhatTheWindowsWriteComesBackByKeyByteForByte)
{
    QuestionRecord awkward{
        .title = GBK("它's （ ）\\"), .options = std::string("\x95\x5C|b'|\\|d|", 10), .answer = "B", .did = "4"};
    awkward.id = add(awkward);
    QuestionRecord plain{.title = GBK("题目"), .options = "a|b|", .answer = "A", .did = "2"};
    plain.id = add(plain);

    // A key no longer in the bank, one that is no integer and a repeated one are passed over.
    const std::vector<QuestionRecord> found = find({plain.id, "999", awkward.id, "1' OR '1'='1", plain.id});
    ASSERT_EQ(found.size(), 2u);
    expectSame(found[0], awkward);
    expectSame(found[1], plain);

    QuestionRecord changed = awkward;
    changed.title = GBK("改'过\\");
    changed.did = "3";
    ASSERT_TRUE(db.execute(QuestionBank::updateStatement(changed))) << db.lastErrorText();
    changed.answer = "";
    changed.options = GBK("甲|乙|");
    ASSERT_TRUE(db.execute(QuestionBank::correctionStatement(changed))) << db.lastErrorText();
    expectSame(find({awkward.id}).at(0), changed);

    Database::Rows rows;
    ASSERT_TRUE(db.query(QuestionBank::searchQuery(GBK("改'")), rows)) << db.lastErrorText();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], awkward.id);
}

TEST_P(QuestionBankTest, NullCellsReadAsEmptyTexts)
{
    ASSERT_TRUE(db.execute("INSERT INTO KS_SJTK (id, Title) VALUES (7, NULL)"));
    const std::vector<QuestionRecord> found = find({"7"});
    ASSERT_EQ(found.size(), 1u);
    expectSame(found[0], {.id = "7"});
    EXPECT_TRUE(find({}).empty());
}

TEST_P(QuestionBankTest, ALookupWithoutTheTableFailsWithTheReason)
{
    ASSERT_TRUE(db.execute("DROP TABLE KS_SJTK"));
    std::vector<QuestionRecord> found;
    EXPECT_FALSE(bank.findByKeys({"1"}, found));
    EXPECT_NE(bank.lastErrorText(), "");
    EXPECT_TRUE(found.empty());
}

// The updates paste the key bare: a key that is no integer builds nothing to run.
TEST(QuestionBankTexts, UpdatesNeedAnIntegerKey)
{
    for (const char* key : {"", "1) OR (1=1", "1.5"}) {
        EXPECT_EQ(QuestionBank::updateStatement({.id = key}), "") << key;
        EXPECT_EQ(QuestionBank::correctionStatement({.id = key}), "") << key;
    }
    EXPECT_EQ(QuestionBank::correctionStatement({.id = "12", .title = "t", .options = "o", .answer = "A", .did = "4"}),
              "UPDATE KS_SJTK SET Title='t', Tmnr='o', Answer='A' WHERE (id=12)");
}

// A copy of the bank keeps keys, NULLs and every byte, and takes the place of what was there.
TEST_P(QuestionBankTest, ReplaceAllHoldsExactlyTheCopiedRows)
{
    add({.title = GBK("旧题"), .options = "a|b|", .answer = "A", .did = "2"});
    const Database::Rows rows = {
        {std::string("7"), GBK("一\\'题"), std::string("x|y|z|w|"), std::string("D"), std::string("4")},
        {std::string("12"), std::string("t"), std::nullopt, std::string("B"), std::nullopt}};
    ASSERT_TRUE(bank.replaceAll(rows)) << bank.lastErrorText();
    Database::Rows copied;
    ASSERT_TRUE(db.query(QuestionBank::copyQuery(), copied)) << db.lastErrorText();
    EXPECT_EQ(copied, rows);
    // New questions get keys after the copied ones.
    EXPECT_GT(std::stoll(add({.title = "n"})), 12);
}

TEST(QuestionBankTexts, TheServerDrawsAndCreatesInItsOwnWords)
{
    EXPECT_EQ(QuestionBank::drawQuery(DbKind::Mysql), "SELECT * FROM KS_SJTK  ORDER BY RAND() limit 100");
    EXPECT_EQ(QuestionBank::createTableStatement(DbKind::Mysql),
              "CREATE TABLE KS_SJTK (id INT PRIMARY KEY AUTO_INCREMENT, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT) "
              "DEFAULT CHARACTER SET gbk");
    EXPECT_EQ(
        QuestionBank::createTableStatement(DbKind::Sqlite),
        "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY AUTOINCREMENT, Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)");
}

namespace {

Database::Rows listed(Database& db, const std::string& query)
{
    Database::Rows rows;
    EXPECT_TRUE(db.query(query, rows)) << db.lastErrorText();
    return rows;
}

// Key and category of each listed row.
std::vector<std::pair<std::string, std::string>> categoriesOf(const Database::Rows& rows)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const Database::Row& row : rows)
        pairs.emplace_back(row.at(0).value_or("?"), row.at(5).value_or("NULL"));
    return pairs;
}

} // namespace

TEST_P(QuestionBankTest, CategoriesAreKeptBesideTheQuestionsAndFilterTheSearch)
{
    EXPECT_FALSE(bank.hasCategories());
    const std::string first = add({.title = GBK("甲题"), .options = "a|b|", .answer = "A", .did = "2"});
    const std::string second = add({.title = GBK("乙题"), .options = "a|b|", .answer = "B", .did = "2"});
    const std::string third = add({.title = GBK("丙题'"), .options = "a|b|", .answer = "B", .did = "2"});
    ASSERT_TRUE(db.execute(QuestionBank::createCategoryTableStatement(db.kind()))) << db.lastErrorText();
    EXPECT_TRUE(bank.hasCategories());
    ASSERT_TRUE(db.execute(QuestionBank::setCategoryStatement(first, GBK("安全生产"))));
    ASSERT_TRUE(db.execute(QuestionBank::setCategoryByTitleStatement(GBK("丙题'"), GBK("质量'管理"))));
    ASSERT_TRUE(db.execute(QuestionBank::setCategoryStatement(second, GBK("旧分类"))));
    ASSERT_TRUE(db.execute(QuestionBank::setCategoryStatement(second, " ")));

    const Database::Rows all = listed(db, QuestionBank::categorizedListQuery());
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(categoriesOf(all), (Pairs{{first, GBK("安全生产")}, {second, GBK("未分类")}, {third, GBK("质量'管理")}}));
    ASSERT_EQ(all.at(0).size(), 6u);
    EXPECT_EQ(all.at(0).at(1), GBK("甲题"));

    EXPECT_EQ(categoriesOf(listed(db, QuestionBank::categorizedSearchQuery(GBK("题"), GBK("质量'管理")))),
              (Pairs{{third, GBK("质量'管理")}}));
    EXPECT_EQ(categoriesOf(listed(db, QuestionBank::categorizedSearchQuery(GBK("题"), GBK("未分类")))),
              (Pairs{{second, GBK("未分类")}}));
    EXPECT_EQ(listed(db, QuestionBank::categorizedSearchQuery("", "")).size(), 3u);
    EXPECT_EQ(categoriesOf(listed(db, QuestionBank::categorizedKeyQuery(first))), (Pairs{{first, GBK("安全生产")}}));

    // Setting 未分类 is taking the category away.
    ASSERT_TRUE(db.execute(QuestionBank::setCategoryByTitleStatement(GBK("甲题"), GBK("未分类"))));
    EXPECT_EQ(listed(db, QuestionBank::categoryCopyQuery()), (Database::Rows{{third, GBK("质量'管理")}}));
}

TEST_P(QuestionBankTest, ReplaceCategoriesHoldsExactlyTheCopiedOnesOrNoTable)
{
    ASSERT_TRUE(db.execute(QuestionBank::createCategoryTableStatement(db.kind())));
    ASSERT_TRUE(db.execute(QuestionBank::setCategoryStatement("99", "old")));
    Database::Rows rows;
    for (int key = 1; key <= 450; ++key)
        rows.push_back({std::to_string(key), key % 2 ? GBK("单数'章") : std::string("even")});
    ASSERT_TRUE(bank.replaceCategories(rows, true)) << bank.lastErrorText();
    EXPECT_EQ(listed(db, QuestionBank::categoryCopyQuery()), rows);
    // Emptying the bank leaves no category for the keys it numbers anew.
    ASSERT_TRUE(bank.removeAll()) << bank.lastErrorText();
    EXPECT_TRUE(listed(db, QuestionBank::categoryCopyQuery()).empty());
    ASSERT_TRUE(bank.replaceCategories(rows, true)) << bank.lastErrorText();

    ASSERT_TRUE(bank.replaceCategories({}, false)) << bank.lastErrorText();
    EXPECT_FALSE(bank.hasCategories());
}
