#include "learning/CategoryStatistics.h"
#include "learning/BankStatistics.h"
#include "learning/StatsWindow.h"

#include "attempts/AttemptStore.h"
#include "bank/BankTestSupport.h"
#include "db/Database.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>

using platform::Gui;
using platform::GuiDriver;

namespace {

constexpr int candidates = 240;
constexpr int singles = 20;
// Multiple-answer questions after the single-answer ones: the set strong
// candidates tick, and the key stored for it. "22" is keyed with one letter
// too many.
const std::map<std::string, std::pair<std::string, std::string>> multiples = {
    {"21", {"AC", "AC"}},
    {"22", {"BD", "ABD"}},
    {"23", {"ACD", "ACD"}},
};

std::string lettersOf(unsigned bits)
{
    std::string letters;
    for (int i = 0; i < 4; ++i)
        if (bits & (1u << i))
            letters += static_cast<char>('A' + i);
    return letters;
}

// What the simulation handed in, tallied apart from the program.
struct Tally {
    std::map<std::string, std::array<int, 4>> ticks;
    std::map<std::string, int> right;
};

Tally simulate(AttemptStore& store)
{
    Tally tally;
    std::mt19937 random(23);
    std::normal_distribution<double> ability(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int c = 0; c < candidates; ++c) {
        const double theta = ability(random);
        const double p = 1.0 / (1.0 + std::exp(-2.0 * theta));
        AttemptStart start{.candidateId = "1100" + std::to_string(c)};
        int score = 0;
        for (int q = 1; q <= singles + static_cast<int>(multiples.size()); ++q) {
            const std::string key = std::to_string(q);
            std::string truth(1, static_cast<char>('A' + q % 4));
            std::string keyed = truth;
            if (q > singles)
                std::tie(truth, keyed) = multiples.at(key);
            std::string chosen = truth;
            if (unit(random) >= p)
                chosen = q > singles ? lettersOf(1 + static_cast<unsigned>(random() % 15))
                                     : std::string(1, static_cast<char>('A' + random() % 4));
            if (unit(random) < 0.05)
                chosen.clear();
            const bool right = !chosen.empty() && chosen == keyed;
            score += right ? 1 : 0;
            tally.right[key] += right ? 1 : 0;
            for (char letter : chosen)
                ++tally.ticks[key][static_cast<std::size_t>(letter - 'A')];
            start.entries.push_back({.number = q,
                                     .questionKey = key,
                                     .title = "T" + key,
                                     .answer = keyed,
                                     .optionCount = "4",
                                     .chosen = chosen});
        }
        const std::int64_t id = store.begin(start);
        EXPECT_GT(id, 0) << store.lastErrorText();
        EXPECT_TRUE(store.recordHandIn(id, score, 0, AttemptStore::now()));
    }
    return tally;
}

class CategoryStatisticsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        bank_ = new TestBank;
        Database connection{DbKind::Sqlite};
        ASSERT_TRUE(connection.open(AttemptStore::fileOptions(results())));
        AttemptStore store(connection);
        ASSERT_TRUE(store.prepare());
        tally_ = new Tally(simulate(store));
    }
    static void TearDownTestSuite()
    {
        delete tally_;
        delete bank_;
    }
    static std::string results() { return bank_->path() + ".results"; }

    static TestBank* bank_;
    static Tally* tally_;
};

TestBank* CategoryStatisticsTest::bank_ = nullptr;
Tally* CategoryStatisticsTest::tally_ = nullptr;

TEST_F(CategoryStatisticsTest, CountsEachTickAndFlagsOnlyTheMiskeyedSet)
{
    Database connection{DbKind::Sqlite};
    ASSERT_TRUE(connection.open(AttemptStore::fileOptions(results())));
    BankStatistics statistics(connection);
    ASSERT_TRUE(statistics.compute()) << statistics.lastErrorText();
    ASSERT_EQ(statistics.questions().size(), singles + multiples.size());
    for (const QuestionStatistics& q : statistics.questions()) {
        SCOPED_TRACE(q.key);
        const bool multiple = multiples.contains(q.key);
        EXPECT_EQ(q.multiple, multiple);
        EXPECT_EQ(q.drawn, candidates);
        EXPECT_EQ(q.right, tally_->right[q.key]);
        EXPECT_EQ(q.chosen, tally_->ticks[q.key]);
        if (multiple)
            EXPECT_EQ(q.suspect, q.key == "22");
    }
    // A multiple-answer question's shares add up past one.
    const QuestionStatistics& keyed = statistics.questions()[singles];
    EXPECT_GT(keyed.share(0) + keyed.share(1) + keyed.share(2) + keyed.share(3), 1.2);
}

TEST_F(CategoryStatisticsTest, GathersTheFiguresOfEachCategoryWithTheUncategorisedLast)
{
    std::vector<QuestionStatistics> questions(5);
    const char* keys[] = {"1", "2", "3", "4", "5"};
    for (std::size_t i = 0; i < questions.size(); ++i) {
        questions[i].key = keys[i];
        questions[i].drawn = 10;
        questions[i].right = static_cast<int>(i) + 1;
    }
    questions[0].discrimination = 0.2;
    questions[1].discrimination = 0.4;
    questions[1].suspect = true;
    questions[3].discrimination = -0.1;
    questions[3].suspect = true;
    questions[4].suspect = true;
    // Question 5 has no row in the bank's table.
    const CategoryStatistics::Categories categories = {
        {"1", GBK("机械基础")}, {"2", GBK("机械基础")}, {"3", GBK("机械基础")}, {"4", GBK("安全生产")}};

    const std::vector<CategoryFigures> rows = CategoryStatistics::gather(questions, categories);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].category, GBK("安全生产"));
    EXPECT_EQ(rows[1].category, GBK("机械基础"));
    EXPECT_EQ(rows[2].category, GBK("未分类"));
    EXPECT_EQ(StatsWindow::categoryRowTexts(rows[1]),
              (std::vector<std::string>{GBK("机械基础"), "3", "30", "0.200", "0.300", "1"}));
    EXPECT_EQ(StatsWindow::categoryRowTexts(rows[0]),
              (std::vector<std::string>{GBK("安全生产"), "1", "10", "0.400", "-0.100", "1"}));
    EXPECT_EQ(StatsWindow::categoryRowTexts(rows[2]),
              (std::vector<std::string>{GBK("未分类"), "1", "10", "0.500", "", "1"}));

    // A bank that never had a category reads as none; a row without a text
    // leaves its question uncategorised.
    Database bank{DbKind::Sqlite};
    ASSERT_TRUE(bank.open(ConnectOptions::sqlite(bank_->path(), false)));
    CategoryStatistics::Categories read;
    std::string error;
    EXPECT_TRUE(CategoryStatistics::readCategories(bank, read, error));
    EXPECT_TRUE(read.empty());
    bank_->run("CREATE TABLE KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT)");
    bank_->run("INSERT INTO KS_TMFL VALUES (4, '安全生产'), (7, NULL)");
    EXPECT_TRUE(CategoryStatistics::readCategories(bank, read, error)) << error;
    EXPECT_EQ(read, (CategoryStatistics::Categories{{"4", GBK("安全生产")}}));
    bank_->run("DROP TABLE KS_TMFL");
}

TEST_F(CategoryStatisticsTest, TheWindowSwitchesToTheCategoriesAndExportsThem)
{
    bank_->run("CREATE TABLE KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT)");
    for (int q = 1; q <= singles; ++q)
        bank_->run("INSERT INTO KS_TMFL VALUES (" + std::to_string(q) + ", '" + (q <= 10 ? "安全生产" : "机械基础") +
                   "')");
    Database attempts{DbKind::Sqlite};
    ASSERT_TRUE(attempts.open(AttemptStore::fileOptions(results())));
    Database bank{DbKind::Sqlite};
    ASSERT_TRUE(bank.open(ConnectOptions::sqlite(bank_->path(), false)));
    std::string folder = bank_->path();
    folder.erase(folder.find_last_of('/'));
    StatsWindow window(attempts, folder, &bank);

    GuiDriver driver;
    driver.setModalHook([&](const std::string& w) {
        const std::string original = Gui::gridText(w, StatsWindow::grid, 1, 0);
        EXPECT_TRUE(Gui::isVisible(w, StatsWindow::grid));
        EXPECT_FALSE(Gui::isVisible(w, StatsWindow::categoryGrid));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::categoryButton));
        EXPECT_FALSE(Gui::isVisible(w, StatsWindow::grid));
        EXPECT_TRUE(Gui::isVisible(w, StatsWindow::categoryGrid));
        EXPECT_FALSE(Gui::isEnabled(w, "查看题目按钮"));
        EXPECT_EQ(Gui::text(w, StatsWindow::categoryButton), GBK("按题目"));
        ASSERT_EQ(Gui::gridRowCount(w, StatsWindow::categoryGrid), 4);
        const std::vector<std::string> expected[] = {{GBK("安全生产"), "10", std::to_string(10 * candidates)},
                                                     {GBK("机械基础"), "10", std::to_string(10 * candidates)},
                                                     {GBK("未分类"), "3", std::to_string(3 * candidates), "", "", "1"}};
        for (int row = 1; row <= 3; ++row) {
            const std::vector<std::string>& cells = expected[row - 1];
            for (std::size_t c = 0; c < cells.size(); ++c)
                if (!cells[c].empty())
                    EXPECT_EQ(Gui::gridText(w, StatsWindow::categoryGrid, row, static_cast<int>(c)), cells[c]);
        }
        ASSERT_TRUE(GuiDriver::click(w, "导出CSV按钮"));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::categoryButton));
        EXPECT_TRUE(Gui::isVisible(w, StatsWindow::grid));
        EXPECT_TRUE(Gui::isEnabled(w, "查看题目按钮"));
        EXPECT_EQ(Gui::text(w, StatsWindow::categoryButton), GBK("按分类"));
        EXPECT_EQ(Gui::gridText(w, StatsWindow::grid, 1, 0), original);
    });
    window.runModal("");

    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_NE(driver.messageBoxes()[0].text.find(GBK("分类统计已导出到")), std::string::npos);
    std::ifstream csv(folder + "/" + platform::gbkToUtf8(GBK("分类统计.csv")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind(GBK("安全生产") + " , 10 , ", 0), 0u);
    EXPECT_EQ(lines[2].rfind(GBK("未分类") + " , 3 , ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder + "/" + platform::gbkToUtf8(GBK("题库统计.csv"))));
    bank_->run("DROP TABLE KS_TMFL");
    Gui::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
