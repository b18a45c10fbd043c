#include "AppTestSupport.h"

#include "app/ExamAccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <fstream>
#include <iterator>
#include <set>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

QWidget* topWindow(const char* id)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == id && top->isVisible())
            return top;
    return nullptr;
}

// A key as the candidate presses it: to whatever control of the window has the focus.
void press(const char* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* top = topWindow(window);
    ASSERT_NE(top, nullptr) << window;
    QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, key, modifiers);
}

void pressText(const std::string& ascii)
{
    for (char c : ascii)
        press("exam", c == '\r'   ? Qt::Key_Return
                      : c == '\b' ? Qt::Key_Backspace
                                  : static_cast<Qt::Key>(c >= 'a' ? c - 'a' + 'A' : c));
}

// Focusable controls of the window that assistive technology would hear nothing for.
std::vector<std::string> unnamedControls(const char* id)
{
    std::vector<std::string> unnamed;
    QWidget* top = topWindow(id);
    if (top == nullptr)
        return {std::string("no window ") + id};
    for (QWidget* widget : top->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(top))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (accessible == nullptr || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.push_back(widget->objectName().toStdString() + " " + widget->metaObject()->className());
    }
    return unnamed;
}

struct MouseCounter : QObject {
    int events = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        events += type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ? 1 : 0;
        return false;
    }
};

class ExamKeysTest : public AppTest {
protected:
    std::string report() const
    {
        std::ifstream in(file("temp.htm"), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

} // namespace

TEST_F(ExamKeysTest, WholePaperByKeysEqualsThePaperByMouse)
{
    std::vector<StoredQuestion> bank = plainQuestions(120);
    for (std::size_t n = 0; n < bank.size(); ++n)
        bank[n].did = n % 10 == 3 ? "3" : n % 10 == 7 ? "2" : "4";
    makeBank(bank);
    MouseCounter mouse;
    qApp->installEventFilter(&mouse);
    startApp();
    const auto focusName = [] {
        QWidget* focus = topWindow("start")->focusWidget();
        return focus ? focus->objectName() : QString();
    };
    for (int tab = 0; tab < 10 && focusName() != QStringLiteral("按钮1"); ++tab)
        press("start", Qt::Key_Tab);
    press("start", Qt::Key_Space);
    ASSERT_TRUE(Gui::isOpen("exam"));
    int flagChanges = 0;
    state().flagChanged = [&](int) { ++flagChanges; };

    press("exam", Qt::Key_Left);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("亲！已经是第一题了，是不是搞错了啊。"));
    std::set<int> flagged;
    for (int k = 1; k <= 100; ++k) {
        ASSERT_EQ(state().currentQuestion, k);
        const PaperEntry& entry = state().paper.entry(k);
        const int visible = entry.did == "2" ? 2 : entry.did == "3" ? 3 : 4;
        const int answer = entry.answer[0] - 'A';
        int choice = k % 3 == 0 ? answer : k % 3 == 1 ? (answer + 1) % visible : -1;
        if (choice >= visible)
            choice = 0;
        if (visible < 4)
            press("exam", k % 2 ? Qt::Key_4 : Qt::Key_D); // hidden: no answer
        if (choice >= 0)
            press("exam", static_cast<Qt::Key>(k % 2 ? Qt::Key_1 + choice : Qt::Key_A + choice));
        if (k % 7 == 0) {
            press("exam", Qt::Key_F);
            flagged.insert(k);
        }
        if (k % 10 == 5)
            pressText("ff");
        if (k % 25 == 0)
            press("exam", Qt::Key_Tab); // the keys work wherever the focus goes
        if (k % 4 == 2)
            pressText("g" + std::to_string(k + 1) + "\r");
        else
            press("exam", k % 4 == 0 ? Qt::Key_PageDown : Qt::Key_Right);
    }
    EXPECT_EQ(state().currentQuestion, 100);
    EXPECT_EQ(driver.messageBoxes().back().text, gbk("亲！已经是最后一题了，是不是搞错了啊。"));
    press("exam", Qt::Key_Home);
    EXPECT_EQ(state().currentQuestion, 1);
    press("exam", Qt::Key_End);
    EXPECT_EQ(border(100), platform::Border::Sunken);
    press("exam", Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(Gui::fontPointSize("exam", "Titlexb"), 14);
    press("exam", Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(Gui::fontPointSize("exam", "Titlexb"), 12);
    for (int k = 1; k <= 100; ++k) {
        EXPECT_EQ(state().paper.entry(k).flagged, flagged.count(k) == 1) << k;
        EXPECT_EQ(Gui::marked("exam", ExamWindow::cellName(k)), flagged.count(k) == 1) << k;
    }
    EXPECT_EQ(flagChanges, static_cast<int>(flagged.size()) + 20);
    driver.answerNext(MessageBoxResult::Yes);
    press("exam", Qt::Key_Return, Qt::ControlModifier);
    qApp->removeEventFilter(&mouse);
    EXPECT_EQ(mouse.events, 0);
    const std::string byKeys = report();
    const std::string scoreByKeys = text("透明标签12");
    ASSERT_FALSE(byKeys.empty());
    Paper paper = state().paper;

    // The same answers to the same paper by mouse.
    app.reset();
    Gui::closeAllWindows();
    enterExam();
    for (int k = 1; k <= 100; ++k) {
        state().paper.entry(k) = paper.entry(k);
        state().paper.entry(k).chosen.clear();
    }
    for (int k = 1; k <= 100; ++k) {
        if (paper.entry(k).chosen.empty())
            continue;
        ASSERT_TRUE(pressCell(k));
        ASSERT_TRUE(click(paper.entry(k).chosen));
    }
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_TRUE(report() == byKeys);
    EXPECT_EQ(text("透明标签12"), scoreByKeys);
}

TEST_F(ExamKeysTest, KeysStopWhereTheMouseCannotReach)
{
    makeBank(plainQuestions(100));
    enterExam();
    pressText("g12\bx\r"); // a key that is no digit ends the jump
    EXPECT_EQ(state().currentQuestion, 1);
    pressText("g123\r");
    EXPECT_EQ(state().currentQuestion, 1);
    pressText("g12");
    press("exam", Qt::Key_Backspace);
    pressText("3\r");
    EXPECT_EQ(state().currentQuestion, 13);

    driver.setModalHook([&](const std::string&) { pressText("b"); });
    ASSERT_TRUE(click("纠错按钮"));
    EXPECT_EQ(state().paper.entry(13).chosen, "");

    press("exam", Qt::Key_Enter, Qt::ControlModifier); // refused: the unscripted box answers No
    EXPECT_FALSE(visible("超文本浏览框1"));
    driver.answerNext(MessageBoxResult::Yes);
    press("exam", Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(visible("超文本浏览框1"));
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("是否现在交卷吗？如果是按错您可以现在点击否按钮！"));
    pressText("bf");
    press("exam", Qt::Key_Right);
    EXPECT_EQ(state().paper.entry(13).chosen, "");
    EXPECT_FALSE(state().paper.entry(13).flagged);
    EXPECT_EQ(state().currentQuestion, 13);
}

TEST_F(ExamKeysTest, EveryControlIsNamedAndNamesFollowTheState)
{
    makeBank(plainQuestions(100));
    startApp();
    EXPECT_EQ(unnamedControls("start"), std::vector<std::string>{});
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "739264");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    EXPECT_EQ(unnamedControls("exam"), std::vector<std::string>{});
    std::vector<std::string> modalUnnamed;
    driver.setModalHook([&](const std::string& window) {
        const std::vector<std::string> unnamed = unnamedControls(window.c_str());
        modalUnnamed.insert(modalUnnamed.end(), unnamed.begin(), unnamed.end());
    });
    ASSERT_TRUE(click("题库管理按钮"));
    ASSERT_TRUE(click("纠错按钮"));
    EXPECT_EQ(driver.modalWindows(), (std::vector<std::string>{"bank", "correction"}));
    EXPECT_EQ(modalUnnamed, std::vector<std::string>{});

    const std::string id = state().paper.entry(2).id;
    press("exam", Qt::Key_Right);
    EXPECT_EQ(Gui::accessibleName("exam", "B"), gbk("选项B：b") + id);
    const std::string cell = ExamWindow::cellName(2);
    EXPECT_EQ(Gui::accessibleName("exam", cell), gbk("第2题，未答"));
    // The paper is drawn at random, so pick whichever of A and C is wrong for this question.
    const bool keyedC = state().paper.entry(2).answer == "C";
    press("exam", keyedC ? Qt::Key_A : Qt::Key_C);
    pressText("f");
    EXPECT_EQ(Gui::accessibleName("exam", cell), gbk(keyedC ? "第2题，已答A，已标记" : "第2题，已答C，已标记"));
    EXPECT_NE(Gui::accessibleDescription("exam", cell).find(gbk("回答错误")), std::string::npos);
    GuiDriver::fireTimer("exam", 0);
    GuiDriver::fireTimer("exam", 0);
    EXPECT_EQ(Gui::accessibleName("exam", "时间"), gbk("剩余时间 0:59:58"));

    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_EQ(unnamedControls("exam"), std::vector<std::string>{});
}
