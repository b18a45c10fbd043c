#include "exchange/BankChecker.h"

#include "bank/QuestionRecord.h"
#include "platform/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <unordered_map>

namespace {

constexpr std::string_view fullWidthBlank = "\xE3\x80\x80"; // U+3000, GBK A1 A1

std::string normalizedLineBreaks(std::string_view s)
{
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

std::string trimmedTitle(std::string_view s)
{
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
    return std::string(s);
}

std::string withoutSpaces(std::string_view s)
{
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

struct BankChecker::Converter {
    UConverter* gbk = nullptr;
    std::u16string wide;
    std::string narrow;
    ~Converter()
    {
        if (gbk != nullptr)
            ucnv_close(gbk);
    }
};

BankChecker::BankChecker(std::unordered_set<std::string> storedTitles)
    : converter_(std::make_unique<Converter>()), storedTitles_(std::move(storedTitles))
{
    UErrorCode status = U_ZERO_ERROR;
    converter_->gbk = ucnv_open("windows-936-2000", &status);
    if (U_SUCCESS(status)) {
        ucnv_setFallback(converter_->gbk, false);
        ucnv_setFromUCallBack(converter_->gbk, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }
}

BankChecker::~BankChecker() = default;

bool BankChecker::fitsGbk(std::string_view utf8)
{
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](unsigned char c) { return c != 0 && c < 0x80; });
    if (ascii || utf8.empty())
        return true;
    if (converter_->gbk == nullptr || utf8.find('\0') != std::string_view::npos)
        return false;
    Converter& c = *converter_;
    c.wide.resize(utf8.size() + 1);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(reinterpret_cast<UChar*>(c.wide.data()), static_cast<int32_t>(c.wide.size()), &length, utf8.data(),
                  static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status))
        return false;
    c.narrow.resize(static_cast<std::size_t>(length) * 2 + 2);
    ucnv_resetFromUnicode(c.gbk);
    ucnv_fromUChars(c.gbk, c.narrow.data(), static_cast<int32_t>(c.narrow.size()),
                    reinterpret_cast<const UChar*>(c.wide.data()), length, &status);
    return U_SUCCESS(status);
}

CheckedBank BankChecker::check(const ParsedBank& parsed)
{
    CheckedBank result;
    result.problems = parsed.problems;
    result.questionsRead = parsed.questions.size() + parsed.problems.size();
    result.questions.reserve(parsed.questions.size());
    std::unordered_map<std::string, int> earlier;
    earlier.reserve(parsed.questions.size());
    for (const BankQuestion& q : parsed.questions) {
        const std::size_t before = result.problems.size();
        auto report = [&](std::string reason) { result.problems.push_back({q.line, std::move(reason)}); };
        const std::string title = trimmedTitle(normalizedLineBreaks(q.title));
        bool titleFits = fitsGbk(title);
        if (title.empty())
            report(GBK("没有题目"));
        else if (!titleFits)
            report(GBK("题目中有GBK无法表示的字符"));

        std::vector<std::string> slots;
        std::size_t filled = 0;
        bool gap = false;
        for (std::size_t i = 0; i < q.options.size(); ++i) {
            const std::string& option = q.options[i];
            if (option.find_first_of("\r\n") != std::string::npos)
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
            } else if (auto [it, inserted] = earlier.emplace(title, q.line); !inserted) {
                report(GBK("与第") + std::to_string(it->second) + GBK("行的题目重复"));
            }
        }
        if (result.problems.size() != before)
            continue;
        slots.resize(QuestionRecord::slotCount);
        result.questions.push_back(
            {q.line, title, QuestionRecord::packOptions(slots), std::move(answer), std::to_string(count)});
    }
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const BankProblem& a, const BankProblem& b) { return a.line < b.line; });
    return result;
}

std::string BankChecker::describe(const BankProblem& problem)
{
    return GBK("第") + std::to_string(problem.line) + GBK("行：") + problem.reason;
}
