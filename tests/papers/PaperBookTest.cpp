// Paper definitions and the draw on a bank; the test programs run these cases
// on SQLite and on the private MariaDB server.

#include "tests/db/DatabaseFixture.h"

#include "papers/PaperBook.h"
#include "papers/PaperDraw.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <gtest/gtest.h>

#include <set>

std::vector<DatabaseBackendParam> questionBankBackends();

namespace {

class PaperBookTest : public ::testing::TestWithParam<DatabaseBackendParam> {
protected:
    void SetUp() override
    {
        backend = GetParam().make();
        ASSERT_TRUE(db.open(backend->options())) << db.lastErrorText();
        ASSERT_TRUE(db.execute(QuestionBank::createTableStatement(db.kind()))) << db.lastErrorText();
    }

    // `count` questions of a kind, in a category unless "" (the table made on first use); their keys.
    std::set<std::string> add(int count, QuestionKind::Kind kind, const std::string& category)
    {
        std::set<std::string> keys;
        for (int i = 0; i < count; ++i) {
            const std::string title = GBK("题 ") + category + std::to_string(kind) + "\r\n" + std::to_string(i);
            const bool multiple = kind == QuestionKind::Multiple;
            const QuestionRecord record{.title = title,
                                        .options = GBK("甲|乙 |丙|丁|"),
                                        .answer = multiple ? "AC" : " B",
                                        .did = kind == QuestionKind::Judgement ? "2" : "4"};
            EXPECT_TRUE(db.execute(QuestionBank::insertStatement(record))) << db.lastErrorText();
            const std::string key = std::to_string(db.lastInsertKey());
            if (!category.empty()) {
                EXPECT_TRUE(db.execute(QuestionBank::createCategoryTableStatement(db.kind())));
                EXPECT_TRUE(db.execute(QuestionBank::setCategoryStatement(key, category))) << db.lastErrorText();
            }
            keys.insert(key);
        }
        return keys;
    }

    static PaperDefinition paper(std::vector<PaperDefinition::Rule> rules)
    {
        PaperDefinition paper;
        paper.name = GBK("期末考试");
        paper.rules = std::move(rules);
        return paper;
    }

    std::unique_ptr<DatabaseBackend> backend;
    Database db;
    PaperBook book{db};
};

std::set<std::string> keysOf(const std::vector<QuestionRecord>& drawn)
{
    std::set<std::string> keys;
    for (const QuestionRecord& q : drawn)
        keys.insert(q.id);
    return keys;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, PaperBookTest, ::testing::ValuesIn(questionBankBackends()), databaseBackendName);

TEST_P(PaperBookTest, PapersReadBackAsSavedOnAnotherConnectionAndTheTableComesWithTheFirstSave)
{
    std::vector<PaperDefinition> papers;
    ASSERT_TRUE(book.list(papers)) << book.lastErrorText();
    EXPECT_TRUE(papers.empty());
    EXPECT_FALSE(book.find(GBK("期末考试")));
    EXPECT_EQ(book.lastErrorText(), "");
    EXPECT_TRUE(book.remove(GBK("期末考试")));
    EXPECT_FALSE(book.save(paper({})));
    EXPECT_EQ(platform::gbkToUtf8(book.lastErrorText()), "试卷中还没有抽题要求，请至少添加一条。");
    EXPECT_FALSE(db.tableExists(PaperBook::table));

    PaperDefinition exam = paper({{GBK("安全'生产\\"), QuestionKind::Single, 30}, {"", std::nullopt, 20}});
    exam.minutes = 30;
    exam.pointsTenths = {10, 25, 5};
    exam.partialCredit = true;
    exam.passMarkTenths = 455;
    exam.mode = PaperDefinition::Mode::Exam;
    exam.handInWhenTimeUp = true;
    exam.shuffleOptions = true;
    PaperDefinition practice = paper({{"", QuestionKind::Judgement, 5}});
    practice.name = GBK("练习一");
    ASSERT_TRUE(book.save(practice)) << book.lastErrorText();
    ASSERT_TRUE(book.save(exam)) << book.lastErrorText();

    Database otherPc;
    ASSERT_TRUE(otherPc.open(backend->options())) << otherPc.lastErrorText();
    PaperBook other(otherPc);
    ASSERT_TRUE(other.list(papers));
    ASSERT_EQ(papers.size(), 2u);
    EXPECT_EQ(papers[0], practice); // GBK 练 (C1B7) before 期 (C6DA)
    EXPECT_EQ(papers[1], exam);
    const auto found = other.find(exam.name);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, exam);

    exam.minutes = 45;
    ASSERT_TRUE(other.save(exam)) << other.lastErrorText();
    PaperDefinition renamed = practice;
    renamed.name = GBK("练习二");
    ASSERT_TRUE(book.save(renamed, practice.name)) << book.lastErrorText();
    ASSERT_TRUE(book.list(papers));
    ASSERT_EQ(papers.size(), 2u);
    EXPECT_EQ(papers[0], renamed);
    EXPECT_EQ(papers[1], exam);

    ASSERT_TRUE(other.remove(exam.name));
    ASSERT_TRUE(book.list(papers));
    ASSERT_EQ(papers.size(), 1u);
    EXPECT_EQ(papers[0].name, renamed.name);
}

TEST_P(PaperBookTest, CountsPerCategoryAndKindWithAndWithoutCategories)
{
    add(3, QuestionKind::Single, "");
    add(1, QuestionKind::Judgement, "");
    BankCounts counts;
    ASSERT_TRUE(book.countQuestions(counts)) << book.lastErrorText();
    EXPECT_EQ(counts.categories(), std::vector<std::string>{QuestionBank::uncategorisedText()});
    EXPECT_EQ(counts.count(QuestionBank::uncategorisedText(), QuestionKind::Single), 3);

    add(2, QuestionKind::Multiple, GBK("安全生产"));
    add(4, QuestionKind::Judgement, GBK("安全生产"));
    add(5, QuestionKind::Single, GBK("消防"));
    ASSERT_TRUE(book.countQuestions(counts)) << book.lastErrorText();
    EXPECT_EQ(counts.categories().size(), 3u);
    EXPECT_EQ(counts.count(GBK("安全生产"), QuestionKind::Multiple), 2);
    EXPECT_EQ(counts.count(GBK("安全生产"), QuestionKind::Single), 0);
    EXPECT_EQ(counts.count(GBK("安全生产")), 6);
    EXPECT_EQ(counts.count("", QuestionKind::Judgement), 5);
    EXPECT_EQ(counts.count(QuestionBank::uncategorisedText()), 4);
    EXPECT_EQ(counts.count(""), 15);
    EXPECT_EQ(counts.count(GBK("没有")), 0);
}

TEST_P(PaperBookTest, ADrawHoldsExactlyWhatEachRuleAsksNoQuestionTwice)
{
    const std::set<std::string> safetySingles = add(12, QuestionKind::Single, GBK("安全生产"));
    add(3, QuestionKind::Multiple, GBK("安全生产"));
    const std::set<std::string> fireSingles = add(5, QuestionKind::Single, GBK("消防"));
    add(9, QuestionKind::Multiple, GBK("消防"));
    add(12, QuestionKind::Judgement, "");

    // The whole bank's singles come first in the paper, but the category's
    // rule needs all twelve of its own.
    const PaperDefinition exam = paper({{"", QuestionKind::Single, 5},
                                        {GBK("安全生产"), QuestionKind::Single, 12},
                                        {"", QuestionKind::Multiple, 10},
                                        {"", QuestionKind::Judgement, 10}});
    PaperDraw draw(db);
    std::vector<QuestionRecord> drawn;
    ASSERT_TRUE(draw.draw(exam, 7, drawn)) << platform::gbkToUtf8(draw.lastErrorText());
    ASSERT_EQ(drawn.size(), 37u);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const QuestionRecord& q = drawn[i];
        const QuestionKind::Kind kind = QuestionKind::of(q.answer, q.did);
        if (i < 5)
            EXPECT_TRUE(fireSingles.contains(q.id)) << i;
        else if (i < 17)
            EXPECT_TRUE(safetySingles.contains(q.id)) << i;
        else
            EXPECT_EQ(kind, i < 27 ? QuestionKind::Multiple : QuestionKind::Judgement) << i;
        // Cleaned as the default draw cleans its rows.
        EXPECT_EQ(q.title.find_first_of(" \r\n"), std::string::npos);
        EXPECT_EQ(q.options, GBK("甲|乙|丙|丁|"));
    }
    EXPECT_EQ(keysOf(drawn).size(), drawn.size());

    std::vector<QuestionRecord> again;
    ASSERT_TRUE(draw.draw(exam, 7, again));
    for (std::size_t i = 0; i < drawn.size(); ++i)
        EXPECT_EQ(again[i].id, drawn[i].id);

    // Twelve multiple-answer questions cannot serve ten and then three more:
    // the message names the rule that no longer fits.
    const PaperDefinition greedy =
        paper({{"", QuestionKind::Multiple, 10}, {GBK("安全生产"), QuestionKind::Multiple, 3}});
    EXPECT_FALSE(draw.draw(greedy, 7, drawn));
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(platform::gbkToUtf8(draw.lastErrorText()),
              "试卷“期末考试”要求“安全生产”的多选题3道，题库中这样的题目有3道，"
              "但其中一些已要用于前面的抽题要求，不够了。");
}

TEST_P(PaperBookTest, ACategoryOfAnyKindLeavesTheMultipleAnswersAnotherRuleNeeds)
{
    add(9, QuestionKind::Single, GBK("安全生产"));
    add(4, QuestionKind::Multiple, GBK("安全生产"));
    add(2, QuestionKind::Multiple, GBK("消防"));
    // Only one way: the category's nine singles and one of its four multiples.
    const PaperDefinition tight = paper({{GBK("安全生产"), std::nullopt, 10}, {"", QuestionKind::Multiple, 5}});
    PaperDraw draw(db);
    for (std::uint32_t seed = 0; seed < 5; ++seed) {
        std::vector<QuestionRecord> drawn;
        ASSERT_TRUE(draw.draw(tight, seed, drawn)) << platform::gbkToUtf8(draw.lastErrorText());
        ASSERT_EQ(drawn.size(), 15u);
        const auto multiples = std::count_if(drawn.begin(), drawn.end(), [](const QuestionRecord& q) {
            return QuestionKind::of(q.answer, q.did) == QuestionKind::Multiple;
        });
        EXPECT_EQ(multiples, 6);
        EXPECT_EQ(keysOf(drawn).size(), 15u);
    }
}

TEST_P(PaperBookTest, APaperAskingMoreThanTheBankHoldsIsRefusedNamingTheRule)
{
    add(6, QuestionKind::Multiple, GBK("安全生产"));
    add(20, QuestionKind::Single, GBK("安全生产"));
    PaperDraw draw(db);
    std::vector<QuestionRecord> drawn;
    EXPECT_FALSE(
        draw.draw(paper({{"", QuestionKind::Single, 5}, {GBK("安全生产"), QuestionKind::Multiple, 10}}), 1, drawn));
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(platform::gbkToUtf8(draw.lastErrorText()), "试卷“期末考试”要求“安全生产”的多选题10道，题库只有6道。");
    EXPECT_FALSE(draw.draw(paper({{GBK("消防"), std::nullopt, 1}}), 1, drawn));
    EXPECT_EQ(platform::gbkToUtf8(draw.lastErrorText()), "试卷“期末考试”要求“消防”的题目1道，题库只有0道。");
}
