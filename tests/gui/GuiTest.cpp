#include "GuiTestSupport.h"

#include "platform/CodePage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class GuiTest : public ::testing::Test {
protected:
    GuiFixtureGuard cleanup;
    GuiDriver driver;
    std::vector<std::string> events;

    GuiHandler record(const std::string& what)
    {
        return [this, what](const GuiEvent& event) { events.push_back(what + ":" + event.control); };
    }
};

WindowDescription formWindow()
{
    WindowDescription window;
    window.id = "form";
    window.caption = GBK("表单");
    window.width = 422;
    window.height = 328;

    ControlDescription shape = control("外形框1", ControlKind::ShapeBox, 8, 52, 400, 225);
    shape.backgroundColour = 0xFFFFCE;
    window.controls.push_back(shape);

    ControlDescription single = control("身份证编辑框", ControlKind::EditBox, 136, 40, 224, 32, "外形框1");
    single.caption = "20150826";
    single.events = {{GuiEventKind::ContentChanged, "idChanged"}};
    window.controls.push_back(single);

    ControlDescription multi = control("内容编辑框", ControlKind::EditBox, 9, 100, 300, 80, "外形框1");
    multi.multiLine = true;
    multi.events = {{GuiEventKind::ContentChanged, "contentChanged"}};
    window.controls.push_back(multi);

    ControlDescription button = control("按钮1", ControlKind::Button, 213, 170, 176, 48, "外形框1");
    button.caption = GBK("进入考场");
    button.events = {{GuiEventKind::Clicked, "enter"}};
    window.controls.push_back(button);

    ControlDescription label = control("标签2", ControlKind::Label, 0, 8, 416, 40);
    label.caption = GBK("标题");
    label.textColour = 0x00FF00;
    label.alignment = Alignment::Centre;
    window.controls.push_back(label);

    ControlDescription check = control("显示正确答案", ControlKind::CheckBox, 8, 280, 100, 19);
    check.caption = GBK("正确答案");
    check.events = {{GuiEventKind::Clicked, "switch"}};
    window.controls.push_back(check);

    window.events = {{GuiEventKind::Created, "created"}, {GuiEventKind::BeingDestroyed, "destroyed"}};
    return window;
}

TEST_F(GuiTest, WindowHasFixedClientSizeAndOpensCentred)
{
    WindowDescription window = formWindow();
    ASSERT_TRUE(Gui::openWindow(window, {}));
    const GuiRect client = Gui::clientRect("form");
    EXPECT_EQ(client.width, 422 - 6);
    EXPECT_EQ(client.height, 328 - 29);

    // Centred by the outer size; the client area sits inside whatever frame the window system draws.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const GuiRect frame = Gui::frameRect("form");
    EXPECT_EQ(frame.left, screen.left() + (screen.width() - 422) / 2);
    EXPECT_EQ(frame.top, screen.top() + (screen.height() - 328) / 2);
    EXPECT_GE(client.left, frame.left);
    EXPECT_GE(client.top, frame.top);
    EXPECT_EQ(Gui::windowCaption("form"), GBK("表单"));
    EXPECT_FALSE(Gui::openWindow(window, {})) << "the same window cannot be open twice";
}

TEST_F(GuiTest, WindowLargerThanTheScreenKeepsItsCaptionBarOnScreen)
{
    WindowDescription window = formWindow();
    window.width = 5000;
    window.height = 4000;
    ASSERT_TRUE(Gui::openWindow(window, {}));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Gui::frameRect("form").left, screen.left());
    EXPECT_EQ(Gui::frameRect("form").top, screen.top());
}

TEST_F(GuiTest, CreatedRunsWithAllControlsAndDestroyedOnClose)
{
    bool controlsThere = false;
    HandlerTable handlers = {
        {"created",
         [&](const GuiEvent& event) {
             controlsThere = Gui::controlExists(event.window, "按钮1") && Gui::controlExists(event.window, "标签2");
             events.push_back("created");
         }},
        {"destroyed", [&](const GuiEvent&) { events.push_back("destroyed:" + Gui::text("form", "标签2")); }},
    };
    ASSERT_TRUE(Gui::openWindow(formWindow(), handlers));
    EXPECT_TRUE(controlsThere);
    EXPECT_TRUE(Gui::closeWindow("form"));
    EXPECT_FALSE(Gui::isOpen("form"));
    EXPECT_FALSE(Gui::closeWindow("form"));
    EXPECT_EQ(events, (std::vector<std::string>{"created", "destroyed:" + GBK("标题")}))
        << "controls stay readable while the window is being destroyed";
}

TEST_F(GuiTest, ProgramSetTextRaisesContentChangedLikeTyping)
{
    HandlerTable handlers = {{"idChanged", record("changed")}};
    ASSERT_TRUE(Gui::openWindow(formWindow(), handlers));
    EXPECT_EQ(Gui::text("form", "身份证编辑框"), "20150826");

    EXPECT_TRUE(Gui::setText("form", "身份证编辑框", GBK("一二")));
    EXPECT_EQ(events, std::vector<std::string>{"changed:身份证编辑框"});
    EXPECT_EQ(Gui::text("form", "身份证编辑框"), GBK("一二"));

    events.clear();
    EXPECT_TRUE(Gui::setText("form", "身份证编辑框", GBK("一二")));
    EXPECT_EQ(events.size(), 1u) << "setting the same text raises it too";

    events.clear();
    EXPECT_TRUE(driver.type("form", "身份证编辑框", "34"));
    EXPECT_EQ(events.size(), 2u) << "one change per typed character";
    EXPECT_EQ(Gui::text("form", "身份证编辑框"), GBK("一二") + "34");

    events.clear();
    EXPECT_TRUE(driver.erase("form", "身份证编辑框"));
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(Gui::text("form", "身份证编辑框"), "");
}

TEST_F(GuiTest, HandlerSettingTextOfAnotherBoxChainsItsEvent)
{
    HandlerTable handlers = {
        {"idChanged", [&](const GuiEvent&) { Gui::setText("form", "内容编辑框", Gui::text("form", "身份证编辑框")); }},
        {"contentChanged", record("content")},
    };
    ASSERT_TRUE(Gui::openWindow(formWindow(), handlers));
    driver.type("form", "身份证编辑框", "ab");
    EXPECT_EQ(events, (std::vector<std::string>{"content:内容编辑框", "content:内容编辑框"}));
    EXPECT_EQ(Gui::text("form", "内容编辑框"), "20150826ab");
}

TEST_F(GuiTest, MultiLineTextRoundTripsCrLf)
{
    ASSERT_TRUE(Gui::openWindow(formWindow(), {{"contentChanged", record("content")}}));
    const std::string lines = GBK("甲\r\n乙\r\n\r\n丙\r\n");
    Gui::setText("form", "内容编辑框", lines);
    EXPECT_EQ(Gui::text("form", "内容编辑框"), lines);

    // What the user types comes back with CR LF line ends as well.
    Gui::setText("form", "内容编辑框", "");
    events.clear();
    driver.type("form", "内容编辑框", "a\r\nb");
    EXPECT_EQ(Gui::text("form", "内容编辑框"), "a\r\nb");
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(GuiTest, UntouchedEditBoxGivesBackTheExactBytesSet)
{
    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    const std::string invalid = "a\x81"; // a lead byte without its trail
    Gui::setText("form", "身份证编辑框", invalid);
    EXPECT_EQ(Gui::text("form", "身份证编辑框"), invalid);
}

TEST_F(GuiTest, CaptionsColoursBordersAndFontsReadBackAsSet)
{
    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    EXPECT_EQ(Gui::text("form", "标签2"), GBK("标题"));
    EXPECT_EQ(Gui::textColour("form", "标签2"), std::optional<Rgb>(0x00FF00));
    EXPECT_EQ(Gui::backgroundColour("form", "标签2"), std::nullopt);

    Gui::setText("form", "标签2", GBK("第二行\r\n内容"));
    EXPECT_EQ(Gui::text("form", "标签2"), GBK("第二行\r\n内容"));
    Gui::setTextColour("form", "标签2", 0xFFFF00);
    Gui::setBackgroundColour("form", "标签2", 0xFF0000);
    EXPECT_EQ(Gui::textColour("form", "标签2"), std::optional<Rgb>(0xFFFF00));
    EXPECT_EQ(Gui::backgroundColour("form", "标签2"), std::optional<Rgb>(0xFF0000));
    Gui::setBackgroundColour("form", "标签2", std::nullopt);
    EXPECT_EQ(Gui::backgroundColour("form", "标签2"), std::nullopt);

    EXPECT_TRUE(Gui::setBorder("form", "标签2", Border::Sunken));
    EXPECT_EQ(Gui::border("form", "标签2"), Border::Sunken);
    EXPECT_FALSE(Gui::setBorder("form", "按钮1", Border::Sunken)) << "only labels have borders";

    EXPECT_TRUE(Gui::setFontPointSize("form", "按钮1", 14));
    EXPECT_EQ(Gui::fontPointSize("form", "按钮1"), 14);
    EXPECT_TRUE(Gui::setFontPointSize("form", "按钮1", 14));
    EXPECT_EQ(Gui::fontPointSize("form", "按钮1"), 14) << "repeating keeps the size";
}

TEST_F(GuiTest, UnknownWindowsAndControlsDoNothing)
{
    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    EXPECT_FALSE(Gui::setText("form", "没有", "x"));
    EXPECT_EQ(Gui::text("form", "没有"), "");
    EXPECT_FALSE(Gui::setText("nowhere", "按钮1", "x"));
    EXPECT_FALSE(Gui::setChecked("form", "按钮1", true)) << "a push button has no check";
    EXPECT_EQ(Gui::gridRowCount("form", "按钮1"), 0);
}

TEST_F(GuiTest, HiddenOrDisabledControlsCannotBeClickedByTheUser)
{
    ASSERT_TRUE(Gui::openWindow(formWindow(), {{"enter", record("enter")}}));
    Gui::setVisible("form", "按钮1", false);
    EXPECT_FALSE(Gui::isVisible("form", "按钮1"));
    EXPECT_FALSE(driver.click("form", "按钮1"));
    Gui::setVisible("form", "按钮1", true);
    Gui::setEnabled("form", "按钮1", false);
    EXPECT_FALSE(driver.click("form", "按钮1"));
    EXPECT_TRUE(events.empty());
    Gui::setEnabled("form", "按钮1", true);
    EXPECT_TRUE(driver.click("form", "按钮1"));
    EXPECT_EQ(events, std::vector<std::string>{"enter:按钮1"});
}

TEST_F(GuiTest, CheckBoxTogglesBeforeItsClickedHandlerRuns)
{
    std::vector<bool> seen;
    ASSERT_TRUE(Gui::openWindow(
        formWindow(), {{"switch", [&](const GuiEvent&) { seen.push_back(Gui::checked("form", "显示正确答案")); }}}));
    driver.click("form", "显示正确答案");
    driver.click("form", "显示正确答案");
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    Gui::setChecked("form", "显示正确答案", true);
    EXPECT_EQ(seen.size(), 2u) << "the program checking raises no click";
}

TEST_F(GuiTest, WindowMayCloseItselfInsideItsOwnHandler)
{
    HandlerTable handlers = {
        {"enter",
         [&](const GuiEvent& event) {
             Gui::closeWindow(event.window);
             events.push_back("after close: " + std::to_string(Gui::isOpen("form")));
             Gui::setText("form", "标签2", "ignored");
         }},
        {"destroyed", record("destroyed")},
    };
    ASSERT_TRUE(Gui::openWindow(formWindow(), handlers));
    driver.click("form", "按钮1");
    QCoreApplication::processEvents();
    EXPECT_EQ(events, (std::vector<std::string>{"destroyed:", "after close: 0"}));
}

TEST_F(GuiTest, CloseBoxDestroysTheWindow)
{
    ASSERT_TRUE(Gui::openWindow(formWindow(), {{"destroyed", record("destroyed")}}));
    EXPECT_TRUE(driver.clickCloseBox("form"));
    EXPECT_FALSE(Gui::isOpen("form"));
    EXPECT_EQ(events, std::vector<std::string>{"destroyed:"});
}

WindowDescription radioWindow()
{
    WindowDescription window;
    window.id = "radios";
    window.width = 600;
    window.height = 400;
    window.controls.push_back(control("页", ControlKind::PageControl, 0, 0, 300, 300));
    window.controls.back().pageCaption = GBK("题目");
    window.controls.push_back(control("外形框1", ControlKind::ShapeBox, 300, 0, 290, 300));
    for (const char* letter : {"A", "B", "C", "D"}) {
        ControlDescription inPage =
            control(letter, ControlKind::RadioButton, 10, 30 + 40 * (letter[0] - 'A'), 200, 30, "页");
        inPage.tag = letter;
        inPage.caption = std::string(" ") + letter;
        inPage.events = {{GuiEventKind::Clicked, "option"}};
        window.controls.push_back(inPage);
        ControlDescription inShape = control(std::string("shape") + letter, ControlKind::RadioButton,
                                             10 + 45 * (letter[0] - 'A'), 10, 44, 37, "外形框1");
        inShape.caption = letter;
        inShape.radioStyle = RadioStyle::PushButton;
        window.controls.push_back(inShape);
    }
    ControlDescription search = control("查询", ControlKind::RadioButton, 10, 100, 120, 40, "外形框1");
    search.radioStyle = RadioStyle::PushButton;
    search.radioGroup = "search";
    window.controls.push_back(search);
    return window;
}

TEST_F(GuiTest, RadioButtonsFormOneGroupPerContainer)
{
    std::vector<std::string> tags;
    ASSERT_TRUE(Gui::openWindow(radioWindow(), {{"option", [&](const GuiEvent& event) {
                                                     tags.push_back(Gui::tag(event.window, event.control));
                                                 }}}));
    driver.click("radios", "B");
    EXPECT_TRUE(Gui::checked("radios", "B"));
    EXPECT_EQ(tags, std::vector<std::string>{"B"});

    Gui::setChecked("radios", "shapeC", true);
    EXPECT_TRUE(Gui::checked("radios", "B")) << "another container is another group";
    driver.click("radios", "shapeA");
    EXPECT_TRUE(Gui::checked("radios", "shapeA"));
    EXPECT_FALSE(Gui::checked("radios", "shapeC"));

    driver.click("radios", "查询");
    EXPECT_TRUE(Gui::checked("radios", "shapeA")) << "a radio of its own group leaves the others alone";

    Gui::setChecked("radios", "D", true);
    EXPECT_FALSE(Gui::checked("radios", "B"));
    Gui::setChecked("radios", "D", false);
    for (const char* letter : {"A", "B", "C", "D"})
        EXPECT_FALSE(Gui::checked("radios", letter)) << "unchecking leaves a group with nothing checked";
    EXPECT_EQ(tags.size(), 1u);
}

TEST_F(GuiTest, ControlsInAPageUseThePageControlsCoordinates)
{
    ASSERT_TRUE(Gui::openWindow(radioWindow(), {}));
    EXPECT_EQ(Gui::geometry("radios", "C"), (GuiRect{10, 110, 200, 30}));
    EXPECT_EQ(Gui::text("radios", "页"), GBK("题目"));
    EXPECT_EQ(Gui::text("radios", "C"), " C");
}

WindowDescription cellWindow()
{
    WindowDescription window;
    window.id = "cells";
    window.width = 900;
    window.height = 300;
    window.controls.push_back(control("页", ControlKind::PageControl, 0, 0, 880, 260));
    ControlDescription cell = control("复制标签", ControlKind::Label, 9, 100, 30, 30, "页");
    cell.caption = "1";
    cell.tag = "1";
    cell.visible = false;
    cell.border = Border::Raised;
    cell.alignment = Alignment::Centre;
    cell.font = {"default", 16, true};
    cell.events = {{GuiEventKind::MousePressed, "cellPressed"}};
    window.controls.push_back(cell);
    return window;
}

TEST_F(GuiTest, LabelCopiesKeepTheTemplatesSettingsAndEvents)
{
    std::vector<std::string> pressed;
    HandlerTable handlers = {{"cellPressed", [&](const GuiEvent& event) {
                                  pressed.push_back(event.control + "=" + Gui::text(event.window, event.control));
                              }}};
    ASSERT_TRUE(Gui::openWindow(cellWindow(), handlers));
    for (int i = 1; i <= 100; ++i) {
        const std::string name = "cell" + std::to_string(i);
        ASSERT_TRUE(Gui::copyControl("cells", "复制标签", name));
        Gui::move("cells", name, 9 + 31 * ((i - 1) % 25), 100 + 31 * ((i - 1) / 25));
        Gui::setVisible("cells", name, true);
        Gui::setText("cells", name, std::to_string(i));
        Gui::setTag("cells", name, std::to_string(i));
    }
    EXPECT_FALSE(Gui::copyControl("cells", "复制标签", "cell7")) << "names stay unique";
    EXPECT_EQ(Gui::geometry("cells", "cell37"), (GuiRect{9 + 31 * 11, 100 + 31, 30, 30}));
    EXPECT_EQ(Gui::border("cells", "cell37"), Border::Raised);
    EXPECT_EQ(Gui::tag("cells", "cell37"), "37");
    EXPECT_FALSE(Gui::isVisible("cells", "复制标签"));

    EXPECT_TRUE(driver.pressMouse("cells", "cell37"));
    EXPECT_TRUE(driver.pressMouse("cells", "cell100"));
    EXPECT_FALSE(driver.pressMouse("cells", "复制标签")) << "a hidden label cannot be pressed";
    EXPECT_EQ(pressed, (std::vector<std::string>{"cell37=37", "cell100=100"}));
}

WindowDescription sundriesWindow()
{
    WindowDescription window;
    window.id = "sundries";
    window.width = 700;
    window.height = 500;
    ControlDescription combo = control("组合框1", ControlKind::ComboBox, 10, 10, 109, 28);
    combo.comboItems = {{GBK("二项选择"), 2}, {GBK("三项选题"), 3}, {GBK("四项选题"), 4}};
    window.controls.push_back(combo);
    ControlDescription progress = control("进度条1", ControlKind::ProgressBar, 10, 50, 192, 14);
    window.controls.push_back(progress);
    ControlDescription status = control("状态条", ControlKind::StatusBar, 10, 80, 429, 20);
    status.statusPanels = {{86, GBK(" 当前操作员：")}, {250, ""}, {0, GBK("出品")}};
    status.events = {{GuiEventKind::MousePressed, "none"}};
    window.controls.push_back(status);
    ControlDescription transparent = control("时间", ControlKind::TransparentLabel, 10, 110, 184, 64);
    transparent.embossed = true;
    transparent.textColour = 0x808080;
    window.controls.push_back(transparent);
    ControlDescription styled = control("题库管理按钮", ControlKind::StyledButton, 10, 200, 81, 28);
    styled.caption = GBK("题库管理");
    window.controls.push_back(styled);
    window.controls.push_back(control("图片框1", ControlKind::PictureBox, 200, 200, 178, 244));
    return window;
}

TEST_F(GuiTest, ComboBoxStartsWithoutItemAndGivesItemValues)
{
    ASSERT_TRUE(Gui::openWindow(sundriesWindow(), {}));
    EXPECT_EQ(Gui::comboIndex("sundries", "组合框1"), -1);
    EXPECT_EQ(Gui::text("sundries", "组合框1"), "");
    EXPECT_EQ(Gui::comboCount("sundries", "组合框1"), 3);
    EXPECT_EQ(Gui::comboItemValue("sundries", "组合框1", 2), 4);
    EXPECT_EQ(Gui::comboItemValue("sundries", "组合框1", 3), -1);
    EXPECT_TRUE(Gui::setComboIndex("sundries", "组合框1", 1));
    EXPECT_EQ(Gui::text("sundries", "组合框1"), GBK("三项选题"));
    EXPECT_FALSE(Gui::setComboIndex("sundries", "组合框1", 3));
    EXPECT_TRUE(driver.selectComboItem("sundries", "组合框1", 0));
    EXPECT_EQ(Gui::comboIndex("sundries", "组合框1"), 0);
    EXPECT_TRUE(Gui::setComboIndex("sundries", "组合框1", -1));
    EXPECT_EQ(Gui::comboIndex("sundries", "组合框1"), -1);
}

TEST_F(GuiTest, ProgressBarKeepsItsPositionInsideTheRange)
{
    ASSERT_TRUE(Gui::openWindow(sundriesWindow(), {}));
    EXPECT_EQ(Gui::progressPosition("sundries", "进度条1"), 0);
    EXPECT_EQ(Gui::progressMaximum("sundries", "进度条1"), 100);
    Gui::setProgressRange("sundries", "进度条1", 0, 37);
    for (int i = 1; i <= 37; ++i)
        Gui::setProgressPosition("sundries", "进度条1", Gui::progressPosition("sundries", "进度条1") + 1);
    EXPECT_EQ(Gui::progressPosition("sundries", "进度条1"), 37);
    Gui::setProgressPosition("sundries", "进度条1", 80);
    EXPECT_EQ(Gui::progressPosition("sundries", "进度条1"), 37);
    Gui::setProgressRange("sundries", "进度条1", 0, 10);
    EXPECT_EQ(Gui::progressPosition("sundries", "进度条1"), 10);
}

TEST_F(GuiTest, StatusBarPanelsAndOtherKinds)
{
    ASSERT_TRUE(Gui::openWindow(sundriesWindow(), {}));
    EXPECT_EQ(Gui::statusText("sundries", "状态条", 0), GBK(" 当前操作员："));
    EXPECT_TRUE(Gui::setStatusText("sundries", "状态条", 1, "739264"));
    EXPECT_EQ(Gui::statusText("sundries", "状态条", 1), "739264");
    EXPECT_FALSE(Gui::setStatusText("sundries", "状态条", 3, "x"));
    EXPECT_TRUE(driver.pressMouse("sundries", "状态条")) << "a binding without a handler is harmless";

    EXPECT_TRUE(Gui::setText("sundries", "时间", "0:59:58"));
    EXPECT_EQ(Gui::text("sundries", "时间"), "0:59:58");
    EXPECT_TRUE(Gui::setVisible("sundries", "题库管理按钮", false));
    EXPECT_FALSE(driver.click("sundries", "题库管理按钮"));
}

} // namespace

namespace {

QWidget* topLevel(const char* id)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(id) && widget->isVisible())
            return widget;
    return nullptr;
}

TEST(GuiFrameTest, EveryWindowHasAFixedFrameWithMinimiseButNoMaximise)
{
    GuiFixtureGuard cleanup;
    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    QWidget* window = topLevel("form");
    ASSERT_NE(window, nullptr);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    window->resize(800, 700);
    EXPECT_EQ(window->size(), QSize(416, 299));
}

// Without a driver the real dialogs and loops run; these close them from a timer.
TEST(GuiWithoutDriverTest, RealMessageBoxIsModalAndReturnsThePressedButton)
{
    ASSERT_EQ(GuiDriver::installed(), nullptr);
    QString seenCaption;
    QTimer::singleShot(50, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                seenCaption = box->windowTitle();
                box->button(QMessageBox::Yes)->click();
            }
        }
    });
    EXPECT_EQ(Gui::messageBox(GBK("是否要删除数据？删除后不可恢复！"), std::nullopt, MessageBoxIcon::Information,
                              MessageBoxButtons::YesNo),
              MessageBoxResult::Yes);
    EXPECT_EQ(seenCaption, QStringLiteral("信息："));
}

TEST(GuiWithoutDriverTest, RealModalLoopKeepsTimersAndReturnsWhenClosed)
{
    GuiFixtureGuard cleanup;
    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    int ticks = 0;
    Gui::startTimer("form", 0, 5, [&] { ++ticks; });
    WindowDescription modal = formWindow();
    modal.id = "modal";
    bool ownerTookInput = true;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (ticks < 3)
            return;
        ownerTookInput = Gui::takesInput("form");
        Gui::closeWindow("modal");
    });
    closer.start(5);
    EXPECT_TRUE(Gui::runModal(modal, {}, "form"));
    EXPECT_FALSE(Gui::isOpen("modal"));
    EXPECT_FALSE(ownerTookInput);
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(Gui::takesInput("form"));
}

TEST(GuiWithoutDriverTest, RunEndsWithTheLastWindowOrWithQuit)
{
    GuiFixtureGuard cleanup;
    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    QTimer::singleShot(20, [] { Gui::closeWindow("form"); });
    EXPECT_EQ(Gui::run(), 0);

    ASSERT_TRUE(Gui::openWindow(formWindow(), {}));
    QTimer::singleShot(20, [] { Gui::quit(3); });
    EXPECT_EQ(Gui::run(), 3);
    EXPECT_TRUE(Gui::isOpen("form"));

    Gui::quit(0);
    EXPECT_EQ(Gui::run(), 0) << "a quit before the loop ends it at once";
}

} // namespace
