#include "platform/gui/StatusBarWidget.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(StatusBarWidgetTest, PanelsHaveFixedWidthsAndTheLastTakesTheRest)
{
    StatusBarWidget bar;
    bar.resize(429, 20);
    bar.addPanel(86, QStringLiteral(" 当前操作员："));
    bar.addPanel(250, QString());
    bar.addPanel(10, QStringLiteral("出品"));
    EXPECT_EQ(bar.panelRect(0), QRect(0, 0, 86, 20));
    EXPECT_EQ(bar.panelRect(1), QRect(86, 0, 250, 20));
    EXPECT_EQ(bar.panelRect(2), QRect(336, 0, 93, 20));
    EXPECT_TRUE(bar.setPanelText(1, QStringLiteral("739264")));
    EXPECT_EQ(bar.panelText(1), QStringLiteral("739264"));
    EXPECT_FALSE(bar.setPanelText(3, QStringLiteral("x")));
    EXPECT_EQ(bar.panelText(-1), QString());

    bar.resize(300, 20);
    EXPECT_EQ(bar.panelRect(2).width(), 0) << "a bar narrower than its fixed panels leaves the last one empty";
}

} // namespace
