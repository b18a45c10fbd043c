#include "db/sqlite/ByteArena.h"

#include <sys/mman.h>

#include <cstdint>
#include <mutex>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kBlockSize = 4 * kHugePage;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kPoolLimit = 64; // blocks, 512 MB

// Only the thread running a query touches its arena, but queries may run on
// several threads.
std::mutex poolMutex;
std::vector<char*>& pool()
{
    static std::vector<char*> blocks;
    return blocks;
}

std::size_t roundUp(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit * unit;
}

} // namespace

ByteArena::~ByteArena()
{
    clear();
}

char* ByteArena::map(std::size_t size)
{
    // Over-map, then trim to a huge-page boundary: the kernel can then back
    // the block with huge pages, a few faults instead of thousands.
    const std::size_t span = size + kHugePage;
    void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    auto* start = static_cast<char*>(raw);
    auto* aligned = reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(start), kHugePage));
    if (aligned > start)
        ::munmap(start, static_cast<std::size_t>(aligned - start));
    char* end = start + span;
    if (end > aligned + size)
        ::munmap(aligned + size, static_cast<std::size_t>(end - (aligned + size)));
    ::madvise(aligned, size, MADV_HUGEPAGE);
    return aligned;
}

char* ByteArena::allocate(std::size_t size)
{
    static char none;
    if (size == 0)
        return &none;
    if (size <= left_) {
        char* out = next_;
        next_ += size;
        left_ -= size;
        return out;
    }
    // Large values get a block of their own, leaving the current one open.
    const bool own = size > kBlockSize / 4;
    const std::size_t blockSize = own ? roundUp(size, kPage) : kBlockSize;
    char* base = own ? nullptr : takePooled();
    if (base == nullptr)
        base = map(blockSize);
    if (base == nullptr)
        return nullptr;
    blocks_.push_back({base, blockSize});
    mapped_ += blockSize;
    if (own)
        return base;
    next_ = base + size;
    left_ = blockSize - size;
    return base;
}

void ByteArena::clear()
{
    for (const Block& block : blocks_)
        release(block);
    blocks_.clear();
    next_ = nullptr;
    left_ = 0;
    mapped_ = 0;
}

char* ByteArena::takePooled()
{
    std::lock_guard lock(poolMutex);
    if (pool().empty())
        return nullptr;
    char* block = pool().back();
    pool().pop_back();
    return block;
}

void ByteArena::release(const Block& block)
{
    if (block.size == kBlockSize) {
        std::lock_guard lock(poolMutex);
        if (pool().size() < kPoolLimit) {
            pool().push_back(block.base);
            return;
        }
    }
    ::munmap(block.base, block.size);
}
