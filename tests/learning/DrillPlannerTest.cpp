#include "learning/DrillPlanner.h"
#include "app/AppTestSupport.h"
#include "attempts/AttemptStore.h"
#include "db/BackendRegistry.h"
#include "db/Database.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "questions/QuestionBank.h"

#include <set>

namespace {

// One question of a seeded attempt: its bank key and the letter chosen ("" unanswered).
struct Given {
    int key;
    const char* chosen;
};

// The bank's answers run A to D by key, as plainQuestions makes them.
std::string answerOf(int key)
{
    return std::string(1, static_cast<char>('A' + (key - 1) % 4));
}

class DrillPlannerTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(140));
        ASSERT_TRUE(bank.open(std::nullopt, std::nullopt, {}, file("tk.db").string(), std::nullopt, DbKind::Sqlite));
        ASSERT_TRUE(results.open(AttemptStore::fileOptions(file(AttemptStore::fileName).string())));
        ASSERT_TRUE(store.prepare());
    }

    void TearDown() override
    {
        results.close();
        bank.close();
        AppTest::TearDown();
    }

    void attempt(const std::string& candidate, const std::string& endedAt, const std::vector<Given>& paper,
                 AttemptState state = AttemptState::HandedIn, const char* kind = "exam")
    {
        AttemptStart start{.kind = kind, .candidateId = candidate, .seatNumber = "1", .secondsLeft = 60};
        for (const Given& given : paper) {
            const int number = static_cast<int>(start.entries.size()) + 1;
            start.entries.push_back({.number = number,
                                     .questionKey = std::to_string(given.key),
                                     .title = "t",
                                     .answer = answerOf(given.key),
                                     .chosen = given.chosen});
        }
        const std::int64_t id = store.begin(start);
        ASSERT_NE(id, 0) << store.lastErrorText();
        if (state == AttemptState::HandedIn) {
            ASSERT_TRUE(store.recordHandIn(id, 0, 0, endedAt));
        } else if (state == AttemptState::Abandoned) {
            ASSERT_TRUE(store.recordAbandoned(id, endedAt));
        }
    }

    std::vector<std::string> due(std::uint32_t seed = 1)
    {
        std::vector<std::string> keys;
        EXPECT_TRUE(planner.dueKeys("X", seed, keys)) << planner.lastErrorText();
        return keys;
    }

    // Three attempts of X, newest last, and attempts that must not count.
    void seedHistory()
    {
        attempt("X", "2026-01-01 10:00:00", {{1, "B"}, {2, ""}, {3, "C"}, {4, "D"}, {5, "A"}});
        attempt("X", "2026-01-02 10:00:00", {{3, "A"}, {4, "D"}, {5, "A"}, {6, "C"}, {7, "C"}});
        attempt("X", "2026-01-03 10:00:00", {{5, "A"}, {1, "C"}, {8, ""}}, AttemptState::HandedIn, "drill");
        attempt("X", "", {{9, "A"}}, AttemptState::InProgress);
        attempt("X", "2026-01-04 10:00:00", {{11, "A"}}, AttemptState::Abandoned);
        attempt("Y", "2026-01-04 10:00:00", {{10, "A"}});
    }

    static std::set<std::string> asSet(const std::vector<std::string>& keys, std::size_t from, std::size_t count)
    {
        return {keys.begin() + static_cast<std::ptrdiff_t>(from),
                keys.begin() + static_cast<std::ptrdiff_t>(from + count)};
    }

    BackendRegistry registry;
    DbConnection bank;
    DbRecordset rows;
    Database results{DbKind::Sqlite};
    AttemptStore store{results};
    DrillPlanner planner{results, bank, rows};
};

TEST_F(DrillPlannerTest, MissedQuestionsComeNewestMissFirstAndMasteredOnesStayOut)
{
    seedHistory();
    // 5 was missed once, then answered right in each of its last two attempts;
    // 4 and 7 were never missed; 9, 10 and 11 are not X's handed-in attempts.
    const std::vector<std::string> keys = due();
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(asSet(keys, 0, 2), (std::set<std::string>{"1", "8"}));
    EXPECT_EQ(asSet(keys, 2, 2), (std::set<std::string>{"3", "6"}));
    EXPECT_EQ(keys[4], "2");

    // Questions missed in the same attempt come in random order.
    std::set<std::string> firsts;
    for (std::uint32_t seed = 1; seed <= 20; ++seed)
        firsts.insert(due(seed).front());
    EXPECT_EQ(firsts, (std::set<std::string>{"1", "8"}));

    // Answering 3 right twice more masters it; one right answer to 6 does not.
    attempt("X", "2026-01-05 10:00:00", {{3, "C"}, {6, "B"}});
    attempt("X", "2026-01-06 10:00:00", {{3, "C"}});
    const std::vector<std::string> later = due();
    EXPECT_EQ(std::set<std::string>(later.begin(), later.end()), (std::set<std::string>{"1", "8", "6", "2"}));
}

TEST_F(DrillPlannerTest, PaperTakesTheBankAsItIsNowLeavesOutDeletedKeysAndStopsAt100)
{
    seedHistory();
    ASSERT_TRUE(bank.execute("DELETE FROM KS_SJTK WHERE id=8"));
    ASSERT_TRUE(bank.execute("UPDATE KS_SJTK SET Title='" + gbk("改正 后") + "', Answer=' D ' WHERE id=3"));
    std::vector<AttemptEntry> paper;
    ASSERT_TRUE(planner.plan("X", 7, paper)) << planner.lastErrorText();
    ASSERT_EQ(paper.size(), 4u);
    EXPECT_EQ(paper[0].questionKey, "1");
    EXPECT_EQ(paper[3].questionKey, "2");
    for (std::size_t i = 0; i < paper.size(); ++i) {
        EXPECT_EQ(paper[i].number, static_cast<int>(i + 1));
        EXPECT_TRUE(paper[i].chosen.empty());
        if (paper[i].questionKey == "3") {
            EXPECT_EQ(paper[i].title, gbk("改正后"));
            EXPECT_EQ(paper[i].answer, "D");
        }
    }
    EXPECT_EQ(paper[0].options, "a1|b1|c1|d1|");
    EXPECT_EQ(paper[0].optionCount, "4");

    // 130 unanswered questions, 20 of them since deleted: the newest 100 that remain.
    std::vector<Given> many;
    for (int key = 11; key <= 140; ++key)
        many.push_back({key, ""});
    attempt("X", "2026-02-01 10:00:00", many);
    ASSERT_TRUE(bank.execute("DELETE FROM KS_SJTK WHERE id BETWEEN 21 AND 40"));
    ASSERT_TRUE(planner.plan("X", 7, paper));
    ASSERT_EQ(paper.size(), 100u);
    for (const AttemptEntry& entry : paper) {
        const int key = std::stoi(entry.questionKey);
        EXPECT_TRUE(key >= 11 && key <= 140 && (key < 21 || key > 40)) << key;
    }

    std::vector<AttemptEntry> none{paper.front()};
    EXPECT_TRUE(planner.plan("nobody", 7, none));
    EXPECT_TRUE(none.empty());
}

} // namespace

TEST_F(DrillPlannerTest, AMultipleAnswerIsMissedUnlessTheWholeSetWasChosen)
{
    AttemptStart start{.kind = "exam", .candidateId = "X", .seatNumber = "1", .secondsLeft = 60};
    const std::vector<std::pair<int, const char*>> paper = {{20, "AC"}, {21, "A"}, {22, "ACD"}, {23, ""}};
    for (const auto& [key, chosen] : paper)
        start.entries.push_back({.number = static_cast<int>(start.entries.size()) + 1,
                                 .questionKey = std::to_string(key),
                                 .title = "t",
                                 .answer = "CA",
                                 .chosen = chosen});
    const std::int64_t id = store.begin(start);
    ASSERT_NE(id, 0) << store.lastErrorText();
    ASSERT_TRUE(store.recordHandIn(id, 1, 0, "2026-01-01 10:00:00"));
    const std::vector<std::string> keys = due();
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), (std::set<std::string>{"21", "22", "23"}));
}

TEST_F(DrillPlannerTest, DueQuestionsCountByCategoryAndADrillKeepsToOne)
{
    seedHistory(); // due, newest miss first: {1, 8}, {3, 6}, 2
    std::vector<DueCategory> categories;
    ASSERT_TRUE(planner.dueCategories("X", categories)) << planner.lastErrorText();
    EXPECT_EQ(categories, (std::vector<DueCategory>{{gbk("未分类"), 5}}));

    ASSERT_TRUE(bank.execute(QuestionBank::createCategoryTableStatement(DbKind::Sqlite)));
    for (const auto& [key, category] : {std::pair{"1", "乙"}, {"3", "乙"}, {"6", "甲"}, {"2", "甲"}, {"12", "甲"}})
        ASSERT_TRUE(bank.execute(QuestionBank::setCategoryStatement(key, gbk(category))));
    ASSERT_TRUE(bank.execute("DELETE FROM KS_SJTK WHERE id=2"));
    ASSERT_TRUE(planner.dueCategories("X", categories)) << planner.lastErrorText();
    // By name (甲 sorts before 乙 in GBK), the uncategorised last; deleted questions count nowhere.
    EXPECT_EQ(categories, (std::vector<DueCategory>{{gbk("甲"), 1}, {gbk("乙"), 2}, {gbk("未分类"), 1}}));

    std::vector<AttemptEntry> paper;
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        ASSERT_TRUE(planner.plan("X", seed, paper, gbk("乙"))) << planner.lastErrorText();
        ASSERT_EQ(paper.size(), 2u);
        EXPECT_EQ(paper[0].questionKey, "1");
        EXPECT_EQ(paper[0].number, 1);
        EXPECT_EQ(paper[1].questionKey, "3");
        EXPECT_EQ(paper[1].number, 2);
    }
    ASSERT_TRUE(planner.plan("X", 1, paper, gbk("未分类")));
    ASSERT_EQ(paper.size(), 1u);
    EXPECT_EQ(paper[0].questionKey, "8");
    ASSERT_TRUE(planner.plan("X", 1, paper, gbk("没有的分类")));
    EXPECT_TRUE(paper.empty());
}
