#include "exchange/BankChecker.h"

#include "platform/CodePage.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionKind.h"
#include "questions/QuestionRecord.h"

#include <algorithm>

namespace {

constexpr std::string_view fullWidthBlank = "\xE3\x80\x80"; // U+3000, GBK A1 A1

bool hasLineBreak(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; });
}

// Line breaks at either end become CR LF pairs and go with the blanks around
// them, so the ends are trimmed before the breaks inside are made CR LF.
std::string_view trimmedTitle(std::string_view s)
{
    for (bool changed = true; changed;) {
        changed = false;
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n')) {
            s.remove_prefix(1);
            changed = true;
        }
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
            s.remove_suffix(1);
            changed = true;
        }
        if (s.starts_with(fullWidthBlank)) {
            s.remove_prefix(fullWidthBlank.size());
            changed = true;
        }
        if (s.ends_with(fullWidthBlank)) {
            s.remove_suffix(fullWidthBlank.size());
            changed = true;
        }
    }
    return s;
}

void assignWithCrLf(std::string& out, std::string_view s)
{
    if (!hasLineBreak(s)) {
        out.assign(s);
        return;
    }
    out.clear();
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
}

// Appends s without its spaces, half and full width; false when nothing was left.
bool appendWithoutSpaces(std::string& out, std::string_view s)
{
    const std::size_t before = out.size();
    std::size_t from = 0;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t blank = 0;
        if (s[i] == ' ')
            blank = 1;
        else if (s[i] == fullWidthBlank[0] && s.substr(i).starts_with(fullWidthBlank))
            blank = fullWidthBlank.size();
        if (blank == 0) {
            ++i;
            continue;
        }
        out.append(s, from, i - from);
        i += blank;
        from = i;
    }
    out.append(s, from);
    return out.size() != before;
}

std::string optionName(std::size_t index)
{
    return GBK("选项") + std::string(1, static_cast<char>('A' + index));
}

// A stated type is held against the key once the key itself is sound.
template <typename Report>
void checkType(std::string_view stated, const std::string& answer, bool answerFine, std::size_t count, Report& report)
{
    const std::string type(trimmedTitle(stated));
    if (type.empty())
        return;
    const std::optional<QuestionKind::Kind> kind = QuestionKind::parse(type);
    if (!kind) {
        report(GBK("题型应是单选、多选或判断"));
        return;
    }
    if (!answerFine)
        return;
    const std::string reason = QuestionKind::disagreement(*kind, type, answer, static_cast<int>(count));
    if (!reason.empty())
        report(reason);
}

} // namespace

BankChecker::BankChecker(TitleIndex storedTitles) : titles_(std::move(storedTitles))
{
}

void BankChecker::expect(std::size_t questions)
{
    titles_.reserve(questions);
}

bool BankChecker::fitsGbk(std::string_view utf8)
{
    return platform::utf8FitsGbk(utf8);
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
    std::string& title = out.title;
    assignWithCrLf(title, trimmedTitle(q.title));
    const std::uint64_t titleHash = titles_.prepare(title);
    const bool titleFits = fitsGbk(title);
    if (title.empty())
        report(GBK("没有题目"));
    else if (!titleFits)
        report(GBK("题目中有GBK无法表示的字符"));

    // The four slots go straight into their packed form; options past them
    // are only counted, since a question that fills one is refused.
    std::string& tmnr = out.tmnr;
    tmnr.clear();
    std::size_t count = 0;
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
        const bool inSlot = i < QuestionRecord::slotCount;
        if (!inSlot)
            spill_.clear();
        if (appendWithoutSpaces(inSlot ? tmnr : spill_, option)) {
            ++count;
            gap = gap || filled < i;
            filled = i + 1;
        }
        if (inSlot)
            tmnr += QuestionRecord::optionSeparator;
    }
    for (std::size_t i = q.options.size(); i < QuestionRecord::slotCount; ++i)
        tmnr += QuestionRecord::optionSeparator;
    bool optionsFine = false;
    if (count < 2)
        report(GBK("选项少于两个"));
    else if (count > QuestionRecord::slotCount)
        report(GBK("选项多于四个"));
    else if (gap)
        report(GBK("选项中间有空缺"));
    else
        optionsFine = true;

    std::string& answer = out.answer;
    answer.clear();
    for (char c : q.answer) {
        if (c != ' ' && c != '\t')
            answer += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    bool answerFine = false;
    if (answer.empty())
        report(GBK("没有答案"));
    else if (answer.size() > 1 && std::all_of(answer.begin(), answer.end(),
                                              [](char c) { return c >= 'A' && c < 'A' + AnswerKey::maxOptions; })) {
        if (optionsFine) {
            AnswerKey::Checked key = AnswerKey::check(answer, static_cast<int>(count));
            answerFine = !key.key.empty();
            if (answerFine)
                answer = std::move(key.key);
            else
                report(GBK("答案") + answer + GBK("有误：") + key.reason);
        }
    } else if (answer.size() != 1 || answer[0] < 'A' || answer[0] > 'Z')
        report(GBK("答案应是一个字母A到D"));
    else if (optionsFine && static_cast<std::size_t>(answer[0] - 'A') >= count)
        report(GBK("答案") + answer + GBK("不在选项之内"));
    else
        answerFine = true;
    checkType(q.type, answer, answerFine, count, report);
    out.category = trimmedTitle(q.category);
    if (!fitsGbk(out.category))
        report(GBK("分类中有GBK无法表示的字符"));

    if (!title.empty() && titleFits) {
        if (TitleIndex::Found first; titles_.findOrAdd(title, titleHash, q.line, first))
            report(first.stored ? GBK("与题库中已有的题目重复")
                                : GBK("与第") + std::to_string(first.line) + GBK("行的题目重复"));
    }
    if (problems.size() != before)
        return false;
    out.line = q.line;
    out.did = std::to_string(count);
    return true;
}

std::string BankChecker::describe(const BankProblem& problem)
{
    return GBK("第") + std::to_string(problem.line) + GBK("行：") + problem.reason;
}
