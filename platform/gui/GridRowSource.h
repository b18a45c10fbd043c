#pragma once

#include <string>

namespace platform {

// Texts a grid reads on demand, for rows it would otherwise have to convert
// and store when it is filled. Rows and columns count from 0 within the
// source. Reads do not change what the source answers.
class GridRowSource {
public:
    virtual ~GridRowSource() = default;
    // GBK; empty for a cell the source does not have.
    virtual std::string text(int row, int column) const = 0;
};

} // namespace platform
