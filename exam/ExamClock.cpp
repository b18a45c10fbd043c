#include "exam/ExamClock.h"

void ExamClock::start()
{
    hours = duration / 3600;
    minutes = duration / 60 - hours * 60;
    seconds = duration % 60;
}

ExamClock::Tick ExamClock::tick()
{
    Tick result;
    if (seconds == 0) {
        seconds = 59;
        // The first tick after a whole minute only primes the seconds; with no
        // minutes left it borrows nothing and shows nothing.
        if (minutes == 0)
            return result;
        --minutes;
    } else {
        --seconds;
    }
    if (minutes == 0 && hours != 0) {
        minutes = 59;
        --hours;
    }
    std::string caption = std::to_string(hours);
    caption += minutes < 10 ? ":0" : ":";
    caption += std::to_string(minutes);
    caption += seconds < 10 ? ":0" : ":";
    caption += std::to_string(seconds);
    result.caption = std::move(caption);
    result.timeUp = minutes == 0 && seconds == 0;
    return result;
}

std::int32_t ExamClock::secondsLeft() const
{
    if (hours != 0 && minutes == 0 && seconds != 0)
        return (hours - 1) * 3600 + 59 * 60 + seconds;
    return hours * 3600 + minutes * 60 + seconds;
}

void ExamClock::setSecondsLeft(std::int32_t left)
{
    hours = left / 3600;
    minutes = left / 60 % 60;
    seconds = left % 60;
}
