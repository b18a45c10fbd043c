// The history of defined papers beside the program's own: the paper filter,
// the export's paper columns, the score drawn as a share of the points and
// the share answered right per category.

#include "app/AppTestSupport.h"
#include "app/DefinedPaperText.h"
#include "attempts/AttemptStore.h"
#include "attempts/CategoryChart.h"
#include "attempts/HistoryWindow.h"
#include "attempts/ScoreChart.h"
#include "db/Database.h"
#include "platform/FileSystem.h"

using platform::Gui;
using platform::GuiDriver;

namespace {

constexpr char history[] = "history";

std::string gbk(const std::string& utf8)
{
    return platform::utf8ToGbk(utf8);
}

AttemptSummary attempt(std::string kind, std::string paper, int pointsTenths = -1, int passed = -1)
{
    return {.kind = std::move(kind),
            .startedAt = "2026-01-01 09:00:00",
            .state = AttemptState::HandedIn,
            .score = 7,
            .paperName = std::move(paper),
            .pointsTenths = pointsTenths,
            .passed = passed};
}

TEST(PaperHistory, TheFilterListsEachPaperOnceAndKeepsDrillsToTheWholeList)
{
    const std::vector<AttemptSummary> all{attempt("exam", gbk("乙卷")), attempt("exam", ""), attempt("drill", ""),
                                          attempt("exam", gbk("甲卷")), attempt("exam", gbk("乙卷"))};
    const std::vector<std::string> names = HistoryWindow::paperNames(all);
    ASSERT_EQ(names, (std::vector<std::string>{gbk("甲卷"), gbk("乙卷")}));
    EXPECT_EQ(HistoryWindow::ofPaper(all, HistoryWindow::allPapers, names).size(), 5u);
    EXPECT_EQ(HistoryWindow::ofPaper(all, HistoryWindow::defaultPaper, names).size(), 1u);
    EXPECT_EQ(HistoryWindow::ofPaper(all, HistoryWindow::defaultPaper + 2, names).size(), 2u);
}

TEST(PaperHistory, ExportCarriesPaperColumnsOnlyWithADefinedPaper)
{
    const std::vector<AttemptSummary> own{attempt("exam", ""), attempt("drill", "")};
    EXPECT_EQ(HistoryWindow::exportColumns(own), AttemptStore::exportColumns());
    EXPECT_EQ(HistoryWindow::exportRows(own)[1], AttemptStore::exportRow(own[1]));

    const std::vector<AttemptSummary> mixed{attempt("exam", gbk("甲卷"), 285, 1), attempt("exam", "")};
    const std::size_t paper = AttemptStore::exportColumns().size();
    EXPECT_EQ(HistoryWindow::exportColumns(mixed).size(), paper + 3);
    const auto rows = HistoryWindow::exportRows(mixed);
    EXPECT_EQ(std::vector<std::string>(rows[0].begin() + paper, rows[0].end()),
              (std::vector<std::string>{gbk("甲卷"), "28.5", gbk("合格")}));
    EXPECT_EQ(std::vector<std::string>(rows[1].begin() + paper, rows[1].end()),
              (std::vector<std::string>{gbk("默认试卷"), "", ""}));
}

TEST(PaperHistory, ADefinedPaperIsDrawnAsItsShareOfThePoints)
{
    std::vector<AttemptSummary> attempts{attempt("exam", ""), attempt("exam", gbk("甲卷"), 285, 1)};
    attempts[1].id = 2;
    EXPECT_EQ(ScoreChart::points(attempts, {{2, 600}})[1].second, 48); // 28.5 of 60, rounded
    // Its paper's points unknown: the questions right, as before.
    EXPECT_EQ(ScoreChart::points(attempts)[1].second, 7);
}

TEST(PaperHistory, SharesPerCategoryCountHandedInAnswersAndTheUncategorisedLast)
{
    StoredAttempt first{.summary = attempt("exam", "")};
    first.entries = {{.number = 1, .questionKey = "1", .answer = "A", .chosen = "A"},
                     {.number = 2, .questionKey = "2", .answer = "BD", .chosen = "DB"},
                     {.number = 3, .questionKey = "3", .answer = "C", .chosen = ""},
                     {.number = 4, .questionKey = "9", .answer = "A", .chosen = "A"},
                     {.number = 5}};
    StoredAttempt open{.summary = attempt("exam", "")};
    open.summary.state = AttemptState::InProgress;
    open.entries = {{.number = 1, .questionKey = "2", .answer = "A", .chosen = "B"}};
    const CategoryChart::Categories categories{{"1", gbk("第二章")}, {"2", gbk("第一章")}, {"3", gbk("第二章")}};

    const auto shares = CategoryChart::shares({first, open}, categories);
    ASSERT_EQ(shares.size(), 3u);
    // By name in GBK byte order: 二 (B6FE) before 一 (D2BB).
    EXPECT_EQ(shares[0].category, gbk("第二章"));
    EXPECT_EQ(shares[0].questions, 2);
    EXPECT_EQ(shares[0].percent(), 50);
    EXPECT_EQ(shares[1].percent(), 100);
    EXPECT_EQ(shares[2].category, gbk("未分类"));
}

class PaperHistoryWindowTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(40));
    }
};

TEST_F(PaperHistoryWindowTest, TheComboFiltersTheListAndTheExportAndTheCategoryChartDraws)
{
    {
        Database connection{DbKind::Sqlite};
        ASSERT_TRUE(connection.open(AttemptStore::fileOptions(file(AttemptStore::fileName).string())));
        AttemptStore store(connection);
        ASSERT_TRUE(store.prepare());
        for (const char* paper : {"", "甲卷"}) {
            AttemptStart start{.candidateId = "110", .seatNumber = "7", .secondsLeft = 300, .paperDuration = 600};
            start.entries.push_back({.number = 1, .questionKey = "1", .title = "t", .answer = "A", .chosen = "A"});
            start.paperName = gbk(paper);
            if (*paper != '\0')
                start.paperText = DefinedPaperText::write(PaperDefinition{.name = gbk(paper)}, 1);
            const std::int64_t id = store.begin(start);
            ASSERT_GT(id, 0);
            ASSERT_TRUE(*paper == '\0' ? store.recordHandIn(id, 1, 300, AttemptStore::now())
                                       : store.recordHandIn(id, 1, 300, AttemptStore::now(), 10, true));
        }
    }
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "110");
    bool opened = false;
    driver.setModalHook([&](const std::string& window) {
        opened = window == history;
        ASSERT_EQ(Gui::gridRowCount(history, HistoryWindow::grid), 3);
        ASSERT_EQ(Gui::comboCount(history, HistoryWindow::paperBox), 3);
        ASSERT_TRUE(GuiDriver::selectComboItem(history, HistoryWindow::paperBox, 2));
        ASSERT_TRUE(GuiDriver::click(history, HistoryWindow::paperButton));
        ASSERT_EQ(Gui::gridRowCount(history, HistoryWindow::grid), 2);
        EXPECT_EQ(Gui::gridText(history, HistoryWindow::grid, 1, 3), gbk("甲卷"));

        driver.clearMessageBoxes();
        ASSERT_TRUE(GuiDriver::click(history, "导出CSV按钮"));
        ASSERT_TRUE(GuiDriver::click(history, HistoryWindow::categoryButton));
        EXPECT_EQ(driver.messageBoxes().size(), 1u);
        EXPECT_NE(Gui::htmlFile(history, HistoryWindow::view).find("categories.htm"), std::string::npos);
    });
    ASSERT_TRUE(GuiDriver::click("start", "历史按钮"));
    EXPECT_TRUE(opened);
    std::string csv;
    ASSERT_TRUE(platform::FileSystem::readFile(folder + "/" + gbk("历史成绩.csv"), csv));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1);
    EXPECT_NE(csv.find(gbk("甲卷") + " , 1 , " + gbk("合格")), std::string::npos);
}

} // namespace
