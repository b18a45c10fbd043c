#include "app/AnswerReport.h"
#include "app/AppTestSupport.h"
#include "app/AttemptBridge.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"

#include <sys/stat.h>
#include <unistd.h>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

class ResumeTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(30));
    }

    void TearDown() override
    {
        if (immutable)
            std::system(("chattr -i '" + file(AttemptStore::fileName).string() + "' 2>/dev/null").c_str());
        AppTest::TearDown();
    }

    // File modes do not stop the superuser; the immutable attribute does.
    bool makeResultsReadOnly()
    {
        const std::string path = file(AttemptStore::fileName).string();
        ::chmod(path.c_str(), 0400);
        if (::access(path.c_str(), W_OK) != 0)
            return true;
        immutable = std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) == 0;
        return immutable;
    }

    void answer(int k, const char* letter)
    {
        ASSERT_TRUE(pressCell(k));
        ASSERT_TRUE(click(letter));
    }

    void restart(MessageBoxResult choice)
    {
        app.reset();
        Gui::closeAllWindows();
        driver.clearMessageBoxes();
        driver.answerNext(choice);
        enterExam(gbk("身份110"));
    }

    std::vector<std::string> paperKeys()
    {
        std::vector<std::string> keys;
        for (int k = 1; k <= Paper::size; ++k)
            keys.push_back(state().paper.entry(k).id);
        return keys;
    }

    std::vector<AttemptSummary> stored()
    {
        Database connection{DbKind::Sqlite};
        EXPECT_TRUE(connection.open(AttemptStore::fileOptions(file(AttemptStore::fileName).string())));
        AttemptStore store(connection);
        std::vector<AttemptSummary> rows;
        EXPECT_TRUE(store.list("", rows));
        return rows;
    }

    bool immutable = false;
};

TEST_F(ResumeTest, YesRestoresPaperAnswersColoursQuestionAndClock)
{
    enterExam(gbk("身份110"));
    const std::vector<std::string> keys = paperKeys();
    const std::string correct = state().paper.entry(2).answer;
    const std::string wrong = state().paper.entry(5).answer == "A" ? "B" : "A";
    answer(2, correct.c_str());
    answer(5, wrong.c_str());
    ASSERT_TRUE(pressCell(7));
    for (int i = 0; i < 8; ++i)
        GuiDriver::fireTimer("exam", ExamWindow::clockTimerId);
    const int left = AttemptBridge::secondsLeft(state());
    const std::string clockText = text("时间");
    // Closing the window before the hand-in keeps the attempt in progress.
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));

    restart(MessageBoxResult::Yes);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].buttons, platform::MessageBoxButtons::YesNo);
    EXPECT_NE(driver.messageBoxes()[0].text.find(gbk("已答 2 题")), std::string::npos);
    EXPECT_NE(driver.messageBoxes()[0].text.find(clockText), std::string::npos);

    EXPECT_EQ(paperKeys(), keys);
    EXPECT_EQ(state().paper.entry(2).chosen, correct);
    EXPECT_EQ(state().paper.entry(5).chosen, wrong);
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(2)), 0x00FF00u);
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(5)), 0xFF0000u);
    EXPECT_FALSE(Gui::backgroundColour("exam", ExamWindow::cellName(3)));
    EXPECT_EQ(state().currentQuestion, 7);
    EXPECT_EQ(text("id标签"), "7");
    EXPECT_EQ(border(7), platform::Border::Sunken);
    EXPECT_EQ(AttemptBridge::secondsLeft(state()), left);
    EXPECT_EQ(text("时间"), clockText);

    // The record goes on where it was: one attempt, now handed in with its score.
    answer(9, state().paper.entry(9).answer.c_str());
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    const std::vector<AttemptSummary> rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].state, AttemptState::HandedIn);
    EXPECT_EQ(rows[0].score, AnswerReport::score(state().paper));
    EXPECT_EQ(rows[0].score, 2);
    EXPECT_EQ(rows[0].answered, 3);
}

TEST_F(ResumeTest, NoAbandonsTheOldAttemptAndDrawsANewPaper)
{
    enterExam(gbk("身份110"));
    answer(1, "A");
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));

    restart(MessageBoxResult::No);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    for (int k = 1; k <= Paper::size; ++k)
        EXPECT_EQ(state().paper.entry(k).chosen, "");
    const std::vector<AttemptSummary> rows = stored();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].state, AttemptState::Abandoned);
    EXPECT_EQ(rows[1].state, AttemptState::InProgress);
    EXPECT_EQ(rows[1].answered, 0);

    // Another identity-card number is offered nothing.
    app.reset();
    Gui::closeAllWindows();
    driver.clearMessageBoxes();
    enterExam(gbk("身份999"));
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(ResumeTest, CorrectionsAndFlagsAreKeptWithTheAttempt)
{
    enterExam(gbk("身份110"));
    state().paper.entry(4).title = gbk("改正后的题目");
    state().paper.entry(4).flagged = true;
    ASSERT_TRUE(pressCell(4));
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));

    restart(MessageBoxResult::Yes);
    EXPECT_EQ(state().paper.entry(4).title, gbk("改正后的题目"));
    EXPECT_TRUE(state().paper.entry(4).flagged);
    EXPECT_EQ(stored()[0].flagged, 1);
}

TEST_F(ResumeTest, AKillAfterTheFirstTickKeepsAndOffersTheTimeReallyLeft)
{
    enterExam(gbk("身份110"));
    // The first tick only primes the clock's seconds; an hour less one second is left.
    GuiDriver::fireTimer("exam", ExamWindow::clockTimerId);
    EXPECT_EQ(stored()[0].secondsLeft, 3599);
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));

    restart(MessageBoxResult::Yes);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_NE(driver.messageBoxes()[0].text.find(gbk("剩余时间 0:59:59")), std::string::npos);
    EXPECT_EQ(text("时间"), "0:59:59");
    EXPECT_EQ(Gui::accessibleName("exam", "时间"), gbk("剩余时间 0:59:59"));
    GuiDriver::fireTimer("exam", ExamWindow::clockTimerId);
    EXPECT_EQ(text("时间"), "0:59:58");
}

TEST_F(ResumeTest, ResumingAtAnotherSeatRecordsThatSeat)
{
    enterExam(gbk("身份110"));
    const std::string firstSeat = stored()[0].seatNumber;
    ASSERT_NE(firstSeat, "27");
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));

    app.reset();
    Gui::closeAllWindows();
    driver.answerNext(MessageBoxResult::Yes);
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", gbk("身份110"));
    GuiDriver::erase("start", "座位号编辑框");
    GuiDriver::type("start", "座位号编辑框", "27");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_TRUE(Gui::isOpen("exam"));
    EXPECT_EQ(text("透明标签2"), "27");
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0].seatNumber, "27");
}

TEST_F(ResumeTest, AnUnwritableRecordIsToldOfBeforeTheOfferAndOnlyThen)
{
    enterExam(gbk("身份110"));
    answer(3, "A");
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));
    app.reset();
    Gui::closeAllWindows();
    if (!makeResultsReadOnly())
        GTEST_SKIP() << "no way to make a file read-only here";

    driver.answerNext(MessageBoxResult::Ok);
    restart(MessageBoxResult::Yes);
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("信息"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, platform::MessageBoxIcon::Error);
    EXPECT_EQ(driver.messageBoxes()[1].buttons, platform::MessageBoxButtons::YesNo);
    // The answers read back still come back; nothing more is tried or told.
    EXPECT_EQ(state().paper.entry(3).chosen, "A");
    answer(4, "B");
    GuiDriver::fireTimer("exam", ExamWindow::clockTimerId);
    EXPECT_EQ(driver.messageBoxes().size(), 2u);
}

} // namespace
