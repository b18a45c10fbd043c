#include "bank/ResultGridSource.h"

#include <utility>

ResultGridSource::ResultGridSource(DbResultCopy result) : result_(std::move(result))
{
}

std::string ResultGridSource::text(int row, int column) const
{
    return result_.text(row, column);
}
