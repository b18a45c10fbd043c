#include "platform/RegexEngine.h"

#include <unicode/regex.h>
#include <unicode/utf16.h>

#include <memory>

namespace platform {
namespace {

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiPunctuation(char16_t c)
{
    return c > u' ' && c < 0x7F && !isAsciiLetter(c) && !(c >= u'0' && c <= u'9');
}

bool hexDigitsAt(std::u16string_view p, std::size_t pos, std::size_t count)
{
    if (pos + count > p.size())
        return false;
    for (std::size_t k = pos; k < pos + count; ++k)
        if (!isHexDigit(p[k]))
            return false;
    return true;
}

// Length of a "{n}", "{n,}" or "{n,m}" quantifier starting at p[pos], 0 when
// the brace does not start one (it is then a literal brace).
std::size_t quantifierLength(std::u16string_view p, std::size_t pos)
{
    std::size_t i = pos + 1;
    auto digits = [&] {
        std::size_t start = i;
        while (i < p.size() && p[i] >= u'0' && p[i] <= u'9')
            ++i;
        return i - start;
    };
    if (digits() == 0)
        return 0;
    if (i < p.size() && p[i] == u',') {
        ++i;
        digits();
    }
    if (i < p.size() && p[i] == u'}')
        return i + 1 - pos;
    return 0;
}

// Translates the escape at p[pos] (a backslash) and returns how many units it
// took. ICU reserves many letter escapes that mean the plain letter here.
std::size_t translateEscape(std::u16string_view p, std::size_t pos, bool inClass, std::u16string& out)
{
    if (pos + 1 >= p.size()) {
        out += u"\\\\";
        return 1;
    }
    char16_t c = p[pos + 1];
    if (c >= u'0' && c <= u'9') {
        out += u'\\';
        out += c;
        return 2;
    }
    if (!isAsciiLetter(c)) {
        if (isAsciiPunctuation(c))
            out += u'\\';
        out += c;
        return 2;
    }
    switch (c) {
    case u'd':
    case u'D':
    case u'w':
    case u'W':
    case u's':
    case u'S':
    case u'n':
    case u'r':
    case u't':
    case u'f':
        out += u'\\';
        out += c;
        return 2;
    case u'b':
        out += inClass ? u"\\x{08}" : u"\\b";
        return 2;
    case u'B':
        out += inClass ? u"B" : u"\\B";
        return 2;
    case u'v':
        out += u"\\x{0B}";
        return 2;
    case u'c':
        if (pos + 2 < p.size() && isAsciiLetter(p[pos + 2])) {
            out += u"\\c";
            out += p[pos + 2];
            return 3;
        }
        out += u"\\\\c";
        return 2;
    case u'x':
        if (hexDigitsAt(p, pos + 2, 2)) {
            out += u"\\x{";
            out += p.substr(pos + 2, 2);
            out += u'}';
            return 4;
        }
        out += u'x';
        return 2;
    case u'u':
        if (hexDigitsAt(p, pos + 2, 4)) {
            out += u"\\u";
            out += p.substr(pos + 2, 4);
            return 6;
        }
        out += u'u';
        return 2;
    default:
        out += c;
        return 2;
    }
}

// ECMAScript-style pattern to ICU syntax. Differences handled: "[" and other
// set operators inside a class are plain characters, "[]" matches nothing and
// "[^]" anything, braces that do not form a quantifier are literal, and "$"
// without Multiline matches only at the very end.
std::u16string toIcuSyntax(std::u16string_view p, bool multiline)
{
    std::u16string out;
    out.reserve(p.size() + 8);
    std::size_t i = 0;
    while (i < p.size()) {
        char16_t c = p[i];
        if (c == u'\\') {
            i += translateEscape(p, i, false, out);
        } else if (c == u'[') {
            if (p.substr(i, 2) == u"[]") {
                out += u"(?!)";
                i += 2;
                continue;
            }
            if (p.substr(i, 3) == u"[^]") {
                out += u"[\\s\\S]";
                i += 3;
                continue;
            }
            out += u'[';
            ++i;
            if (i < p.size() && p[i] == u'^') {
                out += u'^';
                ++i;
            }
            std::size_t classStart = i;
            while (i < p.size() && p[i] != u']') {
                char16_t k = p[i];
                if (k == u'\\') {
                    i += translateEscape(p, i, true, out);
                    continue;
                }
                if (k == u'-') {
                    bool edge = i == classStart || i + 1 >= p.size() || p[i + 1] == u']';
                    out += edge ? u"\\-" : u"-";
                } else if (isAsciiPunctuation(k)) {
                    out += u'\\';
                    out += k;
                } else {
                    out += k;
                }
                ++i;
            }
            if (i < p.size()) {
                out += u']';
                ++i;
            }
        } else if (c == u'{') {
            std::size_t n = quantifierLength(p, i);
            if (n > 0) {
                out += p.substr(i, n);
                i += n;
            } else {
                out += u"\\{";
                ++i;
            }
        } else if (c == u'}') {
            out += u"\\}";
            ++i;
        } else if (c == u'$' && !multiline) {
            out += u"\\z";
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// ICU counts its matching work in units of 10,000 saved backtracking states,
// around a millisecond each. No pattern the program writes comes near the
// limit for one match; a pathological one reaches it in well under a second.
constexpr int32_t matchWorkLimit = 300;

using Clock = std::chrono::steady_clock;

// Called by ICU once per unit of work; stopping there ends a match that keeps
// backtracking, wherever in the subject it started.
UBool beforeDeadline(const void* context, int32_t)
{
    return Clock::now() < *static_cast<const Clock::time_point*>(context);
}

std::unique_ptr<icu::RegexPattern> compilePattern(const std::u16string& source, bool ignoreCase, bool multiline,
                                                  UErrorCode& status)
{
    std::u16string translated = toIcuSyntax(source, multiline);
    uint32_t flags = 0;
    if (ignoreCase)
        flags |= UREGEX_CASE_INSENSITIVE;
    if (multiline)
        flags |= UREGEX_MULTILINE;
    UParseError parseError;
    icu::UnicodeString text(translated.data(), static_cast<int32_t>(translated.size()));
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(text, flags, parseError, status));
    if (U_FAILURE(status))
        return nullptr;
    return compiled;
}

std::u16string toU16(const icu::UnicodeString& s)
{
    return std::u16string(s.getBuffer(), static_cast<std::size_t>(s.length()));
}

// Expands "$" references of a replacement text for one match.
void appendExpansion(std::u16string& out, std::u16string_view replacement, std::u16string_view subject,
                     const RegexMatch& m)
{
    const std::size_t groups = m.subMatches.size();
    std::size_t i = 0;
    while (i < replacement.size()) {
        char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out += c;
            ++i;
            continue;
        }
        char16_t d = replacement[i + 1];
        if (d == u'$') {
            out += u'$';
            i += 2;
        } else if (d == u'&') {
            out += m.value;
            i += 2;
        } else if (d == u'`') {
            out += subject.substr(0, static_cast<std::size_t>(m.firstIndex));
            i += 2;
        } else if (d == u'\'') {
            std::size_t end = static_cast<std::size_t>(m.firstIndex) + m.value.size();
            if (end < subject.size())
                out += subject.substr(end);
            i += 2;
        } else if (d >= u'0' && d <= u'9') {
            std::size_t one = static_cast<std::size_t>(d - u'0');
            std::size_t two = groups + 1;
            if (i + 2 < replacement.size() && replacement[i + 2] >= u'0' && replacement[i + 2] <= u'9')
                two = one * 10 + static_cast<std::size_t>(replacement[i + 2] - u'0');
            if (two >= 1 && two <= groups) {
                out += m.subMatches[two - 1];
                i += 3;
            } else if (one >= 1 && one <= groups) {
                out += m.subMatches[one - 1];
                i += 2;
            } else {
                out += u'$';
                ++i;
            }
        } else {
            out += u'$';
            ++i;
        }
    }
}

} // namespace

bool RegexEngine::execute(std::u16string_view subject, std::vector<RegexMatch>& matches) const
{
    matches.clear();
    lastErrorText_.clear();
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled = compilePattern(pattern_, ignoreCase_, multiline_, status);
    if (!compiled) {
        lastErrorText_ = std::string("正则表达式有误：") + u_errorName(status);
        return false;
    }
    icu::UnicodeString input(subject.data(), static_cast<int32_t>(subject.size()));
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(input, status));
    if (U_FAILURE(status)) {
        lastErrorText_ = std::string("正则表达式无法执行：") + u_errorName(status);
        return false;
    }
    const Clock::time_point deadline = Clock::now() + timeLimit_;
    matcher->setTimeLimit(matchWorkLimit, status);
    matcher->setMatchCallback(beforeDeadline, &deadline, status);
    const int32_t groups = matcher->groupCount();
    const auto length = static_cast<int32_t>(subject.size());
    int32_t from = 0;
    // Each search starts where the last match ended; after an empty match it
    // starts one whole character (both halves of a surrogate pair) further,
    // so a pattern that matches the empty text still walks off the subject.
    while (from <= length && U_SUCCESS(status) && matcher->find(from, status) && U_SUCCESS(status)) {
        RegexMatch m;
        m.firstIndex = matcher->start(status);
        const int32_t end = matcher->end(status);
        m.value = toU16(matcher->group(status));
        for (int32_t g = 1; g <= groups; ++g) {
            int32_t start = matcher->start(g, status);
            m.subMatchIndexes.push_back(start);
            m.subMatches.push_back(start < 0 ? std::u16string() : toU16(matcher->group(g, status)));
        }
        matches.push_back(std::move(m));
        if (!global_)
            break;
        from = end;
        if (end == matches.back().firstIndex) {
            if (end >= length)
                break;
            U16_FWD_1(subject.data(), from, length);
        }
        if (Clock::now() >= deadline)
            status = U_REGEX_STOPPED_BY_CALLER;
    }
    if (U_FAILURE(status)) {
        matches.clear();
        if (status == U_REGEX_TIME_OUT || status == U_REGEX_STOPPED_BY_CALLER)
            lastErrorText_ = "正则表达式匹配超时，已中止：模式回溯过多或文本过长";
        else
            lastErrorText_ = std::string("正则表达式匹配失败：") + u_errorName(status);
        return false;
    }
    return true;
}

bool RegexEngine::replace(std::u16string_view subject, std::u16string_view replacement, std::u16string& result) const
{
    std::vector<RegexMatch> matches;
    if (!execute(subject, matches))
        return false;
    std::u16string out;
    std::size_t copied = 0;
    for (const RegexMatch& m : matches) {
        std::size_t start = static_cast<std::size_t>(m.firstIndex);
        out += subject.substr(copied, start - copied);
        appendExpansion(out, replacement, subject, m);
        copied = start + m.value.size();
    }
    out += subject.substr(copied);
    result = std::move(out);
    return true;
}

} // namespace platform
