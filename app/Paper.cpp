#include "app/Paper.h"

#include <algorithm>

PaperEntry& Paper::entry(int number)
{
    return entries_[static_cast<std::size_t>(std::clamp(number, 1, size) - 1)];
}

const PaperEntry& Paper::entry(int number) const
{
    return entries_[static_cast<std::size_t>(std::clamp(number, 1, size) - 1)];
}

void Paper::clear()
{
    entries_.fill(PaperEntry{});
}
