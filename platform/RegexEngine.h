#pragma once

#include <chrono>
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
//
// Every execution ends in bounded time: an empty match moves the search on by
// one whole character, and a pattern that backtracks without end is stopped by
// ICU's work limit or by the time limit of the whole execution, which then
// fails with a reason in lastErrorText.
class RegexEngine {
public:
    static constexpr std::chrono::milliseconds defaultTimeLimit{1000};

    void setIgnoreCase(bool on) { ignoreCase_ = on; }
    void setMultiline(bool on) { multiline_ = on; }
    void setGlobal(bool on) { global_ = on; }
    bool ignoreCase() const { return ignoreCase_; }
    bool multiline() const { return multiline_; }
    bool global() const { return global_; }

    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    std::chrono::milliseconds timeLimit() const { return timeLimit_; }

    void setPattern(std::u16string_view pattern) { pattern_ = pattern; }
    const std::u16string& pattern() const { return pattern_; }

    // Finds every match (or only the first one without Global). False when the
    // pattern does not compile or the execution was stopped; matches is then
    // empty.
    bool execute(std::u16string_view subject, std::vector<RegexMatch>& matches) const;

    // The subject with the matches replaced. In the replacement "$1".."$99" stand
    // for groups, "$&" for the match, "$`" and "$'" for the text before and after
    // it, "$$" for a dollar sign; anything else is copied. False when the pattern
    // does not compile or the execution was stopped.
    bool replace(std::u16string_view subject, std::u16string_view replacement, std::u16string& result) const;

    // Why the last execute or replace failed (UTF-8); empty after a success.
    const std::string& lastErrorText() const { return lastErrorText_; }

private:
    std::u16string pattern_;
    std::chrono::milliseconds timeLimit_ = defaultTimeLimit;
    mutable std::string lastErrorText_;
    bool ignoreCase_ = false;
    bool multiline_ = false;
    bool global_ = false;
};

} // namespace platform
