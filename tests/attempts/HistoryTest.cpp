#include "app/AppTestSupport.h"
#include "attempts/AttemptStore.h"
#include "attempts/HistoryWindow.h"
#include "attempts/ScoreChart.h"
#include "db/Database.h"
#include "platform/FileSystem.h"

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

constexpr char history[] = "history";

class HistoryTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(40));
    }

    // Attempts straight into the results database: (candidate, score or -1 for one still in progress).
    void seed(const std::vector<std::pair<std::string, int>>& attempts)
    {
        Database connection{DbKind::Sqlite};
        ASSERT_TRUE(connection.open(AttemptStore::fileOptions(file(AttemptStore::fileName).string())));
        AttemptStore store(connection);
        ASSERT_TRUE(store.prepare());
        for (const auto& [candidate, score] : attempts) {
            AttemptStart start{.candidateId = candidate, .seatNumber = "7", .secondsLeft = 3000, .paperDuration = 3600};
            start.entries.push_back({.number = 1, .questionKey = "1", .title = "t", .answer = "A", .chosen = "A"});
            const std::int64_t id = store.begin(start);
            ASSERT_GT(id, 0);
            if (score >= 0) {
                ASSERT_TRUE(store.recordHandIn(id, score, 1200, AttemptStore::now()));
            }
        }
    }

    // Opens the history from the start window with the number typed there and
    // runs `inside` while it is open.
    void openFromStart(const std::string& candidateId, const std::function<void()>& inside)
    {
        startApp();
        GuiDriver::erase("start", "身份证编辑框");
        GuiDriver::type("start", "身份证编辑框", candidateId);
        bool opened = false;
        driver.setModalHook([&](const std::string& window) {
            opened = window == history;
            if (opened)
                inside();
        });
        ASSERT_TRUE(GuiDriver::click("start", "历史按钮"));
        EXPECT_TRUE(opened);
    }

    static std::string cell(int row, int column) { return Gui::gridText(history, HistoryWindow::grid, row, column); }
    static int rows() { return Gui::gridRowCount(history, HistoryWindow::grid) - 1; }
};

TEST_F(HistoryTest, CandidateSeesOwnAttemptsAdministratorFiltersEveryone)
{
    seed({{"110", 80}, {"220", 55}, {"110", -1}, {"110", 91}});
    openFromStart("110", [] {
        EXPECT_FALSE(Gui::isVisible(history, HistoryWindow::filterBox));
        ASSERT_EQ(rows(), 3);
        EXPECT_EQ(cell(1, 7), "80");
        EXPECT_EQ(cell(2, 7), "");
        EXPECT_EQ(cell(2, 9), platform::utf8ToGbk("进行中"));
        EXPECT_EQ(cell(3, 9), platform::utf8ToGbk("已交卷"));
        EXPECT_EQ(cell(3, 8), "0:40:00");
        EXPECT_EQ(cell(1, 4), "1");
        // The chart is on show from the start.
        const std::string page = Gui::htmlFile(history, HistoryWindow::view);
        EXPECT_NE(page.find("chart.htm"), std::string::npos);
    });

    app.reset();
    Gui::closeAllWindows();
    openFromStart(ExamWindow::accessCode, [] {
        EXPECT_TRUE(Gui::isVisible(history, HistoryWindow::filterBox));
        EXPECT_EQ(rows(), 4);
        GuiDriver::type(history, HistoryWindow::filterBox, "220");
        ASSERT_TRUE(GuiDriver::click(history, "筛选按钮"));
        ASSERT_EQ(rows(), 1);
        EXPECT_EQ(cell(1, 1), "220");
        EXPECT_EQ(cell(1, 7), "55");
    });
}

TEST_F(HistoryTest, ChartDrawsHandedInAttemptsOnly)
{
    std::vector<AttemptSummary> attempts(3);
    attempts[0] = {.startedAt = "2026-01-01 09:00:00", .state = AttemptState::HandedIn, .score = 40};
    attempts[1] = {.startedAt = "2026-01-02 09:00:00", .state = AttemptState::Abandoned};
    attempts[2] = {.startedAt = "2026-01-03 09:00:00", .state = AttemptState::HandedIn, .score = 75};
    const auto points = ScoreChart::points(attempts);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1], std::make_pair(std::string("2026-01-03 09:00:00"), 75));
    const std::string picture = file("c.png").string();
    ASSERT_TRUE(ScoreChart::write(attempts, picture, file("c.htm").string(), 400, 300));
    EXPECT_GT(std::filesystem::file_size(picture), 1000u);
    std::string page;
    ASSERT_TRUE(platform::FileSystem::readFile(file("c.htm").string(), page));
    EXPECT_EQ(page, "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                    "</head><body><img src=\"c.png\"></body></html>");
    EXPECT_FALSE(ScoreChart::write(attempts, file("none/c.png").string(), file("d.htm").string(), 400, 300));
    EXPECT_FALSE(std::filesystem::exists(file("d.htm")));
}

TEST_F(HistoryTest, OldReportIsTheHandInReportByteForByteAndTheListExports)
{
    enterExam(gbk("身份110"));
    state().paper.entry(3).title = gbk("含 <b> & 引号'的题目");
    for (int k = 1; k <= 6; ++k) {
        ASSERT_TRUE(pressCell(k));
        ASSERT_TRUE(click(k % 2 == 0 ? "A" : "C"));
    }
    EXPECT_FALSE(visible("历史按钮"));
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    std::string handedIn;
    ASSERT_TRUE(platform::FileSystem::readFile(file("temp.htm").string(), handedIn));
    ASSERT_TRUE(visible("历史按钮"));

    std::string replayed;
    driver.setModalHook([&](const std::string& window) {
        ASSERT_EQ(window, history);
        ASSERT_EQ(rows(), 1);
        // Nothing chosen yet: the button says so.
        driver.clearMessageBoxes();
        GuiDriver::click(history, "答卷按钮");
        ASSERT_EQ(driver.messageBoxes().size(), 1u);
        ASSERT_TRUE(GuiDriver::clickGridCell(history, HistoryWindow::grid, 1, 0));
        ASSERT_TRUE(GuiDriver::click(history, "答卷按钮"));
        ASSERT_TRUE(platform::FileSystem::readFile(Gui::htmlFile(history, HistoryWindow::view), replayed));

        driver.clearMessageBoxes();
        ASSERT_TRUE(GuiDriver::click(history, "导出CSV按钮"));
        ASSERT_TRUE(GuiDriver::click(history, "导出XLS按钮"));
        ASSERT_EQ(driver.messageBoxes().size(), 2u);
        EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
        EXPECT_EQ(driver.messageBoxes()[1].caption, gbk("提示"));
    });
    ASSERT_TRUE(click("历史按钮"));
    EXPECT_EQ(replayed, handedIn);

    std::string csv;
    ASSERT_TRUE(platform::FileSystem::readFile(folder + "/" + gbk("历史成绩.csv"), csv));
    // The program's CSV export writes the records alone: one line for the one attempt.
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1);
    EXPECT_NE(csv.find(gbk("身份110") + " , 15 , " + gbk("考试") + " , 40 , 6 , 0 , "), std::string::npos);
    EXPECT_NE(csv.find(gbk("已交卷")), std::string::npos);
    EXPECT_GT(std::filesystem::file_size(file("历史成绩.xls")), 0u);
}

} // namespace
