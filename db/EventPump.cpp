#include "db/EventPump.h"

namespace {
EventPump::Handler handler = nullptr;
std::chrono::steady_clock::time_point lastPump;
} // namespace

void EventPump::install(Handler h)
{
    handler = h;
}

EventPump::Handler EventPump::installed()
{
    return handler;
}

void EventPump::checkClock()
{
    untilClockCheck_ = ticksPerClockCheck;
    if (!handler)
        return;
    auto now = std::chrono::steady_clock::now();
    if (now - lastPump < interval)
        return;
    handler();
    // Measured after the handler so a slow handler cannot take every slice of the work.
    lastPump = std::chrono::steady_clock::now();
}
