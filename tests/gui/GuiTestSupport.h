#pragma once

#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Closes whatever a test left open, so that every test starts without windows.
struct GuiFixtureGuard {
    ~GuiFixtureGuard()
    {
        platform::Gui::closeAllWindows();
        QCoreApplication::processEvents();
    }
};

// Runs the event loop until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline platform::ControlDescription control(std::string name, platform::ControlKind kind, int left, int top, int width,
                                            int height, std::string container = {})
{
    platform::ControlDescription description;
    description.name = std::move(name);
    description.kind = kind;
    description.left = left;
    description.top = top;
    description.width = width;
    description.height = height;
    description.container = std::move(container);
    return description;
}
