#include "learning/CategoryStatistics.h"
#include "learning/StatsWindow.h"

#include "attempts/AttemptStore.h"
#include "bank/BankTestSupport.h"
#include "platform/gui/GuiDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <tuple>

using platform::Gui;
using platform::GuiDriver;

namespace {

constexpr int candidates = 240;
// Questions 1 to 20 have one answer. Of the multiple-answer ones, strong
// candidates tick the first set; "22" is keyed with one letter too many.
const std::map<int, std::pair<std::string, std::string>> multiples = {
    {21, {"AC", "AC"}}, {22, {"BD", "ABD"}}, {23, {"ACD", "ACD"}}};

class CategoryStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(results.open(AttemptStore::fileOptions(bank.path() + ".results")));
        AttemptStore store(results);
        ASSERT_TRUE(store.prepare());
        std::mt19937 random(23);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int c = 0; c < candidates; ++c) {
            const double p = 1.0 / (1.0 + std::exp(-2.0 * std::normal_distribution<double>()(random)));
            AttemptStart start;
            int score = 0;
            for (int q = 1; q <= 23; ++q) {
                const std::string key = std::to_string(q);
                std::string truth(1, "ABCD"[q % 4]), keyed = truth;
                if (q > 20)
                    std::tie(truth, keyed) = multiples.at(q);
                std::string chosen = truth;
                if (unit(random) >= p) {
                    chosen.clear();
                    const unsigned bits = q > 20 ? 1 + random() % 15 : 1u << (random() % 4);
                    for (int i = 0; i < 4; ++i)
                        chosen += (bits >> i) & 1 ? std::string(1, "ABCD"[i]) : "";
                }
                score += chosen == keyed;
                right[key] += chosen == keyed;
                for (char letter : chosen)
                    ++ticks[key][static_cast<std::size_t>(letter - 'A')];
                start.entries.push_back({.number = q,
                                         .questionKey = key,
                                         .title = key,
                                         .answer = keyed,
                                         .optionCount = "4",
                                         .chosen = chosen});
            }
            const std::int64_t id = store.begin(start);
            ASSERT_TRUE(store.recordHandIn(id, score, 0, AttemptStore::now()));
        }
    }

    TestBank bank;
    Database results{DbKind::Sqlite};
    std::map<std::string, std::array<int, 4>> ticks;
    std::map<std::string, int> right;
};

TEST_F(CategoryStatisticsTest, CountsEachTickAndFlagsOnlyTheMiskeyedSet)
{
    BankStatistics statistics(results);
    ASSERT_TRUE(statistics.compute()) << statistics.lastErrorText();
    ASSERT_EQ(statistics.questions().size(), 23u);
    for (const QuestionStatistics& q : statistics.questions()) {
        SCOPED_TRACE(q.key);
        EXPECT_EQ(q.multiple, std::stoi(q.key) > 20);
        EXPECT_EQ(q.right, right[q.key]);
        EXPECT_EQ(q.chosen, ticks[q.key]);
        if (q.multiple) {
            EXPECT_EQ(q.suspect, q.key == "22");
        }
    }
}

TEST_F(CategoryStatisticsTest, TheWindowShowsAndExportsEachCategoryWithTheUncategorisedLast)
{
    // Keys 1 to 10 and 11 to 20 in two categories, 21 with a row but no text.
    bank.run("CREATE TABLE KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT)");
    for (int q = 1; q <= 21; ++q)
        bank.run("INSERT INTO KS_TMFL VALUES (" + std::to_string(q) + ", " +
                 (q > 20   ? "NULL"
                  : q > 10 ? "'安全生产'"
                           : "'机械基础'") +
                 ")");
    Database questions{DbKind::Sqlite};
    ASSERT_TRUE(questions.open(ConnectOptions::sqlite(bank.path(), false)));
    const std::string folder = std::filesystem::path(bank.path()).parent_path().string();
    StatsWindow window(results, folder, &questions);
    GuiDriver driver;
    driver.setModalHook([&](const std::string& w) {
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::categoryButton));
        EXPECT_FALSE(Gui::isVisible(w, StatsWindow::grid));
        EXPECT_FALSE(Gui::isEnabled(w, "查看题目按钮"));
        ASSERT_TRUE(GuiDriver::click(w, "导出CSV按钮"));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::categoryButton));
        EXPECT_TRUE(Gui::isVisible(w, StatsWindow::grid));
        EXPECT_EQ(Gui::text(w, StatsWindow::categoryButton), GBK("按分类"));
    });
    window.runModal("");

    // Each row as gathered apart: the uncategorised' mean discrimination is
    // over its three questions, their right answers over 3 x 240 drawn.
    std::map<std::string, std::tuple<int, int, int, double, int>> expected;
    for (const QuestionStatistics& q : window.questions()) {
        const int n = std::stoi(q.key);
        auto& [count, drawn, right, discrimination, suspect] = expected[n > 20   ? GBK("未分类")
                                                                        : n > 10 ? GBK("安全生产")
                                                                                 : GBK("机械基础")];
        ++count;
        drawn += q.drawn;
        right += q.right;
        discrimination += *q.discrimination;
        suspect += q.suspect;
    }
    std::ifstream csv(folder + "/" + platform::gbkToUtf8(GBK("分类统计.csv")));
    std::vector<std::string> lines(3);
    for (std::string& line : lines)
        std::getline(csv, line);
    int row = 0;
    for (const std::string& category : {GBK("安全生产"), GBK("机械基础"), GBK("未分类")}) {
        const auto& [count, drawn, right, discrimination, suspect] = expected[category];
        const std::string facility = StatsWindow::exportedFigure(StatsWindow::figure(1.0 * right / drawn));
        const std::string mean = StatsWindow::exportedFigure(StatsWindow::figure(discrimination / count));
        EXPECT_EQ(lines[static_cast<std::size_t>(row++)], category + " , " + std::to_string(count) + " , " +
                                                              std::to_string(drawn) + " , " + facility + " , " + mean +
                                                              " , " + std::to_string(suspect) + "\r");
    }
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder + "/" + platform::gbkToUtf8(GBK("题库统计.csv"))));
}

} // namespace
