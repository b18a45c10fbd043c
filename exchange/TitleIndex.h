#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The titles an import has met, each with where it came from: the bank, or
// the line of the file that held it first. The bytes of every title sit in
// one buffer and the table holds only tags and indexes, so a title costs no
// allocation of its own and a look-up touches one slot of a flat array
// before it compares bytes, where node-based sets chase two pointers.
class TitleIndex {
public:
    struct Found {
        bool stored = false; // the title is in the bank already
        int line = 0;        // otherwise the line that held it first
    };

    TitleIndex();
    // Room for this many titles more without growing the table.
    void reserve(std::size_t titles);

    // Adds a title of the bank; a repeated one is kept once.
    void addStored(std::string_view title);
    // The hash findOrAdd takes, with the slot it starts at on its way to the
    // cache: work done before findOrAdd then hides the wait for memory.
    std::uint64_t prepare(std::string_view title) const;
    // The first holder of the title, or false after adding it as first held
    // by line. hash: prepare's answer for the title.
    bool findOrAdd(std::string_view title, std::uint64_t hash, int line, Found& found);

private:
    struct Title {
        std::size_t offset;
        std::size_t length;
        int line; // -1 for a stored title
    };

    std::string_view textOf(const Title& title) const { return {bytes_.data() + title.offset, title.length}; }
    // The slot holding the title, or the empty slot where it belongs.
    std::size_t slotOf(std::string_view title, std::uint64_t hash) const;
    void grow(std::size_t slots);

    std::string bytes_;
    std::vector<Title> titles_;
    // 0 = empty, else the upper half of the title's hash over its index + 1.
    std::vector<std::uint64_t> slots_;
};
