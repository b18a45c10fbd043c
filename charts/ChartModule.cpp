#include "charts/ChartModule.h"

#include "platform/ModuleTable.h"

namespace {

// Tried once: a module that failed to load does not come back while the
// program runs, and its message stays the same.
const platform::ModuleTable<ChartDrawing>& table()
{
    static const platform::ModuleTable<ChartDrawing> charts("charts", chartDrawingSymbol);
    return charts;
}

} // namespace

const ChartDrawing* ChartModule::drawing()
{
    return table().get();
}

std::string ChartModule::lastErrorText()
{
    return table().lastErrorText();
}

std::string ChartModule::failureText(const std::string& otherwise)
{
    std::string reason = lastErrorText();
    return reason.empty() ? otherwise : reason;
}
