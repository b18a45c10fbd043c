#pragma once

#include "platform/RegexEngine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Runs one pattern over one subject and hands out the matches. Texts come in
// and go out as GBK; the engine works on their UTF-16 form. Match and group
// numbers are 1-based. Positions are 0-based byte offsets into the GBK subject,
// -1 when there is no such match or the group took no part in it.
class RegexMatcher {
public:
    // Sets up the engine and executes the pattern on the subject. True when the
    // execution produced a match collection (possibly empty); false for a pattern
    // that does not compile or an execution that ran out of time, after which
    // there are no matches. With
    // quotePlaceholder every "#引号" in the pattern stands for a double quote.
    bool compile(std::string_view pattern, std::string_view subject, std::optional<bool> caseSensitive = {},
                 std::optional<bool> multiline = {}, std::optional<bool> global = {},
                 std::optional<bool> quotePlaceholder = {});

    // The pattern in use; empty before the first compile.
    std::string pattern() const;

    // The subject with the matches replaced ("$1" stands for group 1); empty
    // before the first compile or when the pattern does not compile.
    std::string replace(std::string_view replacement) const;

    int matchCount() const;
    std::string matchText(int match) const;
    std::string matchText(int match, int& position) const;
    std::string subMatchText(int match, int subMatch) const;
    std::string subMatchText(int match, int subMatch, int& position) const;
    // The number of groups of the first match; 0 without matches.
    int subMatchCount() const;

    // Why the last compile or replace failed: a pattern that does not compile,
    // or an execution stopped at its time limit. Empty after a success.
    std::string lastErrorText() const;

private:
    int byteOffset(int utf16Index) const;

    std::optional<platform::RegexEngine> engine_;
    std::vector<platform::RegexMatch> matches_;
    std::u16string subject_;
};
