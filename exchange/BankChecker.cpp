#include "exchange/BankChecker.h"

#include "bank/QuestionRecord.h"
#include "platform/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/uset.h>

#include <algorithm>
#include <bitset>
#include <unordered_map>

namespace {

constexpr std::string_view fullWidthBlank = "\xE3\x80\x80"; // U+3000, GBK A1 A1

bool hasLineBreak(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; });
}

std::string normalizedLineBreaks(std::string_view s)
{
    if (!hasLineBreak(s))
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (s[i] == '\n') {
            out += "\r\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string trimmedTitle(std::string&& title)
{
    std::string_view s = title;
    for (bool changed = true; changed;) {
        changed = false;
        for (std::string_view blank :
             {std::string_view(" "), fullWidthBlank, std::string_view("\r\n"), std::string_view("\t")}) {
            while (s.starts_with(blank)) {
                s.remove_prefix(blank.size());
                changed = true;
            }
            while (s.ends_with(blank)) {
                s.remove_suffix(blank.size());
                changed = true;
            }
        }
    }
    if (s.size() == title.size())
        return std::move(title);
    return std::string(s);
}

std::string withoutSpaces(std::string_view s)
{
    if (s.find(' ') == std::string_view::npos && s.find(fullWidthBlank) == std::string_view::npos)
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ' ')
            continue;
        if (s.substr(i).starts_with(fullWidthBlank)) {
            i += fullWidthBlank.size() - 1;
            continue;
        }
        out += s[i];
    }
    return out;
}

std::string optionName(std::size_t index)
{
    return GBK("选项") + std::string(1, static_cast<char>('A' + index));
}

} // namespace

namespace {

// The characters that GBK holds and gives back unchanged, from the same
// converter the program's own conversions use: one bit per code point of the
// basic plane, the only plane GBK covers.
const std::bitset<0x10000>& gbkCharacters()
{
    static const std::bitset<0x10000> characters = [] {
        std::bitset<0x10000> bits;
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open("windows-936-2000", &status);
        USet* set = uset_openEmpty();
        if (U_SUCCESS(status))
            ucnv_getUnicodeSet(converter, set, UCNV_ROUNDTRIP_SET, &status);
        if (U_SUCCESS(status)) {
            for (int32_t i = 0; i < uset_getItemCount(set); ++i) {
                UChar32 first = 0, last = 0;
                UErrorCode itemStatus = U_ZERO_ERROR;
                if (uset_getItem(set, i, &first, &last, nullptr, 0, &itemStatus) != 0)
                    continue;
                for (UChar32 c = first; c <= last && c < 0x10000; ++c)
                    bits.set(static_cast<std::size_t>(c));
            }
        }
        uset_close(set);
        ucnv_close(converter);
        bits.reset(0);
        return bits;
    }();
    return characters;
}

} // namespace

BankChecker::BankChecker(std::unordered_set<std::string> storedTitles) : storedTitles_(std::move(storedTitles))
{
    earlier_.reserve(4096);
}

void BankChecker::expect(std::size_t questions)
{
    earlier_.reserve(questions);
}

bool BankChecker::fitsGbk(std::string_view utf8)
{
    const std::bitset<0x10000>& characters = gbkCharacters();
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        char32_t cp = 0;
        std::size_t length = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            cp = ((b & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
            length = 2;
            if (cp < 0x80)
                return false;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < n && (s[i + 1] & 0xC0) == 0x80 && (s[i + 2] & 0xC0) == 0x80) {
            cp = ((b & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
            length = 3;
            if (cp < 0x800)
                return false;
        } else {
            return false; // invalid UTF-8, or beyond the basic plane
        }
        if (!characters.test(cp))
            return false;
        i += length;
    }
    return true;
}

CheckedBank BankChecker::check(const ParsedBank& parsed)
{
    CheckedBank result;
    result.problems = parsed.problems;
    result.questionsRead = parsed.questions.size() + parsed.problems.size();
    result.questions.reserve(parsed.questions.size());
    for (const BankQuestion& q : parsed.questions) {
        CheckedQuestion checked;
        if (checkOne(q, checked, result.problems))
            result.questions.push_back(std::move(checked));
    }
    result.accepted = result.questions.size();
    sortProblems(result.problems);
    return result;
}

void BankChecker::sortProblems(std::vector<BankProblem>& problems)
{
    std::stable_sort(problems.begin(), problems.end(),
                     [](const BankProblem& a, const BankProblem& b) { return a.line < b.line; });
}

bool BankChecker::checkOne(const BankQuestion& q, CheckedQuestion& out, std::vector<BankProblem>& problems)
{
    const std::size_t before = problems.size();
    auto report = [&](std::string reason) { problems.push_back({q.line, std::move(reason)}); };
    std::string title = trimmedTitle(normalizedLineBreaks(q.title));
    const bool titleFits = fitsGbk(title);
    if (title.empty())
        report(GBK("没有题目"));
    else if (!titleFits)
        report(GBK("题目中有GBK无法表示的字符"));

    std::vector<std::string> slots;
    slots.reserve(std::max<std::size_t>(q.options.size(), QuestionRecord::slotCount));
    std::size_t filled = 0;
    bool gap = false;
    for (std::size_t i = 0; i < q.options.size(); ++i) {
        const std::string& option = q.options[i];
        if (hasLineBreak(option))
            report(optionName(i) + GBK("中有换行，题库无法保存"));
        if (option.find('|') != std::string::npos)
            report(optionName(i) + GBK("中有竖线“|”，题库无法保存"));
        if (!fitsGbk(option))
            report(optionName(i) + GBK("中有GBK无法表示的字符"));
        std::string cleaned = withoutSpaces(option);
        if (!cleaned.empty()) {
            gap = gap || filled < i;
            filled = i + 1;
        }
        slots.push_back(std::move(cleaned));
    }
    const auto count = std::count_if(slots.begin(), slots.end(), [](const std::string& s) { return !s.empty(); });
    bool optionsFine = false;
    if (count < 2)
        report(GBK("选项少于两个"));
    else if (count > QuestionRecord::slotCount)
        report(GBK("选项多于四个"));
    else if (gap)
        report(GBK("选项中间有空缺"));
    else
        optionsFine = true;

    std::string answer;
    for (char c : q.answer) {
        if (c != ' ' && c != '\t')
            answer += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    if (answer.empty())
        report(GBK("没有答案"));
    else if (answer.size() != 1 || answer[0] < 'A' || answer[0] > 'Z')
        report(GBK("答案应是一个字母A到D"));
    else if (optionsFine && answer[0] - 'A' >= count)
        report(GBK("答案") + answer + GBK("不在选项之内"));

    if (!title.empty() && titleFits) {
        if (storedTitles_.contains(title)) {
            report(GBK("与题库中已有的题目重复"));
        } else if (auto [it, inserted] = earlier_.emplace(title, q.line); !inserted) {
            report(GBK("与第") + std::to_string(it->second) + GBK("行的题目重复"));
        }
    }
    if (problems.size() != before)
        return false;
    slots.resize(QuestionRecord::slotCount);
    out = {q.line, std::move(title), QuestionRecord::packOptions(slots), std::move(answer), std::to_string(count)};
    return true;
}

std::string BankChecker::describe(const BankProblem& problem)
{
    return GBK("第") + std::to_string(problem.line) + GBK("行：") + problem.reason;
}
