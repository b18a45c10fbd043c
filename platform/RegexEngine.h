#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One match of an execution. Positions count UTF-16 units from the start of the
// subject. A group that took no part in the match has an empty value and the
// position -1.
struct RegexMatch {
    std::u16string value;
    int firstIndex = 0;
    std::vector<std::u16string> subMatches;
    std::vector<int> subMatchIndexes;
};

// A regular-expression engine that behaves like the scripting engine the
// program's patterns were written for: ECMAScript-style syntax (a "[" inside a
// class is a plain character, a lone "{" or "}" is literal, "\y" means "y"),
// IgnoreCase/Multiline/Global switches, and "$1"-style replacement texts.
// Patterns are translated to ICU syntax and run by ICU on UTF-16 text.
class RegexEngine {
public:
    void setIgnoreCase(bool on) { ignoreCase_ = on; }
    void setMultiline(bool on) { multiline_ = on; }
    void setGlobal(bool on) { global_ = on; }
    bool ignoreCase() const { return ignoreCase_; }
    bool multiline() const { return multiline_; }
    bool global() const { return global_; }

    void setPattern(std::u16string_view pattern) { pattern_ = pattern; }
    const std::u16string& pattern() const { return pattern_; }

    // Finds every match (or only the first one without Global). False when the
    // pattern does not compile; matches is then empty.
    bool execute(std::u16string_view subject, std::vector<RegexMatch>& matches) const;

    // The subject with the matches replaced. In the replacement "$1".."$99" stand
    // for groups, "$&" for the match, "$`" and "$'" for the text before and after
    // it, "$$" for a dollar sign; anything else is copied. False when the pattern
    // does not compile.
    bool replace(std::u16string_view subject, std::u16string_view replacement, std::u16string& result) const;

private:
    std::u16string pattern_;
    bool ignoreCase_ = false;
    bool multiline_ = false;
    bool global_ = false;
};

} // namespace platform
