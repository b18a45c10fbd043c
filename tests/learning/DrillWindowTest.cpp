#include "app/AppTestSupport.h"
#include "app/AttemptBridge.h"
#include "app/DrillBridge.h"
#include "app/DrillCategoryChooser.h"
#include "attempts/AttemptStore.h"
#include "attempts/ScoreChart.h"
#include "db/Database.h"
#include "questions/QuestionBank.h"

#include <functional>
#include <set>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

class DrillWindowTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(30));
    }

    void restart()
    {
        app.reset();
        Gui::closeAllWindows();
        driver.clearMessageBoxes();
    }

    void clickDrill(const std::string& candidateId)
    {
        startApp();
        ASSERT_TRUE(GuiDriver::erase("start", "身份证编辑框"));
        ASSERT_TRUE(GuiDriver::type("start", "身份证编辑框", candidateId));
        ASSERT_TRUE(GuiDriver::click("start", "错题按钮"));
    }

    void answer(int k, const std::string& letter)
    {
        ASSERT_TRUE(pressCell(k));
        ASSERT_TRUE(click(letter));
    }

    std::vector<AttemptSummary> stored(std::vector<AttemptEntry>* lastEntries = nullptr)
    {
        Database connection{DbKind::Sqlite};
        EXPECT_TRUE(connection.open(AttemptStore::fileOptions(file(AttemptStore::fileName).string())));
        AttemptStore store(connection);
        std::vector<AttemptSummary> rows;
        EXPECT_TRUE(store.list("", rows));
        if (lastEntries != nullptr && !rows.empty())
            *lastEntries = store.load(rows.back().id)->entries;
        return rows;
    }
};

TEST_F(DrillWindowTest, NothingToPractiseSaysSoAndKeepsTheStartWindow)
{
    clickDrill(gbk("新考生"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, DrillBridge::nothingDueText());
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, platform::MessageBoxIcon::Information);
    EXPECT_TRUE(Gui::isOpen("start"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    for (const char* button : {"按钮1", "错题按钮", "历史按钮"})
        EXPECT_TRUE(Gui::isEnabled("start", button)) << button;
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    EXPECT_TRUE(Gui::isOpen("exam"));
    EXPECT_FALSE(state().drill);
}

TEST_F(DrillWindowTest, DrillAsksForTheMissingEntryFirstLikeTheEnterButton)
{
    clickDrill("");
    GuiDriver::erase("start", "座位号编辑框");
    ASSERT_TRUE(GuiDriver::click("start", "错题按钮"));
    ASSERT_TRUE(GuiDriver::type("start", "身份证编辑框", "1"));
    ASSERT_TRUE(GuiDriver::click("start", "错题按钮"));
    ASSERT_EQ(driver.messageBoxes().size(), 3u);
    for (const int i : {0, 1})
        EXPECT_EQ(driver.messageBoxes()[i].text, gbk("请输入身份证"));
    EXPECT_EQ(driver.messageBoxes()[2].text, gbk("请输入座位号"));
    for (const auto& box : driver.messageBoxes()) {
        EXPECT_EQ(box.caption, gbk("岚溪提示"));
        EXPECT_EQ(box.icon, platform::MessageBoxIcon::Information);
    }
    EXPECT_TRUE(Gui::isOpen("start"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    EXPECT_TRUE(state().candidateId.empty());
    for (const char* button : {"按钮1", "错题按钮", "历史按钮"})
        EXPECT_TRUE(Gui::isEnabled("start", button)) << button;
}

TEST_F(DrillWindowTest, DrillOfTheMistakesRunsInTheExamWindowResumesAsADrillAndIsHandedIn)
{
    const std::string candidate = gbk("身份7");
    enterExam(candidate);
    const std::string rightKey = state().paper.entry(2).id;
    answer(1, state().paper.entry(1).answer == "A" ? "B" : "A");
    answer(2, state().paper.entry(2).answer);
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));

    restart();
    clickDrill(candidate);
    ASSERT_TRUE(Gui::isOpen("exam"));
    ASSERT_FALSE(Gui::isOpen("start"));
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_TRUE(state().drill);
    ASSERT_EQ(state().paperLength, 29);
    std::set<std::string> keys;
    for (int k = 1; k <= 29; ++k)
        keys.insert(state().paper.entry(k).id);
    EXPECT_EQ(keys.size(), 29u);
    EXPECT_EQ(keys.count(rightKey), 0u);
    EXPECT_EQ(keys.count(""), 0u);
    EXPECT_TRUE(state().paper.entry(30).id.empty());
    EXPECT_NE(Gui::windowCaption("exam").find(gbk("错题练习")), std::string::npos);
    EXPECT_EQ(text("透明标签4"), gbk("错题29道、每题1分"));
    EXPECT_TRUE(visible(ExamWindow::cellName(29)));
    EXPECT_FALSE(visible(ExamWindow::cellName(30)));

    // Navigation ends at the drill's last question.
    ASSERT_TRUE(pressCell(29));
    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(state().currentQuestion, 29);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("亲！已经是最后一题了，是不是搞错了啊。"));
    exam().jumpTo(30);
    EXPECT_EQ(state().currentQuestion, 29);

    // Left before the hand-in, the drill comes back as a drill.
    answer(3, state().paper.entry(3).answer);
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));
    restart();
    driver.answerNext(MessageBoxResult::Yes);
    enterExam(candidate);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_NE(driver.messageBoxes()[0].text.find(gbk("尚未交卷的错题练习")), std::string::npos);
    EXPECT_TRUE(state().drill);
    EXPECT_EQ(state().paperLength, 29);
    EXPECT_FALSE(visible(ExamWindow::cellName(30)));
    EXPECT_FALSE(state().paper.entry(3).chosen.empty());

    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   1   】 分"));
    std::ifstream in(file("temp.htm"), std::ios::binary);
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t rows = 0;
    for (std::size_t at = report.find(gbk("题目")); at != std::string::npos; at = report.find(gbk("题目"), at + 1))
        ++rows;
    EXPECT_EQ(rows, 29u);

    std::vector<AttemptEntry> entries;
    const std::vector<AttemptSummary> attempts = stored(&entries);
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_EQ(attempts[1].kind, "drill");
    EXPECT_EQ(attempts[1].state, AttemptState::HandedIn);
    EXPECT_EQ(attempts[1].score, 1);
    EXPECT_EQ(attempts[1].paperSize, 29);
    EXPECT_EQ(AttemptBridge::replayReport(entries), report);
    EXPECT_EQ(ScoreChart::points(attempts).size(), 1u);
}

class DrillCategoryTest : public DrillWindowTest {
protected:
    // The candidate hands in an exam of the whole bank unanswered; then
    // question k gets the category categoryOf(k), none when that is empty.
    void handInUnansweredAndCategorise(const std::function<const char*(int)>& categoryOf)
    {
        enterExam(candidate);
        driver.answerNext(MessageBoxResult::Yes);
        ASSERT_TRUE(click("交卷"));
        restart();
        Database bank{DbKind::Sqlite};
        ConnectOptions options;
        options.kind = DbKind::Sqlite;
        options.file = file("tk.db").string();
        ASSERT_TRUE(bank.open(options));
        ASSERT_TRUE(bank.execute(QuestionBank::createCategoryTableStatement(DbKind::Sqlite)));
        for (int key = 1; key <= 30; ++key)
            ASSERT_TRUE(bank.execute(QuestionBank::setCategoryStatement(std::to_string(key), gbk(categoryOf(key)))));
    }

    const std::string candidate = gbk("分类考生");
};

TEST_F(DrillCategoryTest, WithSeveralCategoriesDueTheCandidateChoosesOneOrCancels)
{
    handInUnansweredAndCategorise([](int key) { return key <= 10 ? "甲" : key <= 20 ? "乙" : ""; });

    std::vector<std::string> items;
    bool choose = false;
    driver.setModalHook([&](const std::string& window) {
        ASSERT_EQ(window, DrillCategoryChooser::windowId);
        items.clear();
        for (int i = 0; i < Gui::comboCount(window, "分类框"); ++i) {
            ASSERT_TRUE(Gui::setComboIndex(window, "分类框", i));
            items.push_back(Gui::text(window, "分类框"));
        }
        ASSERT_TRUE(GuiDriver::selectComboItem(window, "分类框", 2));
        ASSERT_TRUE(GuiDriver::click(window, choose ? "开始练习" : "取消"));
    });
    clickDrill(candidate);
    EXPECT_EQ(items, (std::vector<std::string>{gbk("全部错题（30题）"), gbk("甲（10题）"), gbk("乙（10题）"),
                                               gbk("未分类（10题）")}));
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_TRUE(Gui::isOpen("start"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    for (const char* button : {"按钮1", "错题按钮", "历史按钮"})
        EXPECT_TRUE(Gui::isEnabled("start", button)) << button;
    EXPECT_EQ(stored().size(), 1u);

    choose = true;
    ASSERT_TRUE(GuiDriver::click("start", "错题按钮"));
    ASSERT_TRUE(Gui::isOpen("exam"));
    ASSERT_TRUE(state().drill);
    ASSERT_EQ(state().paperLength, 10);
    for (int k = 1; k <= 10; ++k) {
        const int key = std::stoi(state().paper.entry(k).id);
        EXPECT_TRUE(key >= 11 && key <= 20) << key;
    }
    EXPECT_TRUE(Gui::windowCaption("exam").ends_with(gbk(" - 错题练习（乙）")));
    const std::vector<AttemptSummary> attempts = stored();
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_EQ(attempts[1].kind, "drill");
    EXPECT_EQ(attempts[1].paperSize, 10);
}

TEST_F(DrillCategoryTest, WithEveryDueQuestionInOneCategoryTheDrillStartsAsBefore)
{
    handInUnansweredAndCategorise([](int) { return "甲"; });
    clickDrill(candidate);
    EXPECT_TRUE(driver.modalWindows().empty());
    ASSERT_TRUE(Gui::isOpen("exam"));
    EXPECT_EQ(state().paperLength, 30);
    EXPECT_TRUE(Gui::windowCaption("exam").ends_with(gbk(" - 错题练习")));
}

} // namespace
