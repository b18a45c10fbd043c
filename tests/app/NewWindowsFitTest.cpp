// The windows added beside the original ones: every control sits inside its
// window where the user can see it. A control without a place is created with
// no size and whatever it says is never seen.

#include "app/DrillCategoryChooser.h"
#include "attempts/HistoryWindowLayout.h"
#include "exchange/ExchangeWindowLayout.h"
#include "learning/StatsWindowLayout.h"

#include <gtest/gtest.h>

TEST(NewWindowsFit, EveryControlHasASizeInsideTheClientArea)
{
    for (const platform::WindowDescription& window : {exchangeWindowLayout(), historyWindowLayout(),
                                                      statsWindowLayout(), DrillCategoryChooser::layout({{"x", 1}})}) {
        // The outer size counts a Windows frame.
        const int clientWidth = window.width - 6;
        const int clientHeight = window.height - 29;
        for (const platform::ControlDescription& control : window.controls) {
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
