#include "learning/BankStatistics.h"
#include "learning/StatsWindow.h"

#include "attempts/AttemptStore.h"
#include "bank/BankTestSupport.h"
#include "bank/BankWindow.h"
#include "db/Database.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

using platform::Gui;
using platform::GuiDriver;

namespace {

constexpr int candidates = 300;
constexpr int questionCount = 100;
// Keys stored with a wrong letter as their answer.
const std::set<std::string> miskeyed = {"7", "23", "41", "66", "88"};

// 300 candidates of varied ability, each handing in all 100 questions in an
// order of their own; strong candidates answer the true letter, which for the
// miskeyed questions is marked wrong. Drills, abandoned and unfinished
// attempts are added that must not count.
void simulate(AttemptStore& store)
{
    std::mt19937 random(15);
    std::normal_distribution<double> ability(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> difficulty(questionCount);
    std::vector<int> truth(questionCount);
    for (int q = 0; q < questionCount; ++q) {
        difficulty[static_cast<std::size_t>(q)] = -1.5 + 3.0 * unit(random);
        truth[static_cast<std::size_t>(q)] = static_cast<int>(random() % 4);
    }
    auto attempt = [&](const std::string& kind, double theta, int state) {
        AttemptStart start{.kind = kind, .candidateId = "1100" + std::to_string(random() % 10000)};
        std::vector<int> order(questionCount);
        for (int q = 0; q < questionCount; ++q)
            order[static_cast<std::size_t>(q)] = q;
        std::shuffle(order.begin(), order.end(), random);
        int score = 0;
        for (int k = 0; k < questionCount; ++k) {
            const int q = order[static_cast<std::size_t>(k)];
            const std::string key = std::to_string(q + 1);
            const int t = truth[static_cast<std::size_t>(q)];
            const int keyed = miskeyed.contains(key) ? (t + 1) % 4 : t;
            const double p = 0.25 + 0.75 / (1.0 + std::exp(-1.7 * (theta - difficulty[static_cast<std::size_t>(q)])));
            std::string chosen;
            if (unit(random) >= 0.03) {
                const int letter = unit(random) < p ? t : (t + 1 + static_cast<int>(random() % 3)) % 4;
                chosen = std::string(1, static_cast<char>('A' + letter));
            }
            score += chosen == std::string(1, static_cast<char>('A' + keyed)) ? 1 : 0;
            start.entries.push_back({.number = k + 1,
                                     .questionKey = key,
                                     .title = "T" + key,
                                     .answer = std::string(1, static_cast<char>('A' + keyed)),
                                     .optionCount = "4",
                                     .chosen = chosen});
        }
        const std::int64_t id = store.begin(start);
        ASSERT_GT(id, 0) << store.lastErrorText();
        if (state == 1) {
            ASSERT_TRUE(store.recordHandIn(id, score, 0, AttemptStore::now()));
        } else if (state == 2) {
            ASSERT_TRUE(store.recordAbandoned(id, AttemptStore::now()));
        }
    };
    for (int c = 0; c < candidates; ++c) {
        attempt("exam", ability(random), 1);
        if (c % 30 == 0) {
            attempt("drill", -2.0, 1);
            attempt("exam", 2.0, c % 60 == 0 ? 0 : 2);
        }
    }
}

class BankStatisticsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new TestBank;
        Database connection{DbKind::Sqlite};
        ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path())));
        AttemptStore store(connection);
        ASSERT_TRUE(store.prepare());
        simulate(store);
    }
    static void TearDownTestSuite()
    {
        delete folder_;
        folder_ = nullptr;
    }
    static std::string path() { return folder_->path() + ".results"; }

    static TestBank* folder_;
};

TestBank* BankStatisticsTest::folder_ = nullptr;

TEST_F(BankStatisticsTest, FlagsTheMiskeyedQuestionsAndAgreesWithAnIndependentComputation)
{
    Database connection{DbKind::Sqlite};
    ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path())));
    BankStatistics statistics(connection);
    ASSERT_TRUE(statistics.compute()) << statistics.lastErrorText();
    EXPECT_EQ(statistics.scores().size(), static_cast<std::size_t>(candidates));
    ASSERT_EQ(statistics.questions().size(), static_cast<std::size_t>(questionCount));

    int caught = 0;
    int others = 0;
    std::map<std::string, std::vector<std::string>> table;
    for (const QuestionStatistics& q : statistics.questions()) {
        if (q.suspect)
            (miskeyed.contains(q.key) ? caught : others) += 1;
        table[q.key] = StatsWindow::rowTexts(q);
    }
    EXPECT_GE(caught, 4);
    EXPECT_LE(others, 3);

    const std::string script = (std::filesystem::path(MOCKEXAM_TESTS_DIR) / "learning" / "bank_statistics.py").string();
    FILE* pipe = popen(("/usr/bin/python3 " + script + " " + path()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << output;

    std::istringstream lines(output);
    std::string line;
    std::size_t compared = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key, drawn, disc, suspect;
        double facility = 0, share[5] = {};
        fields >> key >> drawn >> facility >> share[0] >> share[1] >> share[2] >> share[3] >> share[4] >> disc >>
            suspect;
        SCOPED_TRACE(line);
        ASSERT_TRUE(table.contains(key));
        const std::vector<std::string>& row = table[key];
        EXPECT_EQ(row[2], drawn);
        EXPECT_NEAR(std::stod(row[3]), facility, 0.001);
        for (int c = 0; c < 5; ++c)
            EXPECT_NEAR(std::stod(row[static_cast<std::size_t>(4 + c)]), share[c], 0.001);
        if (disc == "-")
            EXPECT_EQ(row[9], "");
        else
            EXPECT_NEAR(std::stod(row[9]), std::stod(disc), 0.001);
        EXPECT_EQ(row[10].empty(), suspect == "0");
        ++compared;
    }
    EXPECT_EQ(compared, table.size());
}

TEST_F(BankStatisticsTest, OpensFromTheBankWindowSortsAndShowsAFlaggedQuestionThere)
{
    for (int q = 1; q <= questionCount; ++q)
        folder_->insert("T" + std::to_string(q), "a|b|c|d|", "A", "4");
    Database connection{DbKind::Sqlite};
    ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path())));
    std::string exportFolder = folder_->path();
    exportFolder.erase(exportFolder.find_last_of('/'));
    const BankWindow::Actions actions{.statistics = [&](const std::string& owner, const auto& showQuestion) {
        StatsWindow window(connection, exportFolder);
        window.runModal(owner);
        if (window.chosenQuestion())
            showQuestion(*window.chosenQuestion());
    }};

    GuiDriver driver;
    std::string chosen;
    driver.setModalHook([&](const std::string& w) {
        ASSERT_EQ(w, StatsWindow::windowId);
        EXPECT_TRUE(Gui::htmlFile(w, StatsWindow::view).ends_with("scores.htm"));
        // Sorted by the suspect column, flagged questions come last, then first.
        ASSERT_TRUE(GuiDriver::selectComboItem(w, StatsWindow::sortCombo, StatsWindow::suspectColumn));
        ASSERT_TRUE(GuiDriver::click(w, "排序按钮"));
        EXPECT_EQ(Gui::gridText(w, StatsWindow::grid, 1, StatsWindow::suspectColumn), "");
        ASSERT_TRUE(GuiDriver::click(w, "排序按钮"));
        EXPECT_EQ(Gui::gridText(w, StatsWindow::grid, 1, StatsWindow::suspectColumn), GBK("答案可疑"));
        // Facility ascending: each row no higher than the next.
        ASSERT_TRUE(GuiDriver::selectComboItem(w, StatsWindow::sortCombo, 3));
        ASSERT_TRUE(GuiDriver::click(w, "排序按钮"));
        for (int row = 1; row < questionCount; ++row)
            ASSERT_LE(std::stod(Gui::gridText(w, StatsWindow::grid, row, 3)),
                      std::stod(Gui::gridText(w, StatsWindow::grid, row + 1, 3)));
        ASSERT_TRUE(GuiDriver::click(w, "答对率按钮"));
        EXPECT_TRUE(Gui::htmlFile(w, StatsWindow::view).ends_with("facility.htm"));
        ASSERT_TRUE(GuiDriver::click(w, "导出CSV按钮"));
        int row = 1;
        while (Gui::gridText(w, StatsWindow::grid, row, StatsWindow::suspectColumn).empty())
            ++row;
        chosen = Gui::gridText(w, StatsWindow::grid, row, 0);
        ASSERT_TRUE(GuiDriver::clickGridCell(w, StatsWindow::grid, row, 0));
        ASSERT_TRUE(GuiDriver::click(w, "查看题目按钮"));
    });
    ASSERT_TRUE(Gui::openWindow(BankWindow::layout(actions),
                                BankWindow::handlers(folder_->connection, folder_->recordset, actions)));
    ASSERT_TRUE(GuiDriver::click("bank", "统计"));

    ASSERT_TRUE(miskeyed.contains(chosen)) << chosen;
    EXPECT_EQ(Gui::gridRowCount("bank", "题库表"), 2);
    EXPECT_EQ(Gui::gridText("bank", "题库表", 1, 0), chosen);
    EXPECT_EQ(Gui::text("bank", "标题编辑框"), "T" + chosen);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("提示"));
    std::ifstream csv(exportFolder + "/" + platform::gbkToUtf8(GBK("题库统计.csv")));
    std::string header;
    EXPECT_TRUE(std::getline(csv, header));
    EXPECT_NE(header.find(GBK("答案可疑")), std::string::npos);
    Gui::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Before any hand-in the tables are empty: an export says so and writes nothing.
TEST(StatsWindowTest, AnEmptyTableIsNotExported)
{
    TestBank bank;
    const std::filesystem::path folder = std::filesystem::path(bank.path()).parent_path();
    Database results{DbKind::Sqlite};
    ASSERT_TRUE(results.open(AttemptStore::fileOptions((folder / "ksjl.db").string())));
    ASSERT_TRUE(AttemptStore(results).prepare());
    StatsWindow window(results, folder.string());
    GuiDriver driver;
    driver.setModalHook([&](const std::string& w) {
        for (const char* button : {"导出CSV按钮", "导出XLS按钮"})
            ASSERT_TRUE(GuiDriver::click(w, button));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::categoryButton));
        ASSERT_TRUE(GuiDriver::click(w, "导出CSV按钮"));
    });
    window.runModal("");
    ASSERT_EQ(driver.messageBoxes().size(), 3u);
    for (const auto& box : driver.messageBoxes())
        EXPECT_NE(box.text.find(GBK("没有可导出的内容")), std::string::npos);
    for (const char* name : {"题库统计.csv", "题库统计.xls", "分类统计.csv"})
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
}

} // namespace
