#include "app/AnswerReport.h"
#include "app/ExamWindow.h"

#include "AppTestSupport.h"

#include <QApplication>
#include <QTest>

using platform::Gui;

namespace {

constexpr platform::Rgb red = 0xFF0000, green = 0x00FF00, yellow = 0xFFFF00;
const char* const boxes[] = {"多选A", "多选B", "多选C", "多选D"};

class MultipleAnswerTest : public OpenExamTest {
protected:
    static std::string ticked()
    {
        std::string letters;
        for (int i = 0; i < 4; ++i)
            letters += Gui::checked("exam", boxes[i]) ? std::string(1, static_cast<char>('A' + i)) : "";
        return letters;
    }

    static void press(Qt::Key key)
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "exam" && top->isVisible())
                QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, key);
    }

    std::string cellColours(int k) const
    {
        const std::string cell = ExamWindow::cellName(k);
        const auto text = Gui::textColour("exam", cell), back = Gui::backgroundColour("exam", cell);
        if (!text && !back)
            return "none";
        return text == red && back == green ? "right" : text == yellow && back == red ? "wrong" : "other";
    }
};

} // namespace

TEST_F(MultipleAnswerTest, CheckBoxesStandInTheOptionsPlacesAndSayWhatTheyDo)
{
    showEntry(5, {.title = "t", .options = "a|b|c|", .answer = "AC", .id = "50", .did = "3"});
    EXPECT_TRUE(visible("多选题标签"));
    for (int i = 0; i < 4; ++i) {
        const std::string letter(1, static_cast<char>('A' + i));
        SCOPED_TRACE(letter);
        EXPECT_FALSE(visible(letter));
        EXPECT_EQ(visible(boxes[i]), i < 3);
        EXPECT_EQ(Gui::geometry("exam", boxes[i]), Gui::geometry("exam", letter));
        EXPECT_EQ(Gui::tag("exam", boxes[i]), letter);
    }
    EXPECT_EQ(text("多选B"), " b");

    // A single-answer question after it looks as it always did.
    showEntry(6, {.title = "t", .options = "a|b|c|d|", .answer = "B", .id = "60", .did = "4"});
    EXPECT_FALSE(visible("多选题标签"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(visible(boxes[i]));
        EXPECT_TRUE(visible(std::string(1, static_cast<char>('A' + i))));
    }
}

TEST_F(MultipleAnswerTest, TickingBuildsTheSetInOrderAndColoursTheCellBySetEquality)
{
    showEntry(7, {.title = "t", .options = "a|b|c|d|", .answer = "AC", .id = "70", .did = "4"});
    ASSERT_TRUE(click("多选C"));
    EXPECT_EQ(state().paper.entry(7).chosen, "C");
    EXPECT_EQ(cellColours(7), "wrong");
    ASSERT_TRUE(click("多选A"));
    EXPECT_EQ(state().paper.entry(7).chosen, "AC");
    EXPECT_EQ(text("透明标签6"), "AC");
    EXPECT_EQ(cellColours(7), "right");
    ASSERT_TRUE(click("多选D"));
    EXPECT_EQ(state().paper.entry(7).chosen, "ACD");
    EXPECT_EQ(cellColours(7), "wrong");

    ASSERT_TRUE(click("下一题"));
    EXPECT_EQ(ticked(), "");
    ASSERT_TRUE(click("上一题"));
    EXPECT_EQ(ticked(), "ACD");
    EXPECT_EQ(text("透明标签6"), "ACD");

    // Unticking everything leaves the question unanswered again.
    for (const char* box : {"多选A", "多选C", "多选D"})
        ASSERT_TRUE(click(box));
    EXPECT_EQ(state().paper.entry(7).chosen, "");
    EXPECT_EQ(cellColours(7), "none");
}

TEST_F(MultipleAnswerTest, LetterAndDigitKeysToggleOnlyTheShownBoxes)
{
    showEntry(3, {.title = "t", .options = "a|b|c|", .answer = "AB", .id = "30", .did = "3"});
    press(Qt::Key_B);
    press(Qt::Key_1);
    press(Qt::Key_D); // no fourth option
    press(Qt::Key_4);
    EXPECT_EQ(state().paper.entry(3).chosen, "AB");
    EXPECT_EQ(cellColours(3), "right");
    press(Qt::Key_3);
    press(Qt::Key_A);
    EXPECT_EQ(state().paper.entry(3).chosen, "BC");
    EXPECT_EQ(ticked(), "BC");

    // The same keys still choose one letter on a single-answer question.
    showEntry(4, {.title = "t", .options = "a|b|c|d|", .answer = "D", .id = "40", .did = "4"});
    press(Qt::Key_C);
    press(Qt::Key_4);
    EXPECT_EQ(state().paper.entry(4).chosen, "D");
    EXPECT_EQ(cellColours(4), "right");
}

TEST_F(MultipleAnswerTest, CorrectingWithNoOptionButtonCheckedKeepsAMultipleAnswerKey)
{
    PaperEntry entry = state().paper.entry(1);
    entry.answer = "AC";
    showEntry(1, entry);
    driver.setModalHook([](const std::string& window) { platform::GuiDriver::click(window, "修改"); });
    ASSERT_TRUE(click("纠错按钮"));
    EXPECT_EQ(driver.modalWindows(), std::vector<std::string>{"correction"});
    EXPECT_EQ(state().paper.entry(1).answer, "AC");
    EXPECT_TRUE(visible("多选A"));
}

TEST(MultipleAnswerReport, OnlyTheWholeSetScoresAndTheReportShowsBothSets)
{
    Paper paper;
    paper.entry(1) = {.title = "t", .options = "a|b|c|", .answer = "AC", .chosen = "AC", .did = "3"};
    paper.entry(2) = {.title = "t", .options = "a|b|c|", .answer = "AC", .chosen = "A", .did = "3"};
    paper.entry(3) = {.title = "t", .options = "a|b|c|", .answer = "AC", .chosen = "ABC", .did = "3"};
    paper.entry(4) = {.title = "t", .options = "a|b|", .answer = "B", .chosen = "B", .did = "2"};
    EXPECT_EQ(AnswerReport::score(paper), 2);

    const std::string right = AnswerReport::row(1, paper.entry(1));
    EXPECT_NE(right.find("<td>AC</td>"), std::string::npos);
    EXPECT_EQ(right.find("<strong>"), std::string::npos);
    const std::string wrong = AnswerReport::row(3, paper.entry(3));
    EXPECT_NE(wrong.find("<h2>ABC</h2>"), std::string::npos);
    EXPECT_NE(wrong.find("<td>AC</td>"), std::string::npos);
}
