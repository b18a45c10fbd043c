#include "exchange/TitleIndex.h"

#include <algorithm>
#include <functional>

namespace {

constexpr std::uint64_t indexMask = 0xFFFFFFFFu;
constexpr std::size_t fewestSlots = 1024;

std::uint64_t hashOf(std::string_view title)
{
    return std::hash<std::string_view>{}(title);
}

std::uint64_t tagOf(std::uint64_t hash)
{
    return hash & ~indexMask;
}

} // namespace

TitleIndex::TitleIndex()
{
    grow(fewestSlots);
}

void TitleIndex::reserve(std::size_t titles)
{
    // Room that is never written costs no memory, so the guess at the bytes
    // may be generous, within a bound that any machine can promise.
    constexpr std::size_t bytesPerTitle = 128;
    constexpr std::size_t mostBytes = std::size_t{64} << 20;
    bytes_.reserve(bytes_.size() + std::min(titles, mostBytes / bytesPerTitle) * bytesPerTitle);
    titles_.reserve(titles_.size() + titles);
    // At most half the slots in use keeps the probes short.
    std::size_t slots = slots_.size();
    while (slots < 2 * (titles_.size() + titles))
        slots *= 2;
    if (slots != slots_.size())
        grow(slots);
}

std::size_t TitleIndex::slotOf(std::string_view title, std::uint64_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = slots_[slot];
        if (entry == 0 || (tagOf(entry) == tagOf(hash) && textOf(titles_[(entry & indexMask) - 1]) == title))
            return slot;
    }
}

void TitleIndex::addStored(std::string_view title)
{
    Found ignored;
    findOrAdd(title, hashOf(title), -1, ignored);
}

std::uint64_t TitleIndex::prepare(std::string_view title) const
{
    const std::uint64_t hash = hashOf(title);
    // The table may still grow before the look-up; then the hint is merely wasted.
    __builtin_prefetch(slots_.data() + (hash & (slots_.size() - 1)));
    return hash;
}

bool TitleIndex::findOrAdd(std::string_view title, std::uint64_t hash, int line, Found& found)
{
    if (2 * (titles_.size() + 1) > slots_.size())
        grow(2 * slots_.size());
    const std::size_t slot = slotOf(title, hash);
    if (slots_[slot] != 0) {
        const Title& first = titles_[(slots_[slot] & indexMask) - 1];
        found = {first.line < 0, first.line < 0 ? 0 : first.line};
        return true;
    }
    titles_.push_back({bytes_.size(), title.size(), line});
    bytes_.append(title);
    slots_[slot] = tagOf(hash) | titles_.size();
    return false;
}

void TitleIndex::grow(std::size_t slots)
{
    slots_.assign(slots, 0);
    for (std::size_t i = 0; i < titles_.size(); ++i) {
        const std::uint64_t hash = hashOf(textOf(titles_[i]));
        std::size_t slot = hash & (slots - 1);
        while (slots_[slot] != 0)
            slot = (slot + 1) & (slots - 1);
        slots_[slot] = tagOf(hash) | (i + 1);
    }
}
