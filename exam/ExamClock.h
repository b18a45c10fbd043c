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

    // The time really left. The tick that primes the seconds of a whole hour
    // (1, 0, 0 to 1, 0, 59) leaves the borrow from that hour to the next tick,
    // so until then the fields read 59 seconds more than an hour but mean 0:59:59.
    std::int32_t secondsLeft() const;
    // The fields as the ticks leave `left` seconds; a value taken from
    // secondsLeft() ticks on as the clock it came from.
    void setSecondsLeft(std::int32_t left);
};
