#include "charts/ChartModule.h"

#include "platform/SharedModule.h"

namespace {

struct Loaded {
    platform::SharedModule module{"charts"};
    const ChartDrawing* drawing = nullptr;

    Loaded()
    {
        if (auto* table = module.function<const ChartDrawing*()>(chartDrawingSymbol))
            drawing = table();
    }
};

// Tried once: a module that failed to load does not come back while the
// program runs, and its message stays the same.
Loaded& loaded()
{
    static Loaded once;
    return once;
}

} // namespace

const ChartDrawing* ChartModule::drawing()
{
    return loaded().drawing;
}

const std::string& ChartModule::lastErrorText()
{
    return loaded().module.lastErrorText();
}

const std::string& ChartModule::failureText(const std::string& otherwise)
{
    const std::string& reason = lastErrorText();
    return reason.empty() ? otherwise : reason;
}
