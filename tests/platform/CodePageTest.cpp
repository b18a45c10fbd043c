#include "platform/CodePage.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The code-page converter itself, for comparison.
class Reference {
public:
    Reference()
    {
        UErrorCode status = U_ZERO_ERROR;
        converter_.reset(ucnv_open("windows-936-2000", &status));
    }
    std::u16string toUnicode(std::string_view gbk)
    {
        std::u16string out(gbk.size() + 1, u'\0');
        UErrorCode status = U_ZERO_ERROR;
        ucnv_reset(converter_.get());
        out.resize(static_cast<std::size_t>(ucnv_toUChars(converter_.get(), reinterpret_cast<UChar*>(out.data()),
                                                          static_cast<int32_t>(out.size()), gbk.data(),
                                                          static_cast<int32_t>(gbk.size()), &status)));
        return out;
    }
    std::string fromUnicode(std::u16string_view unicode)
    {
        std::string out(2 * unicode.size() + 1, '\0');
        UErrorCode status = U_ZERO_ERROR;
        ucnv_reset(converter_.get());
        out.resize(static_cast<std::size_t>(ucnv_fromUChars(
            converter_.get(), out.data(), static_cast<int32_t>(out.size()),
            reinterpret_cast<const UChar*>(unicode.data()), static_cast<int32_t>(unicode.size()), &status)));
        return out;
    }

private:
    struct Closer {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    std::unique_ptr<UConverter, Closer> converter_;
};

std::string utf8Of(std::u16string_view unicode)
{
    std::string out;
    for (std::size_t i = 0; i < unicode.size(); ++i) {
        char32_t c = unicode[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < unicode.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (unicode[++i] - 0xDC00);
        platform::Utf8::append(out, c);
    }
    return out;
}

} // namespace

TEST(CodePage, RoundTripsChineseThroughUtf8)
{
    const std::string gbk = platform::utf8ToGbk("中文");
    EXPECT_EQ(gbk, "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(platform::gbkToUtf8(gbk), "中文");
}

// The tables behind the conversions must give the converter's bytes for every
// code, broken ones included, and every code must come back unchanged.
TEST(CodePage, AgreesWithTheCodePageConverterOnEveryCode)
{
    Reference reference;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail), 'x'};
            const std::u16string expected = reference.toUnicode(gbk);
            ASSERT_EQ(platform::gbkToUtf16(gbk), expected) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(platform::gbkToUtf8(gbk), utf8Of(expected)) << std::hex << lead << ' ' << trail;
            if (platform::firstInvalidGbk(gbk, platform::GbkCheck::CodePage) == npos) {
                ASSERT_EQ(platform::utf8ToGbk(platform::gbkToUtf8(gbk)), gbk) << std::hex << lead << ' ' << trail;
            }
        }
    }
    for (std::uint32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const std::u16string unicode(1, static_cast<char16_t>(c));
        const std::string expected = reference.fromUnicode(unicode);
        ASSERT_EQ(platform::utf16ToGbk(unicode), expected) << std::hex << c;
        ASSERT_EQ(platform::utf8ToGbk(utf8Of(unicode)), expected) << std::hex << c;
        ASSERT_EQ(platform::utf8FitsGbk(utf8Of(unicode)), reference.toUnicode(expected) == unicode) << std::hex << c;
    }
    // Beyond the basic plane: an emoji has no GBK form, a tag character is
    // dropped; lone surrogates have no form either.
    for (const std::u16string& unicode : {std::u16string(u"a\U0001F600b"), std::u16string(u"a\U000E0041b"),
                                          std::u16string(u"a\xD800"), std::u16string(u"\xDC00z")}) {
        EXPECT_EQ(platform::utf16ToGbk(unicode), reference.fromUnicode(unicode));
        EXPECT_FALSE(platform::utf8FitsGbk(utf8Of(unicode)));
    }
    EXPECT_EQ(platform::utf8ToGbk("a\U0001F600b\U000E0041c"), "a?bc");
}

TEST(CodePage, CheckedConversionNamesTheFirstForeignByte)
{
    struct Case {
        std::string gbk;
        std::size_t invalidAt;  // with GbkCheck::Characters
        std::size_t codePageAt; // with GbkCheck::CodePage
    };
    const Case cases[] = {
        {"\xD6\xD0\xCE\xC4 \x80", npos, npos},   // 中文 and the euro sign
        {"ab\xD6", 2, 2},                        // cut off after a lead byte
        {"a\x81\x30\x81\x30", 1, 1},             // a GB18030 four-byte sequence
        {"\x81\x7F", 0, 0},                      // 0x7F cannot trail
        {"\xD6\xD0\xFF", 2, npos},               // 0xFF alone is private use
        {"x\xAA\xA1", 1, npos},                  // the user-defined area
        {std::string(20, 'a') + "\xD6", 20, 20}, // past the ASCII run read eight bytes at a time
    };
    for (const Case& c : cases) {
        std::string utf8 = "kept";
        std::size_t invalidAt = 12345;
        EXPECT_EQ(platform::gbkToUtf8Checked(c.gbk, utf8, invalidAt), c.invalidAt == npos) << c.gbk;
        if (c.invalidAt == npos) {
            EXPECT_EQ(utf8, platform::gbkToUtf8(c.gbk));
        } else {
            EXPECT_EQ(invalidAt, c.invalidAt) << c.gbk;
            EXPECT_TRUE(utf8.empty());
        }
        EXPECT_EQ(platform::firstInvalidGbk(c.gbk, platform::GbkCheck::Characters), c.invalidAt) << c.gbk;
        EXPECT_EQ(platform::firstInvalidGbk(c.gbk, platform::GbkCheck::CodePage), c.codePageAt) << c.gbk;
    }
    // Unchecked, such bytes still convert as they always did.
    EXPECT_EQ(platform::gbkToUtf8("a\x81\x30"), "a\xEF\xBF\xBD"
                                                "0");
    EXPECT_EQ(platform::gbkToUtf8("\xFF"), "\xEF\xA3\xB5"); // U+F8F5
}

TEST(Utf8, ReadsCharactersAndReplacesEachBrokenPieceOnce)
{
    // Each text with the code points read from it; 0 stands for `invalid`.
    const std::pair<std::string, std::u32string> cases[] = {
        {"a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", U"a\u00E9\u4E2D\U0001F600"},
        {"\xC0\x80", {0, 0}},               // overlong: neither byte can start a character
        {"\xE0\x80\x80", {0, 0, 0}},        // overlong three-byte form
        {"\xED\xA0\x80", {0, 0, 0}},        // a surrogate
        {"\xF4\x90\x80\x80", {0, 0, 0, 0}}, // past U+10FFFF
        {"\xE4\xB8z", {0, U'z'}},           // cut short: one piece
        {"\xF0\x9F\x98", {0}},              // cut short at the end
        {"\x80\xFF", {0, 0}},               // stray bytes
    };
    for (const auto& [text, expected] : cases) {
        std::u32string read;
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = platform::Utf8::next(text, pos);
            read.push_back(c == platform::Utf8::invalid ? 0 : c);
        }
        EXPECT_EQ(read, expected) << text;
    }
    EXPECT_EQ(platform::utf8ToGbk("\xE4\xB8z\xC0\x80"), "?z??");
    EXPECT_EQ(platform::Utf8::firstInvalid("plain ascii text, long enough"), npos);
    EXPECT_EQ(platform::Utf8::firstInvalid(std::string(17, 'a') + "\xE4\xB8\xAD\xE4\xB8"), 20u);
    EXPECT_FALSE(platform::Utf8::isValid("\xEF\xBB"));
    EXPECT_TRUE(platform::Utf8::isValid(""));
}
