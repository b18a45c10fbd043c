// Split, trim, replace and find of the text rules on arbitrary GBK bytes.
#include "FuzzFields.h"
#include "platform/CodePage.h"
#include "questions/TextRules.h"

#include <string>

namespace {

bool isBoundary(std::string_view text, std::size_t at)
{
    std::size_t pos = 0;
    while (pos < at)
        pos += platform::gbkCharLength(text, pos);
    return pos == at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields fields(data, size);
    const std::string_view separator = fields.next();
    const std::string_view replacement = fields.next();
    const std::string_view text = fields.rest();

    const auto pieces = TextRules::split(text, separator);
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            joined += separator;
        joined += pieces[i];
    }
    // Only a final separator is lost, and only when it ends an empty last piece.
    FUZZ_CHECK(joined == text || joined + std::string(separator) == text);
    FUZZ_CHECK(!text.empty() || pieces.empty());

    const std::size_t hit = TextRules::find(text, separator);
    if (hit != std::string_view::npos) {
        FUZZ_CHECK(text.substr(hit, separator.size()) == separator);
        FUZZ_CHECK(isBoundary(text, hit));
        FUZZ_CHECK(pieces.size() >= 1);
    } else {
        FUZZ_CHECK(pieces.size() <= 1);
    }

    FUZZ_CHECK(TextRules::replaceAll(text, separator, separator) == text);
    const std::string replaced = TextRules::replaceAll(text, separator, replacement);
    if (!separator.empty() && hit == std::string_view::npos)
        FUZZ_CHECK(replaced == text);
    FUZZ_CHECK(TextRules::removeAll(text, separator) == TextRules::replaceAll(text, separator, {}));

    const std::string trimmed = TextRules::trimSpaces(text);
    FUZZ_CHECK(text.find(trimmed) != std::string_view::npos);
    FUZZ_CHECK(TextRules::spaceLengthAt(trimmed, 0) == 0);
    FUZZ_CHECK(TextRules::trimSpaces(trimmed) == trimmed);
    const std::string unspaced = TextRules::removeSpaces(text);
    FUZZ_CHECK(unspaced.size() <= text.size());
    FUZZ_CHECK(TextRules::removeSpaces(unspaced) == unspaced);
    return 0;
}
