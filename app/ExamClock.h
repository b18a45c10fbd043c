#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The countdown of the exam, one tick a second. Time is counted in ticks,
// not read from the system clock.
struct ExamClock {
    static constexpr std::int32_t paperDuration = 3600;

    std::int32_t duration = paperDuration;
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;

    struct Tick {
        std::optional<std::string> caption; // the new caption of the clock label, if it changes
        bool timeUp = false;                // the timer is to stop
    };

    // Sets the remaining time to the whole duration.
    void start();
    Tick tick();
};
