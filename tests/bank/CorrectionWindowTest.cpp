#include "bank/CorrectionWindow.h"

#include "app/AnswerReport.h"
#include "app/ExamWindow.h"
#include "app/RoomServices.h"
#include "bank/BankTestSupport.h"
#include "exam/AppState.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"
#include "questions/QuestionRecord.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <filesystem>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

constexpr char exam[] = "exam";
constexpr char correction[] = "correction";
constexpr char titleBox[] = "标题编辑框";
constexpr char contentBox[] = "内容编辑框";
constexpr const char* answerButtons[] = {"A", "B", "C", "D"};

std::string checkedAnswer()
{
    std::string letters;
    for (const char* button : answerButtons) {
        if (Gui::checked(correction, button))
            letters += button;
    }
    return letters;
}

// The exam window on a paper drawn from a test bank; its correction button
// opens the correction window.
class CorrectionWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.runDirectory = std::filesystem::path(db.path()).parent_path().string();
        state.candidateId = "110101199001011234";
        ids.push_back(db.insert(GBK("中国的 首都是( )"), GBK("北京|上海|广州|深圳|"), "A", "4"));
        ids.push_back(db.insert(GBK("一加一等于( )"), GBK("一|二|"), "A", "2"));
        ids.push_back(db.insert("It's", "a|b|c|", "C", "3"));
        // Drawn as the start window draws: cleaned copies; entry 4 onwards stays empty.
        int k = 1;
        for (const StoredQuestion& q : db.rows()) {
            state.paper.entry(k++) = {QuestionRecord::cleanDrawnText(q.title),
                                      QuestionRecord::cleanDrawnText(q.options),
                                      QuestionRecord::cleanDrawnAnswer(q.answer),
                                      "",
                                      q.id,
                                      q.did};
        }
        ASSERT_TRUE(examWindow.open());
    }
    void TearDown() override
    {
        Gui::closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Opens the correction window over question k and runs `inside` while it is up.
    void correctQuestion(int k, const std::function<void()>& inside)
    {
        while (state.currentQuestion < k)
            GuiDriver::click(exam, "下一题");
        bool ran = false;
        driver.setModalHook([&](const std::string& window) {
            ran = true;
            EXPECT_EQ(window, correction);
            inside();
        });
        ASSERT_TRUE(GuiDriver::click(exam, "纠错按钮"));
        EXPECT_TRUE(ran);
        EXPECT_FALSE(Gui::isOpen(correction));
        driver.setModalHook(nullptr);
    }

    void expectOnlyFailure(const std::string& text)
    {
        ASSERT_EQ(driver.messageBoxes().size(), 1u);
        EXPECT_EQ(platform::gbkToUtf8(driver.messageBoxes()[0].text), platform::gbkToUtf8(text));
        EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("信息"));
        EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Error);
        driver.clearMessageBoxes();
    }

    TestBank db;
    GuiDriver driver;
    AppState state;
    RoomServices room;
    ExamWindow examWindow{state, room};
    std::vector<std::string> ids;
};

TEST_F(CorrectionWindowTest, OpensWithThePapersCopyOfTheQuestionOnScreenWhileTheExamWaitsAndTicks)
{
    const std::string clockBefore = Gui::text(exam, "时间");
    correctQuestion(1, [&] {
        EXPECT_EQ(Gui::text(correction, titleBox), GBK("中国的首都是()"));
        EXPECT_EQ(Gui::text(correction, contentBox), GBK("北京\r\n上海\r\n广州\r\n深圳\r\n"));
        EXPECT_EQ(checkedAnswer(), "A");
        EXPECT_FALSE(Gui::takesInput(exam));
        EXPECT_FALSE(GuiDriver::click(exam, "下一题"));
        EXPECT_TRUE(GuiDriver::fireTimer(exam, ExamWindow::clockTimerId));
        EXPECT_TRUE(GuiDriver::fireTimer(exam, ExamWindow::clockTimerId));
        EXPECT_NE(Gui::text(exam, "时间"), clockBefore);
        GuiDriver::clickCloseBox(correction);
    });
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_TRUE(Gui::takesInput(exam));
    EXPECT_EQ(db.row(ids[0]).title, GBK("中国的 首都是( )"));
    EXPECT_EQ(state.paper.entry(1).title, GBK("中国的首都是()"));
}

TEST_F(CorrectionWindowTest, CorrectingUnchangedStoresTheOptionsWithTheirFinalBarAndKeepsTheCount)
{
    correctQuestion(1, [] { GuiDriver::click(correction, "修改"); });
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(db.row(ids[0]), (StoredQuestion{ids[0], GBK("中国的首都是()"), GBK("北京|上海|广州|深圳|"), "A", "4"}));
    EXPECT_EQ(db.row(ids[1]), (StoredQuestion{ids[1], GBK("一加一等于( )"), GBK("一|二|"), "A", "2"}));
}

TEST_F(CorrectionWindowTest, ACorrectedAnswerKeepsTheChoiceAndTheHandInMarksAgainstIt)
{
    GuiDriver::click(exam, "下一题");
    GuiDriver::click(exam, "B");
    EXPECT_EQ(Gui::backgroundColour(exam, ExamWindow::cellName(2)), 0xFF0000u);
    GuiDriver::click(exam, "显示正确答案");
    ASSERT_EQ(Gui::text(exam, "透明标签7"), "A");

    correctQuestion(2, [] {
        EXPECT_EQ(checkedAnswer(), "A");
        Gui::setText(correction, titleBox, GBK("一加一等于几"));
        GuiDriver::click(correction, "B");
        GuiDriver::click(correction, "修改");
    });
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(db.row(ids[1]), (StoredQuestion{ids[1], GBK("一加一等于几"), GBK("一|二|"), "B", "2"}));
    const PaperEntry& entry = state.paper.entry(2);
    EXPECT_EQ(entry.answer, "B");
    EXPECT_EQ(entry.chosen, "B");
    EXPECT_EQ(entry.did, "2");
    EXPECT_EQ(state.currentAnswer, "B");
    EXPECT_EQ(Gui::text(exam, "透明标签7"), "B");
    EXPECT_EQ(Gui::text(exam, "Titlexb"), GBK("一加一等于几"));
    EXPECT_TRUE(Gui::checked(exam, "B"));
    // The cell keeps its colour until the next choice.
    EXPECT_EQ(Gui::backgroundColour(exam, ExamWindow::cellName(2)), 0xFF0000u);

    driver.answerNext(MessageBoxResult::Yes);
    GuiDriver::click(exam, "交卷");
    EXPECT_EQ(Gui::text(exam, "透明标签12"), AnswerReport::scoreText(1));
}

TEST_F(CorrectionWindowTest, WithTheSwitchOffTheAnswerLabelStays)
{
    correctQuestion(1, [] {
        GuiDriver::click(correction, "D");
        GuiDriver::click(correction, "修改");
    });
    EXPECT_EQ(Gui::text(exam, "透明标签7"), GBK("关"));
    EXPECT_EQ(state.paper.entry(1).answer, "D");
}

TEST_F(CorrectionWindowTest, NoAnswerCheckedStoresAnEmptyAnswerThatNoChoiceMatches)
{
    GuiDriver::click(exam, "A");
    correctQuestion(1, [] {
        Gui::setChecked(correction, "A", false);
        GuiDriver::click(correction, "修改");
    });
    EXPECT_EQ(db.row(ids[0]).answer, "");
    EXPECT_EQ(state.paper.entry(1).answer, "");
    EXPECT_EQ(state.paper.entry(1).chosen, "A");
    EXPECT_EQ(AnswerReport::score(state.paper), 0);
}

TEST_F(CorrectionWindowTest, TitleAndOptionsAreStoredAndShownExactlyAsTyped)
{
    const std::string title = GBK(" 新\r\n标题 ") + "\xA1\xA1";
    correctQuestion(1, [&] {
        Gui::setText(correction, titleBox, title);
        Gui::setText(correction, contentBox, GBK("甲 一\r\n乙\r\n\r\n"));
        GuiDriver::click(correction, "修改");
    });
    EXPECT_EQ(db.row(ids[0]), (StoredQuestion{ids[0], title, GBK("甲 一|乙||"), "A", "4"}));
    EXPECT_EQ(state.paper.entry(1).title, title);
    EXPECT_EQ(state.paper.entry(1).options, GBK("甲 一|乙||"));
    EXPECT_EQ(Gui::text(exam, "A"), GBK(" 甲 一"));
    EXPECT_EQ(Gui::text(exam, "C"), " ");
}

TEST_F(CorrectionWindowTest, TextsWithQuotesChangeOnlyTheirOwnRow)
{
    const auto before = db.rows();
    const std::string crafted = "x', Answer='' WHERE 1=1; --";
    correctQuestion(3, [&] {
        EXPECT_EQ(Gui::text(correction, titleBox), "It's");
        Gui::setText(correction, titleBox, crafted);
        Gui::setText(correction, contentBox, "it's\r\n''\r\n'");
        GuiDriver::click(correction, "修改");
    });
    EXPECT_TRUE(driver.messageBoxes().empty());
    const auto rows = db.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], before[0]);
    EXPECT_EQ(rows[1], before[1]);
    EXPECT_EQ(rows[2], (StoredQuestion{ids[2], crafted, "it's|''|'", "C", "3"}));
    EXPECT_EQ(state.paper.entry(3).title, crafted);
}

TEST_F(CorrectionWindowTest, AnEmptyIdBlocksFillingAndCorrecting)
{
    const auto before = db.rows();
    correctQuestion(4, [&] {
        ASSERT_EQ(driver.messageBoxes().size(), 1u);
        EXPECT_EQ(driver.messageBoxes()[0].text, GBK("id传送错误【  】"));
        EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("信息"));
        EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Error);
        driver.clearMessageBoxes();
        EXPECT_EQ(Gui::text(correction, titleBox), "");
        EXPECT_EQ(Gui::text(correction, contentBox), "");
        Gui::setText(correction, titleBox, "t");
        GuiDriver::click(correction, "A");
        GuiDriver::click(correction, "修改");
        expectOnlyFailure(GBK("id传送错误【  】"));
        EXPECT_TRUE(Gui::isOpen(correction));
    });
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(state.paper.entry(4).title, "");
}

TEST_F(CorrectionWindowTest, ABadKeyOrARefusedStatementChangesNothing)
{
    const auto before = db.rows();
    const PaperEntry entryBefore = state.paper.entry(1);
    const std::string& failure = GBK("亲、抱歉，修改失败失败\r\n导致错误原因可能是字符错误");

    state.paper.entry(1).id = "1) OR (1=1";
    state.currentId = state.paper.entry(1).id;
    correctQuestion(1, [&] {
        GuiDriver::click(correction, "B");
        GuiDriver::click(correction, "修改");
        expectOnlyFailure(failure);
        EXPECT_TRUE(Gui::isOpen(correction));
    });
    EXPECT_EQ(db.rows(), before);
    state.paper.entry(1).id = entryBefore.id;
    state.currentId = entryBefore.id;

    db.run("CREATE TRIGGER refuse BEFORE UPDATE ON KS_SJTK BEGIN SELECT RAISE(ABORT, 'refused'); END");
    correctQuestion(1, [&] {
        Gui::setText(correction, titleBox, "new");
        GuiDriver::click(correction, "B");
        GuiDriver::click(correction, "修改");
        expectOnlyFailure(failure);
        EXPECT_EQ(Gui::text(correction, titleBox), "new");
        EXPECT_EQ(checkedAnswer(), "B");
    });
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(state.paper.entry(1).title, entryBefore.title);
    EXPECT_EQ(state.paper.entry(1).answer, entryBefore.answer);
}

TEST_F(CorrectionWindowTest, AQuestionDeletedMeanwhileFailsAndLeavesThePaperAndTheScreen)
{
    GuiDriver::click(exam, "显示正确答案");
    const PaperEntry entryBefore = state.paper.entry(1);
    db.run("DELETE FROM KS_SJTK WHERE id = " + ids[0]);
    const auto before = db.rows();
    correctQuestion(1, [&] {
        Gui::setText(correction, titleBox, "new");
        GuiDriver::click(correction, "B");
        GuiDriver::click(correction, "修改");
        expectOnlyFailure(GBK("亲、抱歉，修改失败失败\r\n导致错误原因可能是字符错误"));
        EXPECT_TRUE(Gui::isOpen(correction));
        GuiDriver::clickCloseBox(correction);
    });
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(state.paper.entry(1).title, entryBefore.title);
    EXPECT_EQ(state.paper.entry(1).options, entryBefore.options);
    EXPECT_EQ(state.paper.entry(1).answer, entryBefore.answer);
    EXPECT_EQ(state.currentAnswer, "A");
    EXPECT_EQ(Gui::text(exam, "Titlexb"), entryBefore.title);
    EXPECT_EQ(Gui::text(exam, "透明标签7"), "A");
}

} // namespace

TEST_F(CorrectionWindowTest, TheCategoryShowsOnlyInABankThatHasCategories)
{
    correctQuestion(1, [] {
        EXPECT_FALSE(Gui::isVisible(correction, "分类标签"));
        GuiDriver::clickCloseBox(correction);
    });
    db.run("CREATE TABLE KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT)");
    db.run("INSERT INTO KS_TMFL VALUES (" + ids[1] + ", '计算机基础')");
    correctQuestion(1, [] {
        EXPECT_TRUE(Gui::isVisible(correction, "分类标签"));
        EXPECT_EQ(Gui::text(correction, "分类标签"), GBK("分类：未分类"));
        GuiDriver::clickCloseBox(correction);
    });
    correctQuestion(2, [] {
        EXPECT_EQ(Gui::text(correction, "分类标签"), GBK("分类：计算机基础"));
        GuiDriver::clickCloseBox(correction);
    });
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(CorrectionWindowTest, ATypedMultipleKeyIsCheckedAgainstTheOptionCountThenStoredAndShownAgain)
{
    correctQuestion(3, [&] {
        EXPECT_EQ(Gui::text(correction, "多选答案编辑框"), "");
        Gui::setText(correction, "多选答案编辑框", "AD");
        GuiDriver::click(correction, "修改");
        expectOnlyFailure(GBK("正确答案只能是 ABC 中的字母（大写）。"));
        EXPECT_EQ(db.row(ids[2]).answer, "C");
        Gui::setText(correction, "多选答案编辑框", "C A");
        GuiDriver::click(correction, "修改");
    });
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(db.row(ids[2]).answer, "AC");
    EXPECT_EQ(state.paper.entry(3).answer, "AC");
    correctQuestion(3, [] {
        EXPECT_EQ(Gui::text(correction, "多选答案编辑框"), "AC");
        EXPECT_EQ(checkedAnswer(), "");
        GuiDriver::clickCloseBox(correction);
    });
}
