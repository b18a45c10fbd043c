#pragma once

#include "exam/PaperEntry.h"

#include <algorithm>
#include <array>
#include <cstddef>

// The 100 questions of one examination, numbered 1 to 100. Every entry exists
// from the start; a bank with fewer questions leaves the rest empty. Header
// only, so that the maintenance windows can work on it without linking the
// examination.
class Paper {
public:
    static constexpr int size = 100;

    // number in 1..size; anything else is clamped into that range.
    PaperEntry& entry(int number) { return entries_[index(number)]; }
    const PaperEntry& entry(int number) const { return entries_[index(number)]; }

    void clear() { entries_.fill(PaperEntry{}); }

private:
    static std::size_t index(int number) { return static_cast<std::size_t>(std::clamp(number, 1, size) - 1); }

    std::array<PaperEntry, size> entries_;
};
