#pragma once

#include <span>
#include <string>

namespace platform {

// A list grid laid out afresh: a heading row over room for the data rows,
// the columns as wide as given.
class GridHeading {
public:
    // headings: UTF-8 texts, shown as GBK. False when the grid is unknown.
    static bool reset(const std::string& window, const std::string& grid, int dataRows,
                      std::span<const char* const> headings, std::span<const int> widths);
};

} // namespace platform
