#include "app/ExamWindow.h"

#include "AppTestSupport.h"
#include "ExpectedReport.h"
#include "platform/FileSystem.h"

using platform::Border;
using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

constexpr platform::Rgb red = 0xFF0000, green = 0x00FF00, yellow = 0xFFFF00;
const char* const letters[] = {"A", "B", "C", "D"};

class ExamTest : public OpenExamTest {
protected:
    std::vector<std::string> captions() const { return {text("A"), text("B"), text("C"), text("D")}; }
    std::vector<bool> visibility() const { return {visible("A"), visible("B"), visible("C"), visible("D")}; }
    std::string checkedOption() const
    {
        std::string result;
        for (const char* letter : letters)
            result += Gui::checked("exam", letter) ? letter : "";
        return result;
    }
    std::string reportPath() const { return (std::filesystem::path(folder) / "temp.htm").string(); }

    static void answerNextBox(MessageBoxResult answer) { GuiDriver::installed()->answerNext(answer); }
};

} // namespace

TEST_F(ExamTest, GridHoldsOneHundredCellsCopiedFromTheTemplate)
{
    const platform::GuiRect cellTemplate = Gui::geometry("exam", "复制标签");
    EXPECT_FALSE(visible("复制标签"));
    for (int k = 1; k <= 100; ++k) {
        const std::string cell = ExamWindow::cellName(k);
        EXPECT_EQ(state().questionCells[static_cast<std::size_t>(k - 1)], cell);
        const platform::GuiRect rect = Gui::geometry("exam", cell);
        EXPECT_EQ(rect, (platform::GuiRect{cellTemplate.left + 31 * ((k - 1) % 25),
                                           cellTemplate.top + 31 * ((k - 1) / 25), 30, 30}))
            << k;
        EXPECT_TRUE(visible(cell));
        EXPECT_EQ(text(cell), std::to_string(k));
        EXPECT_EQ(Gui::tag("exam", cell), std::to_string(k));
        EXPECT_EQ(border(k), Border::Raised);
        EXPECT_EQ(Gui::backgroundColour("exam", cell), std::nullopt);
    }
    EXPECT_EQ(Gui::geometry("exam", ExamWindow::cellName(26)).top, cellTemplate.top + 31);
}

TEST_F(ExamTest, OpensOnQuestionOne)
{
    const PaperEntry& first = state().paper.entry(1);
    EXPECT_EQ(state().currentQuestion, 1);
    EXPECT_EQ(text("id标签"), "1");
    EXPECT_EQ(text("Titlexb"), first.title);
    EXPECT_EQ(text("透明标签11"), gbk("题库编号：【 ") + first.id + gbk(" 】"));
    EXPECT_EQ(text("透明标签7"), gbk("关"));
    EXPECT_EQ(text("透明标签6"), "");
    EXPECT_EQ(text("时间"), "");
    EXPECT_EQ(state().currentAnswer, first.answer);
    EXPECT_EQ(state().currentId, first.id);
    const std::string n = first.id;
    EXPECT_EQ(captions(), (std::vector<std::string>{" a" + n, " b" + n, " c" + n, " d" + n}));
    EXPECT_EQ(checkedOption(), "");
    EXPECT_FALSE(visible("题库管理按钮"));
}

TEST_F(ExamTest, OptionCountDecidesTheVisibleOptions)
{
    using V = std::vector<bool>;
    const std::map<std::string, V> cases = {
        {"2", V{true, true, false, false}}, {"3", V{true, true, true, false}}, {"4", V{true, true, true, true}},
        {"", V{true, true, true, true}},    {"5", V{true, true, true, true}},  {"x", V{true, true, true, true}},
    };
    for (const auto& [did, expected] : cases) {
        showEntry(5, {.title = "t", .options = "a|b|c|d|", .answer = "A", .id = "9", .did = did});
        EXPECT_EQ(visibility(), expected) << "did '" << did << "'";
        // Hidden options still get their captions.
        EXPECT_EQ(captions(), (std::vector<std::string>{" a", " b", " c", " d"})) << did;
    }
}

TEST_F(ExamTest, OptionsAreSplitAtEveryBar)
{
    using C = std::vector<std::string>;
    const std::vector<std::pair<std::string, C>> cases = {
        {"a|b|c|d|", C{" a", " b", " c", " d"}},
        {"a|b|c|d", C{" a", " b", " c", " d"}},
        {"a|b|||", C{" a", " b", " ", " "}},
        {"a|b|", C{" a", " b", "", ""}},
        {"a|b|c|", C{" a", " b", " c", ""}},
        {"a|b|c|d|e|", C{" a", " b", " c", " d"}},
        {"a", C{"", "", "", ""}},
        {"", C{"", "", "", ""}},
        {"x\r\ny|z", C{" xy", " z", "", ""}},
    };
    for (const auto& [options, expected] : cases) {
        // A question with more options shown before must not leave its captions behind.
        showEntry(3, {.options = "p|q|r|s|", .did = "4"});
        showEntry(4, {.options = options, .did = "4"});
        EXPECT_EQ(captions(), expected) << options;
    }
    EXPECT_EQ(visibility(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(ExamTest, AnsweringStoresTheLetterAndColoursTheCell)
{
    showEntry(7, {.title = "t", .options = "a|b|c|d|", .answer = "A", .id = "70", .did = "4"});
    const std::string cell = ExamWindow::cellName(7);

    ASSERT_TRUE(click("B"));
    EXPECT_EQ(state().paper.entry(7).chosen, "B");
    EXPECT_EQ(text("透明标签6"), "B");
    EXPECT_EQ(text("透明标签7"), gbk("关"));
    EXPECT_EQ(Gui::textColour("exam", cell), yellow);
    EXPECT_EQ(Gui::backgroundColour("exam", cell), red);

    ASSERT_TRUE(click("A"));
    EXPECT_EQ(state().paper.entry(7).chosen, "A");
    EXPECT_EQ(Gui::textColour("exam", cell), red);
    EXPECT_EQ(Gui::backgroundColour("exam", cell), green);

    ASSERT_TRUE(click("B"));
    EXPECT_EQ(state().paper.entry(7).chosen, "B");
    EXPECT_EQ(Gui::backgroundColour("exam", cell), red);

    // Other cells stay unanswered; borders do not change by answering.
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(8)), std::nullopt);
    EXPECT_EQ(Gui::textColour("exam", ExamWindow::cellName(8)), std::nullopt);
    EXPECT_EQ(border(7), Border::Sunken);

    // The choice survives navigation.
    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(checkedOption(), "");
    EXPECT_EQ(text("透明标签6"), "");
    ASSERT_TRUE(click("上一题"));
    EXPECT_EQ(checkedOption(), "B");
    EXPECT_EQ(text("透明标签6"), "B");
}

TEST_F(ExamTest, AnswersNeverMatchAnEmptyOrLowerCaseAnswer)
{
    showEntry(9, {.options = "", .answer = ""});
    ASSERT_TRUE(click("A"));
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(9)), red);
    showEntry(10, {.options = "a|b|", .answer = "a", .did = "2"});
    ASSERT_TRUE(click("A"));
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(10)), red);
    EXPECT_FALSE(exam().recordAnswer("C"));
    state().currentAnswer = "C";
    EXPECT_TRUE(exam().recordAnswer("C"));
}

TEST_F(ExamTest, GridPressAndNavigationMoveTheSunkenBorder)
{
    ASSERT_TRUE(pressCell(37));
    EXPECT_EQ(state().currentQuestion, 37);
    EXPECT_EQ(text("id标签"), "37");
    EXPECT_EQ(text("Titlexb"), state().paper.entry(37).title);
    EXPECT_EQ(border(37), Border::Sunken);
    EXPECT_EQ(sunkenCells(), 1);

    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(state().currentQuestion, 38);
    EXPECT_EQ(text("id标签"), "38");
    EXPECT_EQ(border(38), Border::Sunken);
    EXPECT_EQ(sunkenCells(), 1);

    ASSERT_TRUE(click("上一题"));
    ASSERT_TRUE(click("上一题"));
    EXPECT_EQ(state().currentQuestion, 36);
    EXPECT_EQ(border(36), Border::Sunken);
    EXPECT_EQ(sunkenCells(), 1);
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(ExamTest, PreviousOnTheFirstAndNextOnTheLastExplain)
{
    ASSERT_TRUE(pressCell(1));
    state().paper.entry(1).chosen = "C";
    ASSERT_TRUE(click("上一题"));
    EXPECT_EQ(state().currentQuestion, 1);
    EXPECT_EQ(text("id标签"), "1");
    EXPECT_EQ(sunkenCells(), 0);
    EXPECT_EQ(checkedOption(), "C");
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("亲！已经是第一题了，是不是搞错了啊。"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);

    driver.clearMessageBoxes();
    ASSERT_TRUE(pressCell(99));
    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(state().currentQuestion, 100);
    EXPECT_EQ(sunkenCells(), 1);
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(state().currentQuestion, 100);
    EXPECT_EQ(text("id标签"), "100");
    EXPECT_EQ(sunkenCells(), 0);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("亲！已经是最后一题了，是不是搞错了啊。"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
}

TEST_F(ExamTest, AnswerSwitchShowsTheCorrectAnswer)
{
    showEntry(2, {.options = "a|b|", .answer = "B", .did = "2"});
    showEntry(3, {.options = "a|b|", .answer = "A", .did = "2"});
    EXPECT_EQ(text("透明标签7"), gbk("关"));

    ASSERT_TRUE(click("显示正确答案"));
    EXPECT_EQ(text("透明标签7"), "A");
    ASSERT_TRUE(click("上一题"));
    EXPECT_EQ(text("透明标签7"), "B");
    ASSERT_TRUE(click("A"));
    EXPECT_EQ(text("透明标签7"), "B");

    ASSERT_TRUE(click("显示正确答案"));
    EXPECT_EQ(text("透明标签7"), "");
    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(text("透明标签7"), "");
    ASSERT_TRUE(click("B"));
    EXPECT_EQ(text("透明标签7"), gbk("关"));
    ASSERT_TRUE(click("上一题"));
    EXPECT_EQ(text("透明标签7"), gbk("关"));
}

TEST_F(ExamTest, FontButtonsSetFixedSizes)
{
    const std::vector<std::string> controls = {"A", "B", "C", "D", "Titlexb"};
    for (const char* button : {"按钮1", "按钮1"}) {
        ASSERT_TRUE(click(button));
        for (const std::string& control : controls)
            EXPECT_EQ(Gui::fontPointSize("exam", control), 14) << control;
    }
    for (const char* button : {"按钮2", "按钮2"}) {
        ASSERT_TRUE(click(button));
        for (const std::string& control : controls)
            EXPECT_EQ(Gui::fontPointSize("exam", control), 12) << control;
    }
}

TEST_F(ExamTest, ClockCountsDownByTheTickTable)
{
    EXPECT_TRUE(Gui::timerRunning("exam", 0));
    EXPECT_EQ(GuiDriver::timerInterval("exam", 0), 1000);
    const std::map<int, std::string> table = {{1, ""},           {2, "0:59:58"},    {60, "0:59:00"},
                                              {61, "0:58:59"},   {3055, "0:09:05"}, {3541, "0:00:59"},
                                              {3591, "0:00:09"}, {3599, "0:00:01"}, {3600, "0:00:00"}};
    for (int tick = 1; tick <= 3600; ++tick) {
        ASSERT_TRUE(GuiDriver::fireTimer("exam", 0)) << tick;
        if (auto row = table.find(tick); row != table.end()) {
            EXPECT_EQ(text("时间"), row->second) << tick;
        }
    }
    EXPECT_FALSE(Gui::timerRunning("exam", 0));
    EXPECT_FALSE(GuiDriver::fireTimer("exam", 0));
    EXPECT_EQ(text("时间"), "0:00:00");

    // Time-up stops nothing else.
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_TRUE(click("下一题"));
    ASSERT_TRUE(click("C"));
    EXPECT_EQ(state().paper.entry(2).chosen, "C");
    answerNextBox(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_TRUE(std::filesystem::exists(reportPath()));
    EXPECT_EQ(text("时间"), "0:00:00");
}

TEST_F(ExamTest, HandInRefusedChangesNothing)
{
    GuiDriver::fireTimer("exam", 0);
    answerNextBox(MessageBoxResult::No);
    ASSERT_TRUE(click("交卷"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("是否现在交卷吗？如果是按错您可以现在点击否按钮！"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("信息："));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
    EXPECT_EQ(driver.messageBoxes()[0].buttons, platform::MessageBoxButtons::YesNo);
    EXPECT_FALSE(std::filesystem::exists(reportPath()));
    EXPECT_TRUE(Gui::timerRunning("exam", 0));
    EXPECT_FALSE(visible("超文本浏览框1"));
    EXPECT_EQ(text("透明标签12"), "");
    ASSERT_TRUE(GuiDriver::fireTimer("exam", 0));
    EXPECT_EQ(text("时间"), "0:59:58");
}

TEST_F(ExamTest, HandInShowsReportAndScoreAndStopsTheClock)
{
    for (int tick = 0; tick < 5; ++tick)
        GuiDriver::fireTimer("exam", 0);
    ASSERT_TRUE(pressCell(1));
    ASSERT_TRUE(click(state().paper.entry(1).answer));
    ASSERT_TRUE(pressCell(2));
    ASSERT_TRUE(click(state().paper.entry(2).answer == "A" ? "B" : "A"));

    answerNextBox(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_TRUE(std::filesystem::exists(reportPath()));
    EXPECT_TRUE(visible("超文本浏览框1"));
    EXPECT_EQ(Gui::geometry("exam", "超文本浏览框1"), (platform::GuiRect{216, 8, 792, 600}));
    EXPECT_EQ(Gui::htmlFile("exam", "超文本浏览框1"), state().filePath("temp.htm"));
    EXPECT_NE(Gui::htmlPlainText("exam", "超文本浏览框1").find(gbk("预选")), std::string::npos);
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   1   】 分"));
    EXPECT_FALSE(Gui::timerRunning("exam", 0));
    EXPECT_EQ(text("时间"), "0:59:55");
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
}

TEST_F(ExamTest, ReportThatCannotBeWrittenIsNotShown)
{
    std::filesystem::create_directory(reportPath());
    answerNextBox(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[1].icon, MessageBoxIcon::Error);
    EXPECT_EQ(driver.messageBoxes()[1].caption, gbk("信息"));
    EXPECT_FALSE(visible("超文本浏览框1"));
    EXPECT_EQ(Gui::htmlFile("exam", "超文本浏览框1"), "");
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   0   】 分"));
    EXPECT_FALSE(Gui::timerRunning("exam", 0));

    // A second hand-in that cannot write hides the report of the first.
    std::filesystem::remove(reportPath());
    answerNextBox(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_TRUE(visible("超文本浏览框1"));
    std::filesystem::remove(reportPath());
    std::filesystem::create_directory(reportPath());
    answerNextBox(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_FALSE(visible("超文本浏览框1"));
}

TEST_F(ExamTest, ClosingTheWindowDeletesTheReport)
{
    answerNextBox(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    ASSERT_TRUE(std::filesystem::exists(reportPath()));
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    EXPECT_FALSE(std::filesystem::exists(reportPath()));
    EXPECT_FALSE(state().showQuestion);
}

TEST_F(ExamTest, ClosingBeforeHandInAsksNothingAndStopsTheClock)
{
    ASSERT_TRUE(GuiDriver::clickCloseBox("exam"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    EXPECT_FALSE(Gui::timerRunning("exam", 0));
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_FALSE(std::filesystem::exists(reportPath()));
}

TEST_F(ExamTest, CorrectionWindowOpensModallyWhileTheClockRuns)
{
    std::string seenWindow;
    driver.setModalHook([&](const std::string& window) {
        seenWindow = window;
        EXPECT_FALSE(Gui::takesInput("exam"));
        EXPECT_TRUE(GuiDriver::fireTimer("exam", 0));
        EXPECT_TRUE(GuiDriver::fireTimer("exam", 0));
    });
    ASSERT_TRUE(click("纠错按钮"));
    EXPECT_EQ(seenWindow, "correction");
    EXPECT_EQ(text("时间"), "0:59:58");
    EXPECT_TRUE(Gui::takesInput("exam"));
    // The bank window is out of reach for an ordinary candidate.
    EXPECT_FALSE(click("题库管理按钮"));
    EXPECT_EQ(driver.modalWindows(), std::vector<std::string>{"correction"});
}

TEST_F(AppTest, AdministratorCodeAloneShowsTheBankButton)
{
    makeBank(plainQuestions(5));
    enterExam("739264 ");
    EXPECT_FALSE(visible("题库管理按钮"));
    app.reset();
    Gui::closeAllWindows();

    enterExam("739264");
    EXPECT_TRUE(visible("题库管理按钮"));
    ASSERT_TRUE(click("题库管理按钮"));
    EXPECT_EQ(driver.modalWindows(), std::vector<std::string>{"bank"});
}

TEST_F(AppTest, ShortPaperShowsEmptyQuestions)
{
    makeBank(plainQuestions(37));
    enterExam();
    ASSERT_TRUE(pressCell(38));
    EXPECT_EQ(text("Titlexb"), "");
    EXPECT_EQ(text("透明标签11"), gbk("题库编号：【  】"));
    for (const char* letter : letters) {
        EXPECT_EQ(text(letter), "");
        EXPECT_TRUE(visible(letter));
    }
    ASSERT_TRUE(click("D"));
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(38)), red);
}

TEST_F(AppTest, ReportFileMatchesByteForByte)
{
    // Question 7's title holds a placeholder and markup characters; question
    // 9's options hold markup characters.
    std::vector<StoredQuestion> bank = plainQuestions(100);
    bank[6].title = "见[选择]&<b>";
    bank[8].options = "x&y|<p>|";
    makeBank(bank);
    enterExam();

    std::string expected = expected_report::head();
    int score = 0;
    for (int k = 1; k <= 100; ++k) {
        const int n = std::atoi(state().paper.entry(k).id.c_str());
        ASSERT_GE(n, 1);
        const std::string key = std::to_string(n);
        const std::string answer = bank[static_cast<std::size_t>(n - 1)].answer;
        std::string options = "a" + key + "</p>b" + key + "</p>c" + key + "</p>d" + key + "</p>";
        std::string title = gbk("题目" + key);
        if (n == 7)
            title = gbk("见") + options + "&amp;&lt;b&gt;";
        if (n == 9)
            options = "x&amp;y</p>&lt;p&gt;</p>";

        std::string choice = expected_report::unanswered();
        ASSERT_TRUE(pressCell(k));
        if (k % 3 == 0) {
            ASSERT_TRUE(click(answer));
            choice = answer;
            ++score;
        } else if (k % 3 == 1) {
            const std::string wrong = answer == "D" ? "A" : std::string(1, static_cast<char>(answer[0] + 1));
            ASSERT_TRUE(click(wrong));
            choice = expected_report::wrongChoice(wrong);
        }
        expected += expected_report::row(k, title, options, answer, choice);
    }
    expected += expected_report::closing();

    GuiDriver::installed()->answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    std::ifstream in(file("temp.htm"), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    EXPECT_EQ(score, 33);
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   33   】 分"));
}
