#include "platform/Utf8.h"

#include <cstdint>
#include <cstring>

namespace platform {

char32_t Utf8::nextRare(std::string_view text, std::size_t& pos)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char lead = s[pos++];
    // The range each byte after the lead has to be in: the second byte's
    // depends on the lead, which keeps out overlong forms, surrogates and
    // code points past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    int following;
    char32_t c;
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1;
        c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2;
        c = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3;
        c = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return invalid;
    }
    for (; following > 0; --following) {
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
