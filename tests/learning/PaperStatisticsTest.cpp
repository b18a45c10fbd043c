// The statistics narrowed to one paper: the program's own, or one the
// administrator defined, each counted apart from the rest.

#include "learning/BankStatistics.h"
#include "learning/StatisticsChart.h"
#include "learning/StatsWindow.h"

#include "app/DefinedPaperText.h"
#include "attempts/AttemptStore.h"
#include "bank/BankTestSupport.h"
#include "db/Database.h"
#include "papers/PaperDefinition.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using platform::Gui;
using platform::GuiDriver;

namespace {

// Ten single-answer questions worth 3 points each: the paper is worth 30.
PaperDefinition finalPaper()
{
    return {
        .name = GBK("期末考试"), .rules = {{.kind = QuestionKind::Single, .count = 10}}, .pointsTenths = {30, 10, 10}};
}

class PaperStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::path(bank_.path()).parent_path();
        ASSERT_TRUE(results_.open(AttemptStore::fileOptions((folder_ / "ksjl.db").string())));
        AttemptStore store(results_);
        ASSERT_TRUE(store.prepare());
        // Question 1 is on every paper; the rest belong to one paper each.
        const std::string retake = GBK("补考/二");
        for (int i = 0; i < 3; ++i)
            add(store, {}, {}, 2, 10, i, -1);
        add(store, finalPaper().name, DefinedPaperText::write(finalPaper(), 7), 11, 19, 8, 240);
        add(store, finalPaper().name, DefinedPaperText::write(finalPaper(), 7), 11, 19, 5, 150);
        add(store, retake, DefinedPaperText::write(PaperDefinition{.name = retake, .rules = {{.count = 5}}}, 7), 21, 24,
            4, 40);
        // Neither an unfinished exam nor a drill counts.
        const std::int64_t open = store.begin({.entries = {{.number = 1, .questionKey = "1", .answer = "A"}},
                                               .paperName = finalPaper().name,
                                               .paperText = DefinedPaperText::write(finalPaper(), 7)});
        ASSERT_GT(open, 0);
        const std::int64_t drill = store.begin({.kind = "drill", .entries = {{.number = 1, .questionKey = "1"}}});
        ASSERT_TRUE(store.recordHandIn(drill, 1, 0, AttemptStore::now()));
    }

    // An attempt of question 1 and of first..last, handed in.
    void add(AttemptStore& store, const std::string& paper, const std::string& text, int first, int last, int score,
             int pointsTenths)
    {
        AttemptStart start{.paperName = paper, .paperText = text};
        start.entries.push_back({.number = 1, .questionKey = "1", .answer = "A", .chosen = "A"});
        for (int key = first; key <= last; ++key)
            start.entries.push_back({.number = static_cast<int>(start.entries.size()) + 1,
                                     .questionKey = std::to_string(key),
                                     .answer = "B",
                                     .chosen = key % 2 == 0 ? "B" : "C"});
        const std::int64_t id = store.begin(start);
        ASSERT_GT(id, 0) << store.lastErrorText();
        ASSERT_TRUE(paper.empty() ? store.recordHandIn(id, score, 0, AttemptStore::now())
                                  : store.recordHandIn(id, score, 0, AttemptStore::now(), pointsTenths, true));
    }

    // Times each question was drawn in the attempts counted.
    std::map<std::string, int> drawn(const std::optional<std::string>& paper, std::vector<int>* distribution = nullptr)
    {
        BankStatistics statistics(results_);
        EXPECT_TRUE(statistics.compute(paper)) << statistics.lastErrorText();
        std::map<std::string, int> out;
        for (const QuestionStatistics& q : statistics.questions())
            out[q.key] = q.drawn;
        if (distribution)
            *distribution = statistics.distribution();
        return out;
    }

    TestBank bank_;
    std::filesystem::path folder_;
    Database results_{DbKind::Sqlite};
};

TEST_F(PaperStatisticsTest, EachPaperIsCountedApartAndAllOfThemTogether)
{
    std::vector<std::string> names;
    ASSERT_TRUE(AttemptStore(results_).handedInPaperNames(names));
    EXPECT_EQ(names.size(), 2u);

    std::vector<int> scores;
    const auto all = drawn(std::nullopt, &scores);
    EXPECT_EQ(scores, (std::vector<int>{0, 1, 2, 8, 5, 4}));
    EXPECT_EQ(all.at("1"), 6);
    EXPECT_EQ(all.size(), 10u + 9 + 4);

    const auto own = drawn(std::string(), &scores);
    EXPECT_EQ(own.at("1"), 3);
    EXPECT_EQ(own.size(), 10u);
    EXPECT_EQ(scores, (std::vector<int>{0, 1, 2}));

    const auto defined = drawn(finalPaper().name, &scores);
    EXPECT_EQ(defined.at("1"), 2);
    EXPECT_EQ(defined.at("11"), 2);
    EXPECT_EQ(defined.size(), 10u);
    // 24 and 15 of 30 points: the 80 and 50 bins, not those of 8 and 5 out of 100.
    std::vector<int> bins(StatisticsChart::scoreBins, 0);
    bins[8] = bins[5] = 1;
    EXPECT_EQ(StatisticsChart::scoreCounts(scores), bins);

    const auto retake = drawn(GBK("补考/二"));
    EXPECT_EQ(retake.at("1"), 1);
    EXPECT_FALSE(retake.contains("11"));
    EXPECT_TRUE(drawn(GBK("没有的试卷")).empty());
}

TEST_F(PaperStatisticsTest, TheWindowNarrowsToThePaperChosenAndNamesItsExports)
{
    StatsWindow window(results_, folder_.string());
    GuiDriver driver;
    driver.setModalHook([&](const std::string& w) {
        ASSERT_EQ(Gui::comboCount(w, StatsWindow::paperCombo), 4);
        EXPECT_EQ(Gui::text(w, StatsWindow::paperCombo), GBK("全部试卷"));
        EXPECT_EQ(Gui::gridRowCount(w, StatsWindow::grid), 1 + 23);
        ASSERT_TRUE(GuiDriver::click(w, "导出CSV按钮"));

        std::vector<std::string> names;
        ASSERT_TRUE(AttemptStore(results_).handedInPaperNames(names));
        const auto at = std::find(names.begin(), names.end(), GBK("补考/二"));
        ASSERT_NE(at, names.end());
        ASSERT_TRUE(GuiDriver::selectComboItem(w, StatsWindow::paperCombo, static_cast<int>(at - names.begin()) + 2));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::paperButton));
        EXPECT_EQ(Gui::gridRowCount(w, StatsWindow::grid), 1 + 5);
        EXPECT_TRUE(Gui::text(w, "说明标签").starts_with(GBK("统计试卷“补考/二”已交卷的考试，错题练习不计：1 次考试")));
        ASSERT_TRUE(GuiDriver::click(w, "导出CSV按钮"));
        // The figures by category follow the paper too.
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::categoryButton));
        EXPECT_EQ(Gui::gridText(w, StatsWindow::categoryGrid, 1, 1), "5");
        ASSERT_TRUE(GuiDriver::selectComboItem(w, StatsWindow::paperCombo, 1));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::paperButton));
        EXPECT_EQ(Gui::gridText(w, StatsWindow::categoryGrid, 1, 1), "10");
        ASSERT_TRUE(GuiDriver::click(w, "导出XLS按钮"));

        ASSERT_TRUE(GuiDriver::selectComboItem(w, StatsWindow::paperCombo, 0));
        ASSERT_TRUE(GuiDriver::click(w, StatsWindow::paperButton));
        EXPECT_TRUE(Gui::text(w, "说明标签").starts_with(GBK("统计全部已交卷的考试，错题练习不计：6 次考试，23 道题")));
    });
    window.runModal("");
    ASSERT_EQ(driver.messageBoxes().size(), 3u);
    for (const char* name : {"题库统计.csv", "题库统计-补考_二.csv", "分类统计-默认试卷.xls"})
        EXPECT_TRUE(std::filesystem::exists(folder_ / name)) << name;
}

} // namespace
