#include "platform/gui/GuiDriver.h"

namespace platform {
namespace {

GuiDriver* current = nullptr;

} // namespace

GuiDriver::GuiDriver() : previous_(current)
{
    current = this;
}

GuiDriver::~GuiDriver()
{
    current = previous_;
}

GuiDriver* GuiDriver::installed()
{
    return current;
}

} // namespace platform
