// The regular-expression helpers on arbitrary GBK patterns, subjects and
// markers: every call returns, positions stay inside the subject.
#include "FuzzFields.h"
#include "db/RegexMatcher.h"
#include "db/RegexText.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields fields(data, size);
    const unsigned switches = fields.nextByte();
    const std::string_view pattern = fields.next();
    const std::string_view replacement = fields.next();
    const std::string_view subject = fields.rest();

    RegexMatcher matcher;
    const bool compiled = matcher.compile(pattern, subject, (switches & 1) != 0, (switches & 2) != 0,
                                          (switches & 4) != 0, (switches & 8) != 0);
    FUZZ_CHECK(compiled || matcher.matchCount() == 0);
    FUZZ_CHECK(compiled || !matcher.lastErrorText().empty());
    for (int i = 1; i <= matcher.matchCount(); ++i) {
        int position = -2;
        const std::string text = matcher.matchText(i, position);
        FUZZ_CHECK(position >= 0 && static_cast<std::size_t>(position) + text.size() <= subject.size() + 2 * text.size());
        for (int g = 1; g <= matcher.subMatchCount(); ++g) {
            matcher.subMatchText(i, g, position);
            FUZZ_CHECK(position >= -1 && static_cast<std::size_t>(position + 1) <= subject.size() + 1);
        }
    }
    FUZZ_CHECK(matcher.matchText(0).empty() && matcher.matchText(matcher.matchCount() + 1).empty());
    const std::string replaced = matcher.replace(replacement);
    if (compiled && matcher.matchCount() == 0 && (switches & 4) != 0)
        FUZZ_CHECK(replaced.empty() == subject.empty());

    // The markers come from the pattern field, split at its first "|".
    const std::size_t bar = pattern.find('|');
    const std::string_view left = pattern.substr(0, bar);
    const std::string_view right = bar == std::string_view::npos ? std::string_view() : pattern.substr(bar + 1);
    const std::string escaped = escapeRegexText(left);
    FUZZ_CHECK(escaped.size() <= 2 * left.size() + 2);
    std::vector<std::string> pieces{"stale"};
    extractAllBetween(subject, left, right, pieces, static_cast<int>(switches >> 4), "<", ">", (switches & 1) != 0,
                      (switches & 2) != 0);
    for (const std::string& piece : pieces)
        FUZZ_CHECK(piece.size() >= 2 && (switches >> 4 == 0 || piece.size() <= (switches >> 4) + 2 + 2 * pattern.size()));

    FUZZ_CHECK(replaceMany(subject) == subject);
    const std::string many = replaceMany(subject, static_cast<int>(switches % 5) - 1, static_cast<int>(switches >> 5),
                                         (switches & 8) != 0, left, replacement, right, replacement);
    if (left.empty() && right.empty())
        FUZZ_CHECK(many == subject);
    return 0;
}
