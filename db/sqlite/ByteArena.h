#pragma once

#include <cstddef>
#include <vector>

// Append-only byte storage for large query results: a few big blocks mapped
// straight from the system, never moved while the arena lives. Blocks bypass
// the heap, so a result's cost does not depend on how earlier work left it.
// Cleared blocks of the standard size wait in a bounded process-wide pool for
// the next result: the system clears every fresh page it hands out, which
// would otherwise cost as much again as copying the values in.
class ByteArena {
public:
    ByteArena() = default;
    ~ByteArena();
    ByteArena(const ByteArena&) = delete;
    ByteArena& operator=(const ByteArena&) = delete;

    // Room for `size` bytes, uninitialised, staying in place until clear();
    // null when the system has no memory left.
    char* allocate(std::size_t size);
    void clear();
    // Bytes mapped for the blocks, used or not.
    std::size_t mappedBytes() const { return mapped_; }

private:
    struct Block {
        char* base;
        std::size_t size;
    };

    static char* map(std::size_t size);
    static char* takePooled();
    static void release(const Block& block);

    std::vector<Block> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t mapped_ = 0;
};
