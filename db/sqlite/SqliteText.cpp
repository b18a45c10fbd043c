#include "db/sqlite/SqliteText.h"

#include "platform/CodePage.h"

#include <array>
#include <cstdint>
#include <memory>

// Converting each text through the code-page converter costs far more than
// the database reads around it, so the conversions run through tables built
// once from that same converter, character by character. Anything the tables
// do not cover exactly (broken sequences, characters outside the BMP) goes to
// the converter itself, so the results are the same bytes either way.
namespace {

constexpr int kFirstLead = 0x81;
constexpr int kLeadCount = 0xFE - kFirstLead + 1;
constexpr int kFirstTrail = 0x40;
constexpr int kTrailCount = 0xFE - kFirstTrail + 1;

struct GbkToUnicode {
    // 0 where the pair is not one character.
    std::array<char16_t, kLeadCount * kTrailCount> pairs{};
    // Whether the pair comes back as the same two bytes.
    std::array<bool, kLeadCount * kTrailCount> roundTrips{};
    // The bytes 0x80 and 0xFF on their own (0 when not a character).
    char16_t byte80 = 0;
    char16_t byteFF = 0;
    bool byte80RoundTrips = false;
    bool byteFFRoundTrips = false;
};

// For each BMP code point its GBK form: below 0x100 one byte, else lead and
// trail; for code points GBK lacks, the converter's substitute.
using UnicodeToGbk = std::array<std::uint16_t, 0x10000>;
// Code points the converter drops, and those it turns into anything but one
// GBK character (left to the converter). Neither is a GBK code.
constexpr std::uint16_t kDropped = 0xFFFF;
constexpr std::uint16_t kUnusual = 0xFFFE;

char16_t singleCharacter(const std::string& gbk)
{
    const std::u16string unicode = platform::gbkToUtf16(gbk);
    if (unicode.size() != 1 || unicode[0] == u'\uFFFD' || unicode[0] == u'\x1A')
        return 0;
    return unicode[0];
}

const GbkToUnicode& gbkToUnicode()
{
    static const std::unique_ptr<GbkToUnicode> table = [] {
        auto t = std::make_unique<GbkToUnicode>();
        std::string pair(2, '\0');
        for (int lead = 0; lead < kLeadCount; ++lead) {
            for (int trail = 0; trail < kTrailCount; ++trail) {
                if (kFirstTrail + trail == 0x7F)
                    continue;
                pair[0] = static_cast<char>(kFirstLead + lead);
                pair[1] = static_cast<char>(kFirstTrail + trail);
                const std::size_t slot = static_cast<std::size_t>(lead * kTrailCount + trail);
                t->pairs[slot] = singleCharacter(pair);
                t->roundTrips[slot] =
                    t->pairs[slot] != 0 && platform::utf16ToGbk(std::u16string(1, t->pairs[slot])) == pair;
            }
        }
        t->byte80 = singleCharacter("\x80");
        t->byteFF = singleCharacter("\xFF");
        t->byte80RoundTrips = t->byte80 != 0 && platform::utf16ToGbk(std::u16string(1, t->byte80)) == "\x80";
        t->byteFFRoundTrips = t->byteFF != 0 && platform::utf16ToGbk(std::u16string(1, t->byteFF)) == "\xFF";
        return t;
    }();
    return *table;
}

const UnicodeToGbk& unicodeToGbk()
{
    static const std::unique_ptr<UnicodeToGbk> table = [] {
        auto t = std::make_unique<UnicodeToGbk>();
        for (std::uint32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue;
            const std::string gbk = platform::utf16ToGbk(std::u16string(1, static_cast<char16_t>(c)));
            if (gbk.size() == 1 && c != 0)
                (*t)[c] = static_cast<std::uint8_t>(gbk[0]);
            else if (gbk.size() == 2)
                (*t)[c] = static_cast<std::uint16_t>(static_cast<std::uint8_t>(gbk[0]) << 8 |
                                                     static_cast<std::uint8_t>(gbk[1]));
            else if (gbk.empty() && c != 0)
                (*t)[c] = kDropped;
            else if (c != 0)
                (*t)[c] = kUnusual;
        }
        return t;
    }();
    return *table;
}

bool isAscii(const char* bytes, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

void appendUtf8(ByteArray& out, char16_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<std::uint8_t>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<std::uint8_t>(0xC0 | (c >> 6)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<std::uint8_t>(0xE0 | (c >> 12)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
    }
}

// The Unicode character at gbk[pos] and its length in bytes; length 0 when
// the bytes there are not a character the table knows.
char16_t nextCharacter(const GbkToUnicode& table, std::string_view gbk, std::size_t pos, std::size_t& length)
{
    const auto b = static_cast<unsigned char>(gbk[pos]);
    length = 1;
    if (b < 0x80)
        return b;
    if (b == 0x80 || b == 0xFF) {
        const char16_t c = b == 0x80 ? table.byte80 : table.byteFF;
        length = c != 0 ? 1 : 0;
        return c;
    }
    length = 0;
    if (pos + 1 >= gbk.size())
        return 0;
    const int trail = static_cast<unsigned char>(gbk[pos + 1]) - kFirstTrail;
    if (trail < 0 || trail >= kTrailCount)
        return 0;
    const char16_t c = table.pairs[static_cast<std::size_t>((b - kFirstLead) * kTrailCount + trail)];
    if (c != 0)
        length = 2;
    return c;
}

} // namespace

ByteArray toUtf8(std::string_view gbk)
{
    gbk = gbk.substr(0, gbk.find('\0'));
    ByteArray out;
    out.reserve(gbk.size() * 3 / 2 + 1);
    if (!isAscii(gbk.data(), gbk.size())) {
        const GbkToUnicode& table = gbkToUnicode();
        for (std::size_t pos = 0; pos < gbk.size();) {
            std::size_t length;
            const char16_t c = nextCharacter(table, gbk, pos, length);
            if (length == 0) {
                const std::string utf8 = platform::gbkToUtf8(gbk);
                if (utf8.empty())
                    return {};
                out.assign(utf8.begin(), utf8.end());
                break;
            }
            appendUtf8(out, c);
            pos += length;
        }
    } else {
        out.assign(gbk.begin(), gbk.end());
    }
    out.push_back(0);
    return out;
}

std::string fromUtf8(const char* bytes, std::size_t length)
{
    if (bytes == nullptr || length == 0)
        return {};
    if (isAscii(bytes, length))
        return std::string(bytes, length);

    const UnicodeToGbk& table = unicodeToGbk();
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    std::string out;
    out.resize(length);
    char* o = out.data();
    auto continuation = [&](std::size_t k) { return k < length && (s[k] & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < length;) {
        const unsigned char b = s[i];
        std::uint32_t c;
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            ++i;
            continue;
        }
        if (b >= 0xC2 && b < 0xE0 && continuation(i + 1)) {
            c = (b & 0x1Fu) << 6 | (s[i + 1] & 0x3Fu);
            i += 2;
        } else if (b >= 0xE0 && b < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            c = (b & 0x0Fu) << 12 | (s[i + 1] & 0x3Fu) << 6 | (s[i + 2] & 0x3Fu);
            i += 3;
            if (c < 0x800 || (c >= 0xD800 && c < 0xE000))
                return platform::utf8ToGbk(std::string_view(bytes, length));
        } else {
            // Outside the BMP, or not UTF-8: the converter decides.
            return platform::utf8ToGbk(std::string_view(bytes, length));
        }
        // UTF-8 of a BMP character takes at least as many bytes as its GBK form.
        const std::uint16_t g = table[c];
        if (g == kDropped)
            continue;
        if (g == kUnusual)
            return platform::utf8ToGbk(std::string_view(bytes, length));
        if (g >= 0x100)
            *o++ = static_cast<char>(g >> 8);
        *o++ = static_cast<char>(g & 0xFF);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

bool isValidGbk(std::string_view gbk)
{
    if (isAscii(gbk.data(), gbk.size()))
        return true;
    const GbkToUnicode& table = gbkToUnicode();
    for (std::size_t pos = 0; pos < gbk.size();) {
        std::size_t length;
        nextCharacter(table, gbk, pos, length);
        if (length == 0)
            return false;
        if (length == 2) {
            const int lead = static_cast<unsigned char>(gbk[pos]) - kFirstLead;
            const int trail = static_cast<unsigned char>(gbk[pos + 1]) - kFirstTrail;
            if (!table.roundTrips[static_cast<std::size_t>(lead * kTrailCount + trail)])
                return false;
        } else if (gbk[pos] == '\x80' ? !table.byte80RoundTrips : gbk[pos] == '\xFF' && !table.byteFFRoundTrips) {
            return false;
        }
        pos += length;
    }
    return true;
}
