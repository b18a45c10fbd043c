#include "db/EventPump.h"

namespace {
EventPump::Handler handler = nullptr;
std::chrono::steady_clock::time_point lastPump;
int handlersRunning = 0;
} // namespace

void EventPump::install(Handler h)
{
    handler = h;
}

EventPump::Handler EventPump::installed()
{
    return handler;
}

bool EventPump::handling()
{
    return handlersRunning > 0;
}

void EventPump::checkClock()
{
    untilClockCheck_ = ticksPerClockCheck;
    if (!handler)
        return;
    auto now = std::chrono::steady_clock::now();
    if (now - lastPump < interval)
        return;
    ++handlersRunning;
    handler();
    --handlersRunning;
    // Measured after the handler so a slow handler cannot take every slice of the work.
    lastPump = std::chrono::steady_clock::now();
}
