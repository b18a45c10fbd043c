// The windows added beside the original ones: every control sits inside its
// window where the user can see it. A control without a place is created with
// no size and whatever it says is never seen.

#include "app/DrillCategoryChooser.h"
#include "app/PaperChoice.h"
#include "attempts/HistoryWindow.h"
#include "attempts/HistoryWindowLayout.h"
#include "bank/PaperEditorLayout.h"
#include "bank/StartWindowLayout.h"
#include "exchange/ExchangeWindowLayout.h"
#include "learning/StatsWindow.h"
#include "learning/StatsWindowLayout.h"

#include <gtest/gtest.h>

TEST(NewWindowsFit, EveryControlHasASizeInsideTheClientArea)
{
    for (const platform::WindowDescription& window :
         {exchangeWindowLayout(), historyWindowLayout(), statsWindowLayout(), DrillCategoryChooser::layout({{"x", 1}}),
          paperEditorLayout({"x"})}) {
        // The outer size counts a Windows frame.
        const int clientWidth = window.width - 6;
        const int clientHeight = window.height - 29;
        std::vector<platform::ControlDescription> controls = window.controls;
        // Added when the statistics window opens, with the papers its records name.
        if (window.id == StatsWindow::windowId)
            controls.push_back(StatsWindow::paperComboControl({"x"}));
        for (const platform::ControlDescription& control : controls) {
            if (!control.container.empty())
                continue;
            SCOPED_TRACE(window.id + "/" + control.name);
            EXPECT_GT(control.width, 0);
            EXPECT_GT(control.height, 0);
            EXPECT_GE(control.left, 0);
            EXPECT_GE(control.top, 0);
            EXPECT_LE(control.left + control.width, clientWidth);
            EXPECT_LE(control.top + control.height, clientHeight);
        }
    }
}

// The paper choice joins the start window's frame in room no other control takes.
TEST(NewWindowsFit, ThePaperChoiceFitsTheStartWindowsFreeRoom)
{
    const platform::WindowDescription start = startWindowLayout();
    for (const platform::ControlDescription& added : PaperChoice::controls({PaperDefinition{.name = "x"}})) {
        SCOPED_TRACE(added.name);
        ASSERT_EQ(added.container, PaperChoice::frame);
        EXPECT_GT(added.width, 0);
        EXPECT_GT(added.height, 0);
        for (const platform::ControlDescription& control : start.controls) {
            if (control.name == added.container) {
                EXPECT_GE(added.left, 0);
                EXPECT_GE(added.top, 0);
                EXPECT_LE(added.left + added.width, control.width);
                EXPECT_LE(added.top + added.height, control.height);
            } else if (control.container == added.container) {
                EXPECT_TRUE(added.left >= control.left + control.width || control.left >= added.left + added.width ||
                            added.top >= control.top + control.height || control.top >= added.top + added.height)
                    << control.name;
            }
        }
    }
}

// The history's paper combo, added as the window opens, takes room no other control takes.
TEST(NewWindowsFit, TheHistorysPaperChoiceFitsItsFreeRoom)
{
    const platform::WindowDescription window = historyWindowLayout();
    for (const platform::ControlDescription& added : HistoryWindow::paperControls({"x"})) {
        SCOPED_TRACE(added.name);
        EXPECT_GT(added.width, 0);
        EXPECT_GT(added.height, 0);
        EXPECT_LE(added.left + added.width, window.width - 6);
        EXPECT_LE(added.top + added.height, window.height - 29);
        for (const platform::ControlDescription& control : window.controls) {
            EXPECT_TRUE(added.left >= control.left + control.width || control.left >= added.left + added.width ||
                        added.top >= control.top + control.height || control.top >= added.top + added.height)
                << control.name;
        }
    }
}
