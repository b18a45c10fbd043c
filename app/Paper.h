#pragma once

#include "app/PaperEntry.h"

#include <array>

// The 100 questions of one examination, numbered 1 to 100. Every entry exists
// from the start; a bank with fewer questions leaves the rest empty.
class Paper {
public:
    static constexpr int size = 100;

    // number in 1..size; anything else is clamped into that range.
    PaperEntry& entry(int number);
    const PaperEntry& entry(int number) const;

    void clear();

private:
    std::array<PaperEntry, size> entries_;
};
