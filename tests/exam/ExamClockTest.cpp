#include "exam/ExamClock.h"

#include <gtest/gtest.h>

#include <map>

TEST(ExamClock, StartsAtOneHour)
{
    ExamClock clock;
    clock.start();
    EXPECT_EQ(clock.duration, 3600);
    EXPECT_EQ(clock.hours, 1);
    EXPECT_EQ(clock.minutes, 0);
    EXPECT_EQ(clock.seconds, 0);
}

TEST(ExamClock, FollowsTheTickTableToTimeUp)
{
    struct Row {
        int h, m, s;
        const char* caption; // nullptr: the label is not written
    };
    const std::map<int, Row> table = {
        {1, {1, 0, 59, nullptr}},     {2, {0, 59, 58, "0:59:58"}},  {60, {0, 59, 0, "0:59:00"}},
        {61, {0, 58, 59, "0:58:59"}}, {3055, {0, 9, 5, "0:09:05"}}, {3541, {0, 0, 59, "0:00:59"}},
        {3591, {0, 0, 9, "0:00:09"}}, {3599, {0, 0, 1, "0:00:01"}}, {3600, {0, 0, 0, "0:00:00"}},
    };
    ExamClock clock;
    clock.start();
    int captions = 0;
    for (int tick = 1; tick <= 3600; ++tick) {
        ExamClock::Tick result = clock.tick();
        captions += result.caption ? 1 : 0;
        EXPECT_EQ(result.timeUp, tick == 3600) << tick;
        auto row = table.find(tick);
        if (row == table.end())
            continue;
        EXPECT_EQ(clock.hours, row->second.h) << tick;
        EXPECT_EQ(clock.minutes, row->second.m) << tick;
        EXPECT_EQ(clock.seconds, row->second.s) << tick;
        if (row->second.caption)
            EXPECT_EQ(result.caption, row->second.caption) << tick;
        else
            EXPECT_FALSE(result.caption) << tick;
    }
    EXPECT_EQ(captions, 3599);
}

// What is stored and offered on resume: the time really left, from which a
// restored clock goes on showing what the running one would have shown.
TEST(ExamClock, SecondsLeftIsTheTimeLeftAndRestoresTheClock)
{
    ExamClock clock;
    clock.start();
    for (int tick = 0; tick <= 3600; ++tick) {
        ASSERT_EQ(clock.secondsLeft(), 3600 - tick) << tick;
        ExamClock restored;
        restored.setSecondsLeft(clock.secondsLeft());
        ASSERT_EQ(restored.secondsLeft(), 3600 - tick) << tick;
        if (tick == 3600)
            break;
        const ExamClock::Tick next = clock.tick(), resumed = restored.tick();
        ASSERT_EQ(resumed.caption, next.caption) << tick;
        ASSERT_EQ(resumed.timeUp, next.timeUp) << tick;
    }
}
