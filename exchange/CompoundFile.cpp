#include "exchange/CompoundFile.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

constexpr std::uint32_t endOfChain = 0xFFFFFFFEu;
constexpr std::size_t headerDifatEntries = 109;

std::uint32_t u32(std::string_view b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t u16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

// A chain of sectors of one size through its allocation table, joined.
bool chain(std::string_view area, std::size_t base, std::size_t sectorSize, const std::vector<std::uint32_t>& table,
           std::uint32_t first, std::size_t limit, std::string& out)
{
    out.clear();
    std::size_t steps = 0;
    for (std::uint32_t s = first; s != endOfChain; s = table[s]) {
        if (s >= table.size() || ++steps > table.size())
            return false;
        const std::size_t at = base + static_cast<std::size_t>(s) * sectorSize;
        if (at >= area.size())
            return false;
        out.append(area.substr(at, sectorSize));
        if (out.size() >= limit)
            break;
    }
    if (out.size() < limit)
        return limit == SIZE_MAX;
    out.resize(limit);
    return true;
}

} // namespace

bool CompoundFile::stream(std::initializer_list<std::string_view> names, std::string& out) const
{
    if (bytes_.size() < 512)
        return false;
    const unsigned shift = u16(bytes_, 0x1E);
    const unsigned miniShift = u16(bytes_, 0x20);
    if ((shift != 9 && shift != 12) || miniShift != 6)
        return false;
    const std::size_t sectorSize = std::size_t(1) << shift;
    const std::size_t sectors = bytes_.size() / sectorSize;

    // The allocation table's own sectors: 109 in the header, the rest in a chain.
    std::vector<std::uint32_t> tableSectors;
    for (std::size_t i = 0; i < headerDifatEntries; ++i)
        tableSectors.push_back(u32(bytes_, 0x4C + i * 4));
    std::uint32_t difat = u32(bytes_, 0x44);
    for (std::size_t steps = 0; difat < sectors && steps <= sectors; ++steps) {
        const std::size_t at = (static_cast<std::size_t>(difat) + 1) * sectorSize;
        if (at + sectorSize > bytes_.size())
            return false;
        for (std::size_t i = 0; i + 1 < sectorSize / 4; ++i)
            tableSectors.push_back(u32(bytes_, at + i * 4));
        difat = u32(bytes_, at + sectorSize - 4);
    }
    std::vector<std::uint32_t> table;
    for (std::uint32_t s : tableSectors) {
        if (s >= sectors)
            continue;
        const std::size_t at = (static_cast<std::size_t>(s) + 1) * sectorSize;
        if (at + sectorSize > bytes_.size())
            return false;
        for (std::size_t i = 0; i < sectorSize / 4; ++i)
            table.push_back(u32(bytes_, at + i * 4));
    }
    const auto sectorChain = [&](std::uint32_t first, std::size_t limit, std::string& into) {
        return chain(bytes_, sectorSize, sectorSize, table, first, limit, into);
    };

    std::string directory;
    if (!sectorChain(u32(bytes_, 0x30), SIZE_MAX, directory))
        return false;
    std::string root;
    for (std::size_t at = 0; at + 128 <= directory.size(); at += 128) {
        const std::string_view entry(directory.data() + at, 128);
        const unsigned type = static_cast<unsigned char>(entry[0x42]);
        const std::uint32_t start = u32(entry, 0x74);
        const std::size_t size = u32(entry, 0x78);
        if (type == 5 && !sectorChain(start, size, root))
            return false;
        if (type != 2)
            continue;
        std::string name;
        const std::size_t nameBytes = std::min<std::size_t>(u16(entry, 0x40), 64);
        for (std::size_t i = 0; i + 2 < nameBytes; i += 2)
            name.push_back(u16(entry, i) < 0x80 ? static_cast<char>(u16(entry, i)) : '?');
        bool wanted = false;
        for (std::string_view n : names)
            wanted = wanted || name == n;
        if (!wanted)
            continue;
        if (size >= u32(bytes_, 0x38))
            return sectorChain(start, size, out);
        // Small streams live in 64-byte sectors inside the root entry's stream.
        std::string miniTableBytes;
        if (root.empty() || !sectorChain(u32(bytes_, 0x3C), SIZE_MAX, miniTableBytes))
            return false;
        std::vector<std::uint32_t> miniTable;
        for (std::size_t i = 0; i + 4 <= miniTableBytes.size(); i += 4)
            miniTable.push_back(u32(miniTableBytes, i));
        return chain(root, 0, 64, miniTable, start, size, out);
    }
    return false;
}
