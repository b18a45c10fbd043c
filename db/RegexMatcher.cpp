#include "db/RegexMatcher.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace {

void replaceAllUtf16(std::u16string& text, std::u16string_view find, std::u16string_view replacement)
{
    std::size_t pos = 0;
    while ((pos = text.find(find, pos)) != std::u16string::npos) {
        text.replace(pos, find.size(), replacement);
        pos += replacement.size();
    }
}

} // namespace

bool RegexMatcher::compile(std::string_view pattern, std::string_view subject, std::optional<bool> caseSensitive,
                           std::optional<bool> multiline, std::optional<bool> global,
                           std::optional<bool> quotePlaceholder)
{
    if (!engine_)
        engine_.emplace();
    engine_->setIgnoreCase(!caseSensitive.value_or(false));
    engine_->setMultiline(multiline.value_or(true));
    engine_->setGlobal(global.value_or(true));

    std::u16string wide = platform::gbkToUtf16(pattern);
    if (quotePlaceholder.value_or(false))
        replaceAllUtf16(wide, u"#引号", u"\"");
    engine_->setPattern(wide);
    subject_ = platform::gbkToUtf16(subject);
    return engine_->execute(subject_, matches_);
}

std::string RegexMatcher::pattern() const
{
    if (!engine_)
        return {};
    return platform::utf16ToGbk(engine_->pattern());
}

std::string RegexMatcher::replace(std::string_view replacement) const
{
    if (!engine_)
        return {};
    std::u16string result;
    if (!engine_->replace(subject_, platform::gbkToUtf16(replacement), result))
        return {};
    return platform::utf16ToGbk(result);
}

int RegexMatcher::matchCount() const
{
    return static_cast<int>(matches_.size());
}

std::string RegexMatcher::matchText(int match) const
{
    int ignored = 0;
    return matchText(match, ignored);
}

std::string RegexMatcher::matchText(int match, int& position) const
{
    position = -1;
    if (match < 1 || match > matchCount())
        return {};
    const platform::RegexMatch& m = matches_[static_cast<std::size_t>(match - 1)];
    position = byteOffset(m.firstIndex);
    return platform::utf16ToGbk(m.value);
}

std::string RegexMatcher::subMatchText(int match, int subMatch) const
{
    int ignored = 0;
    return subMatchText(match, subMatch, ignored);
}

std::string RegexMatcher::subMatchText(int match, int subMatch, int& position) const
{
    position = -1;
    if (match < 1 || match > matchCount())
        return {};
    const platform::RegexMatch& m = matches_[static_cast<std::size_t>(match - 1)];
    if (subMatch < 1 || subMatch > static_cast<int>(m.subMatches.size()))
        return {};
    const auto k = static_cast<std::size_t>(subMatch - 1);
    if (m.subMatchIndexes[k] >= 0)
        position = byteOffset(m.subMatchIndexes[k]);
    return platform::utf16ToGbk(m.subMatches[k]);
}

int RegexMatcher::subMatchCount() const
{
    if (matches_.empty())
        return 0;
    return static_cast<int>(matches_.front().subMatches.size());
}

std::string RegexMatcher::lastErrorText() const
{
    if (!engine_)
        return {};
    return platform::utf8ToGbk(engine_->lastErrorText());
}

// Measured on the converted prefix rather than searched for, so a match text
// that also occurs earlier in the subject still gets its own position.
int RegexMatcher::byteOffset(int utf16Index) const
{
    const auto end = std::min(static_cast<std::size_t>(utf16Index), subject_.size());
    return static_cast<int>(platform::utf16ToGbk(std::u16string_view(subject_).substr(0, end)).size());
}
