#include "GuiTestSupport.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

WindowDescription ownerWindow()
{
    WindowDescription window;
    window.id = "exam";
    window.width = 400;
    window.height = 300;
    ControlDescription open = control("纠错按钮", ControlKind::Button, 10, 10, 118, 43);
    open.events = {{GuiEventKind::Clicked, "openModal"}};
    window.controls.push_back(open);
    ControlDescription other = control("下一题", ControlKind::Button, 140, 10, 118, 43);
    other.events = {{GuiEventKind::Clicked, "next"}};
    window.controls.push_back(other);
    window.controls.push_back(control("时间", ControlKind::TransparentLabel, 10, 60, 184, 64));
    return window;
}

WindowDescription modalWindow()
{
    WindowDescription window;
    window.id = "correction";
    window.caption = GBK("纠错窗口");
    window.width = 700;
    window.height = 432;
    ControlDescription box = control("标题编辑框", ControlKind::EditBox, 61, 18, 611, 62);
    box.multiLine = true;
    window.controls.push_back(box);
    ControlDescription button = control("修改", ControlKind::Button, 554, 336, 125, 43);
    button.events = {{GuiEventKind::Clicked, "correct"}};
    window.controls.push_back(button);
    return window;
}

TEST(GuiDriverTest, ScriptedMessageBoxesAnswerAndAreRecorded)
{
    GuiDriver driver;
    driver.answerNext(MessageBoxResult::Yes);
    EXPECT_EQ(
        Gui::messageBox(GBK("是否现在交卷吗？"), GBK("信息："), MessageBoxIcon::Information, MessageBoxButtons::YesNo),
        MessageBoxResult::Yes);
    EXPECT_EQ(
        Gui::messageBox(GBK("是否要删除数据？"), std::nullopt, MessageBoxIcon::Information, MessageBoxButtons::YesNo),
        MessageBoxResult::No)
        << "an unscripted Yes/No box answers No";
    EXPECT_EQ(Gui::messageBox(GBK("请输入标题")), MessageBoxResult::Ok);

    ASSERT_EQ(driver.messageBoxes().size(), 3u);
    const MessageBoxRequest& first = driver.messageBoxes()[0];
    EXPECT_EQ(first.text, GBK("是否现在交卷吗？"));
    EXPECT_EQ(first.icon, MessageBoxIcon::Information);
    EXPECT_EQ(first.buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(driver.messageBoxes()[2].caption, GBK("信息：")) << "the default caption";
    EXPECT_EQ(driver.messageBoxes()[2].icon, MessageBoxIcon::None);
    EXPECT_EQ(driver.messageBoxes()[2].buttons, MessageBoxButtons::Ok);
}

TEST(GuiDriverTest, NoticeAndFailureBoxesCarryTheirCaptionAndIcon)
{
    GuiDriver driver;
    Gui::notice(GBK("已导出"));
    Gui::failure(GBK("导出失败"));
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[0].text, GBK("已导出"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
    EXPECT_EQ(driver.messageBoxes()[1].caption, GBK("信息"));
    EXPECT_EQ(driver.messageBoxes()[1].icon, MessageBoxIcon::Error);
    EXPECT_EQ(driver.messageBoxes()[1].buttons, MessageBoxButtons::Ok);
}

TEST(GuiDriverTest, ResponderDecidesWhenNothingIsQueuedAndDriversNest)
{
    GuiDriver outer;
    outer.setResponder([](const MessageBoxRequest& request) {
        return request.caption == GBK("提示") ? MessageBoxResult::Yes : MessageBoxResult::No;
    });
    {
        GuiDriver inner;
        EXPECT_EQ(GuiDriver::installed(), &inner);
        EXPECT_EQ(Gui::messageBox("x", GBK("提示"), MessageBoxIcon::None, MessageBoxButtons::YesNo),
                  MessageBoxResult::No);
    }
    EXPECT_EQ(GuiDriver::installed(), &outer);
    EXPECT_EQ(Gui::messageBox("x", GBK("提示"), MessageBoxIcon::None, MessageBoxButtons::YesNo), MessageBoxResult::Yes);
    EXPECT_EQ(outer.messageBoxes().size(), 1u);
}

TEST(GuiDriverTest, ModalWindowBlocksItsOwnerWhileATimerKeepsTicking)
{
    GuiFixtureGuard cleanup;
    GuiDriver driver;
    driver.setRealTimers(true);
    int ticks = 0;
    int nextClicks = 0;
    bool returned = false;
    HandlerTable ownerHandlers = {
        {"openModal",
         [&](const GuiEvent&) {
             Gui::runModal(modalWindow(), {}, "exam");
             returned = true;
         }},
        {"next", [&](const GuiEvent&) { ++nextClicks; }},
    };
    ASSERT_TRUE(Gui::openWindow(ownerWindow(), ownerHandlers));
    ASSERT_TRUE(Gui::startTimer("exam", 0, 10, [&] { ++ticks; }));

    bool ownerTookInput = true;
    bool clickReachedOwner = true;
    int ticksWhileModal = 0;
    driver.setModalHook([&](const std::string& window) {
        EXPECT_EQ(window, "correction");
        ownerTookInput = Gui::takesInput("exam");
        clickReachedOwner = driver.click("exam", "下一题");
        EXPECT_FALSE(driver.clickCloseBox("exam"));
        EXPECT_TRUE(Gui::takesInput("correction"));
        const int before = ticks;
        EXPECT_TRUE(waitFor([&] { return ticks >= before + 3; }));
        ticksWhileModal = ticks - before;
        EXPECT_TRUE(driver.clickCloseBox("correction"));
    });
    ASSERT_TRUE(driver.click("exam", "纠错按钮"));
    EXPECT_TRUE(returned);
    EXPECT_FALSE(ownerTookInput);
    EXPECT_FALSE(clickReachedOwner);
    EXPECT_EQ(nextClicks, 0);
    EXPECT_GE(ticksWhileModal, 3);
    EXPECT_FALSE(Gui::isOpen("correction"));
    EXPECT_TRUE(Gui::takesInput("exam"));
    EXPECT_TRUE(driver.click("exam", "下一题"));
    EXPECT_EQ(nextClicks, 1);
    EXPECT_EQ(driver.modalWindows(), std::vector<std::string>{"correction"});
}

TEST(GuiDriverTest, ModalWindowClosedByItsOwnHandlerAndReopenedFresh)
{
    GuiFixtureGuard cleanup;
    GuiDriver driver;
    ASSERT_TRUE(Gui::openWindow(ownerWindow(), {}));
    HandlerTable modalHandlers = {{"correct", [](const GuiEvent& event) { Gui::closeWindow(event.window); }}};
    std::string seenText;
    driver.setModalHook([&](const std::string& window) {
        seenText = Gui::text(window, "标题编辑框");
        Gui::setText(window, "标题编辑框", "changed");
        driver.click(window, "修改");
        EXPECT_FALSE(Gui::isOpen(window));
    });
    EXPECT_TRUE(Gui::runModal(modalWindow(), modalHandlers, "exam"));
    EXPECT_TRUE(Gui::runModal(modalWindow(), modalHandlers, "exam"));
    EXPECT_EQ(seenText, "") << "each opening starts from the design-time contents";

    driver.setModalHook({});
    EXPECT_TRUE(Gui::runModal(modalWindow(), modalHandlers, "exam")) << "without a hook it is closed at once";
    EXPECT_FALSE(Gui::isOpen("correction"));
}

TEST(GuiDriverTest, ManualTimersTickOnlyWhenFiredAndDieWithTheWindow)
{
    GuiFixtureGuard cleanup;
    GuiDriver driver;
    ASSERT_TRUE(Gui::openWindow(ownerWindow(), {}));
    int ticks = 0;
    ASSERT_TRUE(Gui::startTimer("exam", 0, 1000, [&] {
        if (++ticks == 3)
            Gui::killTimer("exam", 0);
    }));
    EXPECT_TRUE(Gui::timerRunning("exam", 0));
    EXPECT_EQ(GuiDriver::timerInterval("exam", 0), 1000);
    EXPECT_FALSE(waitFor([&] { return ticks > 0; }, 50)) << "manual timers do not tick on their own";
    EXPECT_TRUE(GuiDriver::fireTimer("exam", 0));
    EXPECT_TRUE(GuiDriver::fireTimer("exam", 0));
    EXPECT_TRUE(GuiDriver::fireTimer("exam", 0));
    EXPECT_FALSE(GuiDriver::fireTimer("exam", 0)) << "the third tick stopped it";
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(Gui::timerRunning("exam", 0));
    Gui::killTimer("exam", 0);
    Gui::killTimer("exam", 7);
    EXPECT_FALSE(GuiDriver::fireTimer("exam", 7));

    ASSERT_TRUE(Gui::startTimer("exam", 0, 1000, [&] { ++ticks; }));
    Gui::closeWindow("exam");
    EXPECT_FALSE(Gui::timerRunning("exam", 0));
    EXPECT_FALSE(GuiDriver::fireTimer("exam", 0));
}

TEST(GuiDriverTest, MessageBoxInsideAHandlerDoesNotBlock)
{
    GuiFixtureGuard cleanup;
    GuiDriver driver;
    driver.answerNext(MessageBoxResult::Yes);
    MessageBoxResult answer = MessageBoxResult::Ok;
    HandlerTable handlers = {{"next", [&](const GuiEvent&) {
                                  answer = Gui::messageBox(GBK("是否现在交卷吗？"), GBK("信息："),
                                                           MessageBoxIcon::Information, MessageBoxButtons::YesNo);
                              }}};
    ASSERT_TRUE(Gui::openWindow(ownerWindow(), handlers));
    EXPECT_TRUE(driver.click("exam", "下一题"));
    EXPECT_EQ(answer, MessageBoxResult::Yes);
}

} // namespace
