#pragma once

#include <chrono>

// Keeps the windows responsive during long database work without tying the
// database library to the GUI: the GUI layer installs a function that processes
// pending window events, and long loops call `tick` once per unit of work.
// Reading the clock is cheap but not free, so `tick` looks at it only every few
// hundred calls and runs the handler at most once per interval, counted across
// pumps so that a run of short jobs is paced like one long one.
class EventPump {
public:
    using Handler = void (*)();

    static constexpr std::chrono::milliseconds interval{30};

    // A null handler turns pumping off (the default).
    static void install(Handler handler);
    static Handler installed();
    // True while the handler runs, that is while code reached through window
    // events interrupts the work that pumps them.
    static bool handling();

    void tick()
    {
        if (--untilClockCheck_ == 0)
            checkClock();
    }

private:
    static constexpr unsigned ticksPerClockCheck = 256;

    void checkClock();

    unsigned untilClockCheck_ = ticksPerClockCheck;
};
