#include "platform/Utf8.h"

#include <cstdint>
#include <cstring>

namespace platform {

char32_t Utf8::nextOfFour(std::string_view text, std::size_t& pos)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char lead = s[pos++];
    if (lead < 0xF0 || lead > 0xF4)
        return invalid;
    unsigned char low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    char32_t c = lead & 0x07u;
    for (int following = 0; following < 3; ++following) {
        if (pos >= text.size() || s[pos] < low || s[pos] > high)
            return invalid;
        c = c << 6 | (s[pos++] & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return c;
}

std::size_t Utf8::firstInvalid(std::string_view text)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t pos = 0;
    while (pos < n) {
        if (s[pos] < 0x80) {
            // Files are mostly ASCII between the Chinese texts: eight bytes at a time there.
            ++pos;
            while (pos + sizeof(std::uint64_t) <= n) {
                std::uint64_t word;
                std::memcpy(&word, s + pos, sizeof word);
                if ((word & 0x8080808080808080u) != 0)
                    break;
                pos += sizeof word;
            }
            continue;
        }
        const std::size_t start = pos;
        if (next(text, pos) == invalid)
            return start;
    }
    return std::string_view::npos;
}

} // namespace platform
