#include "platform/gui/GridHeading.h"

#include "platform/CodePage.h"
#include "platform/gui/Gui.h"

#include <vector>

namespace platform {

bool GridHeading::reset(const std::string& window, const std::string& grid, int dataRows,
                        std::span<const char* const> headings, std::span<const int> widths)
{
    if (!Gui::resetGrid(window, grid))
        return false;
    Gui::setGridRowCount(window, grid, dataRows + 1);
    std::vector<std::string> header;
    for (const char* heading : headings)
        header.push_back(utf8ToGbk(heading));
    Gui::setGridRow(window, grid, 0, header);
    for (std::size_t c = 0; c < widths.size(); ++c)
        Gui::setGridColumnWidth(window, grid, static_cast<int>(c), widths[c]);
    return true;
}

} // namespace platform
