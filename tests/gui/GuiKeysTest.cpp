#include "GuiTestSupport.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct KeyWindow {
    GuiFixtureGuard guard;
    GuiDriver driver;
    std::vector<GuiKey> offered;

    KeyWindow()
    {
        WindowDescription window;
        window.id = "keys";
        window.width = 400;
        window.height = 300;
        ControlDescription edit = control("编辑框", ControlKind::EditBox, 10, 10, 200, 30);
        edit.accessibleName = GBK("标题");
        window.controls.push_back(edit);
        ControlDescription button = control("按钮", ControlKind::Button, 10, 50, 100, 30);
        button.caption = GBK("交 卷");
        button.events = {{GuiEventKind::Clicked, "clicked"}};
        window.controls.push_back(button);
        window.controls.push_back(control("格", ControlKind::Label, 10, 90, 30, 30));
        Gui::openWindow(window, {{"clicked", [](const GuiEvent&) {}}});
        Gui::setKeyHandler("keys", [this](const GuiKey& key) {
            offered.push_back(key);
            return key.name == GuiKey::Name::Character;
        });
    }

    static QWidget* widget(const char* name)
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "keys" && top->isVisible())
                return name ? top->findChild<QWidget*>(QString::fromUtf8(name)) : top;
        return nullptr;
    }
};

} // namespace

TEST(GuiKeysTest, KeysReachTheHandlerFromAnyControlButNeverFromAnEditBox)
{
    KeyWindow w;
    QTest::keyClick(KeyWindow::widget("编辑框"), Qt::Key_A);
    EXPECT_TRUE(w.offered.empty());
    EXPECT_EQ(Gui::text("keys", "编辑框"), "a");

    QTest::keyClick(KeyWindow::widget("按钮"), Qt::Key_G);
    QTest::keyClick(KeyWindow::widget(nullptr), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_GE(w.offered.size(), 2u);
    EXPECT_EQ(w.offered[0].character, 'G');
    EXPECT_EQ(w.offered[1].name, GuiKey::Name::Enter);
    EXPECT_TRUE(w.offered[1].control);

    // Nothing while a modal window is open over it.
    w.offered.clear();
    w.driver.setModalHook([](const std::string&) { QTest::keyClick(KeyWindow::widget("按钮"), Qt::Key_B); });
    WindowDescription modal;
    modal.id = "modal";
    Gui::runModal(modal, {}, "keys");
    EXPECT_TRUE(w.offered.empty());
}

TEST(GuiKeysTest, MarksAndAccessibleTexts)
{
    KeyWindow w;
    ASSERT_TRUE(Gui::setMarked("keys", "格", true));
    Gui::setMarked("keys", "格", false);
    EXPECT_FALSE(Gui::marked("keys", "格"));

    EXPECT_EQ(Gui::accessibleName("keys", "编辑框"), GBK("标题"));
    EXPECT_EQ(Gui::accessibleName("keys", "按钮"), GBK("交 卷"));
    Gui::setText("keys", "按钮", GBK("上一题"));
    EXPECT_EQ(Gui::accessibleName("keys", "按钮"), GBK("上一题"));
    Gui::setAccessibleText("keys", "按钮", GBK("交卷"), GBK("快捷键"));
    Gui::setText("keys", "按钮", GBK("下一题"));
    EXPECT_EQ(Gui::accessibleName("keys", "按钮"), GBK("交卷"));
    EXPECT_EQ(Gui::accessibleDescription("keys", "按钮"), GBK("快捷键"));
    Gui::setAccessibleText("keys", "按钮", "", "");
    EXPECT_EQ(Gui::accessibleName("keys", "按钮"), GBK("下一题"));
}
