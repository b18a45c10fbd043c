#pragma once

#include "db/DbResultCopy.h"
#include "platform/gui/GridRowSource.h"

// A kept query result as the rows of a grid: the grid converts a row's texts
// only when it shows or reads that row.
class ResultGridSource : public platform::GridRowSource {
public:
    explicit ResultGridSource(DbResultCopy result);
    std::string text(int row, int column) const override;

private:
    DbResultCopy result_;
};
