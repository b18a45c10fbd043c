#include "app/Application.h"
#include "db/EventPump.h"

#include <gtest/gtest.h>

// Exports pump window events only while the program's windows exist.
TEST(Application, PumpsWindowEventsDuringDatabaseWorkWhileAlive)
{
    EXPECT_EQ(EventPump::installed(), nullptr);
    {
        Application application;
        EXPECT_NE(EventPump::installed(), nullptr);
    }
    EXPECT_EQ(EventPump::installed(), nullptr);
}
