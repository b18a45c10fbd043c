#include "app/AnswerReport.h"
#include "app/AppTestSupport.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

TEST_F(AppTest, MultipleAnswersAreKeptResumedAndMarkedAsSets)
{
    std::vector<StoredQuestion> bank = plainQuestions(30);
    for (StoredQuestion& question : bank)
        question.answer = "AC";
    makeBank(bank);
    enterExam(gbk("身份120"));
    ASSERT_TRUE(pressCell(2));
    ASSERT_TRUE(click("多选C"));
    ASSERT_TRUE(click("多选A"));
    ASSERT_TRUE(pressCell(5));
    ASSERT_TRUE(click("多选B"));
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));

    app.reset();
    Gui::closeAllWindows();
    driver.answerNext(MessageBoxResult::Yes);
    enterExam(gbk("身份120"));
    EXPECT_EQ(state().paper.entry(2).chosen, "AC");
    EXPECT_EQ(state().paper.entry(5).chosen, "B");
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(2)), 0x00FF00u);
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(5)), 0xFF0000u);
    EXPECT_EQ(state().currentQuestion, 5);
    EXPECT_TRUE(Gui::checked("exam", "多选B"));
    EXPECT_FALSE(Gui::checked("exam", "多选A"));

    ASSERT_TRUE(click("多选B"));
    ASSERT_TRUE(click("多选A"));
    ASSERT_TRUE(click("多选C"));
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_EQ(text("透明标签12"), AnswerReport::scoreText(2));

    Database connection{DbKind::Sqlite};
    ASSERT_TRUE(connection.open(AttemptStore::fileOptions(file(AttemptStore::fileName).string())));
    AttemptStore store(connection);
    std::vector<AttemptSummary> rows;
    ASSERT_TRUE(store.list("", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].score, 2);
}
