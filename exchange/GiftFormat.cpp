#include "exchange/GiftFormat.h"

#include "exchange/TextEncoding.h"
#include "platform/CodePage.h"

#include "questions/AnswerKey.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr std::string_view special = "~=#{}:\\";

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

std::string unescaped(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            ++i;
            if (s[i] == 'n')
                out += "\r\n";
            else
                out += s[i];
        } else {
            out += s[i];
        }
    }
    return out;
}

// Position of the first c at or after from that no backslash escapes.
std::size_t findPlain(std::string_view s, char c, std::size_t from = 0)
{
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == '\\')
            ++i;
        else if (s[i] == c)
            return i;
    }
    return std::string_view::npos;
}

std::string joinedLines(std::string_view text)
{
    std::string out;
    for (std::string_view line : TextDecoder::lines(text)) {
        if (!out.empty())
            out += "\r\n";
        out += trimmed(line);
    }
    return out;
}

// The text formats GIFT names in brackets before a text.
bool isFormatMarker(std::string_view text)
{
    if (!text.starts_with('['))
        return false;
    const std::size_t end = text.find(']');
    if (end == std::string_view::npos)
        return false;
    std::string name(text.substr(1, end - 1));
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name == "html" || name == "moodle" || name == "plain" || name == "markdown";
}

// Moodle's multiple-answer form, "{~%50%A ~%50%B ~%-100%C}": the bank marks
// a question all or nothing, so it can hold the weights only when the right
// answers share the full mark equally (33.33333 three times is a third each)
// and the others give nothing or take away.
std::optional<std::string> weightedKey(const std::vector<std::string_view>& weights, std::string& key)
{
    std::vector<double> values;
    for (std::string_view w : weights) {
        double value = 0;
        if (!w.empty()) {
            const auto [end, error] = std::from_chars(w.data(), w.data() + w.size(), value);
            if (error != std::errc() || end != w.data() + w.size())
                return GBK("答案的权重“%") + platform::utf8ToGbk(w) + GBK("%”不是数字");
        }
        values.push_back(value);
    }
    const auto right = static_cast<double>(std::count_if(values.begin(), values.end(), [](double v) { return v > 0; }));
    if (right == 0)
        return GBK("需要恰好一个正确答案（以“=”开头）");
    key.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] <= 0)
            continue;
        if (std::abs(values[i] - 100 / right) >= 1)
            return GBK(
                "各答案的权重不是同等计分的多选题，题库无法表示（正确答案的权重应相同且合计100%，其余为0或负数）");
        key += static_cast<char>('A' + i);
    }
    return std::nullopt;
}

// One block of text between blank lines: a question, or a reason it is none.
std::optional<std::string> parseBlock(std::string_view block, BankQuestion& q)
{
    block = trimmed(block);
    if (block.starts_with("::")) {
        const std::size_t end = block.find("::", 2);
        if (end == std::string_view::npos)
            return GBK("题目名称缺少结尾的“::”");
        block = trimmed(block.substr(end + 2));
    }
    if (isFormatMarker(block))
        block = trimmed(block.substr(block.find(']') + 1));
    const std::size_t open = findPlain(block, '{');
    if (open == std::string_view::npos)
        return GBK("缺少答案部分“{…}”");
    const std::size_t close = findPlain(block, '}', open + 1);
    if (close == std::string_view::npos)
        return GBK("答案部分缺少结尾的“}”");
    // Lines are joined before the escapes are undone, so that a line break
    // written as \n keeps the spaces beside it.
    const std::string before = unescaped(joinedLines(trimmed(block.substr(0, open))));
    const std::string after = unescaped(joinedLines(trimmed(block.substr(close + 1))));
    // Text after the answers makes a gap question: the gap stands where the answers were.
    q.title = after.empty() ? before : before + "( )" + after;
    const std::string_view answers = block.substr(open + 1, close - open - 1);
    // Only a question without wrong answers can be a matching one; in a
    // choice an arrow is text.
    const bool choice = findPlain(answers, '~') != std::string_view::npos;
    int right = 0;
    bool marked = false;                   // some answer starts with "="
    std::vector<std::string_view> weights; // per option, empty when it has none
    std::size_t at = 0;
    while (true) {
        std::size_t tilde = findPlain(answers, '~', at);
        std::size_t equals = findPlain(answers, '=', at);
        const std::size_t start = std::min(tilde, equals);
        if (start == std::string_view::npos) {
            if (!trimmed(answers.substr(at)).empty() && q.options.empty())
                return GBK("不是选择题（只支持“=对 ~错”形式的单项选择题）");
            break;
        }
        if (q.options.empty() && !trimmed(answers.substr(at, start - at)).empty())
            return GBK("不是选择题（只支持“=对 ~错”形式的单项选择题）");
        const std::size_t next = std::min(findPlain(answers, '~', start + 1), findPlain(answers, '=', start + 1));
        std::string_view option =
            answers.substr(start + 1, next == std::string_view::npos ? std::string_view::npos : next - start - 1);
        option = option.substr(0, findPlain(option, '#'));
        bool isRight = answers[start] == '=';
        marked = marked || isRight;
        weights.emplace_back();
        if (option.starts_with('%')) {
            const std::size_t end = option.find('%', 1);
            if (end == std::string_view::npos)
                return GBK("答案的权重缺少结尾的“%”");
            weights.back() = option.substr(1, end - 1);
            isRight = weights.back() == "100";
            option.remove_prefix(end + 1);
        }
        if (!choice && findPlain(option, '-') != std::string_view::npos && option.find("->") != std::string_view::npos)
            return GBK("不是选择题（配对题不能导入）");
        if (isRight) {
            ++right;
            q.answer = std::string(1, static_cast<char>('A' + q.options.size()));
        }
        q.options.push_back(unescaped(trimmed(option)));
        if (next == std::string_view::npos)
            break;
        at = next;
    }
    if (q.options.empty())
        return GBK("不是选择题（只支持“=对 ~错”形式的单项选择题）");
    if (right == 0 && !marked)
        return weightedKey(weights, q.answer);
    if (right != 1)
        return GBK("需要恰好一个正确答案（以“=”开头）");
    return std::nullopt;
}

// "$CATEGORY: $course$/top/安全/第一章": the context and Moodle's "top" are
// skipped, and the bank files the question under the last name, 第一章, or
// asked for the whole path, under 安全/第一章 ("//" is a slash within a
// name). Empty for the top itself.
std::string categoryOf(std::string_view path, bool wholePath)
{
    std::vector<std::string> segments(1);
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/')
            segments.back() += path[i];
        else if (i + 1 < path.size() && path[i + 1] == '/')
            segments.back() += path[i++];
        else
            segments.emplace_back();
    }
    std::size_t first = 0;
    const auto segment = [&](std::size_t i) { return trimmed(segments[i]); };
    if (segment(0).size() > 1 && segment(0).starts_with('$') && segment(0).ends_with('$'))
        ++first;
    if (first < segments.size() && segment(first) == "top")
        ++first;
    std::string category;
    for (std::size_t i = segments.size(); i > first; --i) {
        if (segment(i - 1).empty())
            continue;
        if (!wholePath)
            return std::string(segment(i - 1));
        category.insert(0, category.empty() ? std::string(segment(i - 1)) : std::string(segment(i - 1)) + "/");
    }
    return category;
}

// A weight "%50%" is read only at an answer's start, so a leading % is escaped there.
std::string escaped(std::string_view s, bool answer = false)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
            out += "\\n";
            continue;
        }
        if (special.find(c) != std::string_view::npos || (answer && i == 0 && c == '%'))
            out += '\\';
        out += c;
    }
    return out;
}

bool isRight(const BankQuestion& q, std::size_t option)
{
    return q.answer.size() == 1 && q.answer[0] == static_cast<char>('A' + option);
}

// Each keyed option a equal share, as Moodle writes them (33.33333 for a
// third), and every other option the full mark taken away.
std::string weightOf(const BankQuestion& q, std::size_t option)
{
    if (!AnswerKey::holds(q.answer, static_cast<char>('A' + option)))
        return "-100";
    const int right = static_cast<int>(q.answer.size());
    if (100 % right == 0)
        return std::to_string(100 / right);
    char share[16];
    std::snprintf(share, sizeof share, "%.5f", 100.0 / right);
    return share;
}

// Moodle's own form, so that its import files the questions as ours does;
// a slash within the name is doubled.
std::string categoryLine(std::string_view category)
{
    std::string out = "$CATEGORY: $course$/top";
    if (!category.empty())
        out += '/';
    for (char c : category)
        out += c == '/' ? std::string("//") : std::string(1, c);
    return out + "\n\n";
}

} // namespace

ParsedBank GiftFormat::read(std::string_view bytes, TextEncoding encoding, bool wholeCategoryPath)
{
    ParsedBank bank;
    std::string converted;
    const std::optional<std::string_view> decoded = TextDecoder::toUtf8(bytes, encoding, converted, bank.error);
    if (!decoded)
        return bank;
    const std::string_view text = *decoded;
    const std::vector<std::string_view> lines = TextDecoder::lines(text);
    std::string block;
    int blockLine = 0;
    std::string category;
    auto finish = [&] {
        if (block.empty())
            return;
        BankQuestion q;
        q.line = blockLine;
        q.category = category;
        if (std::optional<std::string> failure = parseBlock(block, q))
            bank.problems.push_back({blockLine, *failure});
        else
            bank.questions.push_back(std::move(q));
        block.clear();
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line.starts_with("//"))
            continue;
        if (block.empty() && line.starts_with("$CATEGORY:")) {
            category = categoryOf(line.substr(10), wholeCategoryPath);
            continue;
        }
        if (line.empty()) {
            // A blank line inside the answers does not end the question.
            if (block.empty() || findPlain(block, '{') == std::string::npos ||
                findPlain(block, '}', findPlain(block, '{')) != std::string::npos)
                finish();
            continue;
        }
        if (block.empty())
            blockLine = static_cast<int>(i) + 1;
        else
            block += '\n';
        block += line;
    }
    finish();
    return bank;
}

std::optional<std::string> GiftFormat::cannotCarry(const BankQuestion& question)
{
    if (trimmed(question.title).size() != question.title.size())
        return GBK("题目的首尾有空白，GIFT格式读入时会去掉");
    std::size_t right = 0;
    for (std::size_t i = 0; i < question.options.size(); ++i) {
        if (trimmed(question.options[i]).size() != question.options[i].size())
            return GBK("选项的首尾有空白，GIFT格式读入时会去掉");
        right += isRight(question, i) ? 1 : 0;
    }
    if (AnswerKey::isMultiple(question.answer)) {
        if (AnswerKey::check(question.answer, static_cast<int>(question.options.size())).key != question.answer)
            return GBK("多选题的答案不是按顺序排列的选项字母");
    } else if (right != 1) {
        return GBK("答案不是一个选项的字母，GIFT格式要求恰好一个正确答案");
    }
    if (question.category.find_first_of("\r\n") != std::string::npos)
        return GBK("分类中有换行，GIFT格式的分类只有一行");
    if (question.options.size() == 1 && question.options[0].find("->") != std::string::npos)
        return GBK("唯一的选项中有“->”，GIFT格式会把它读成配对题");
    return std::nullopt;
}

std::string GiftFormat::write(const std::vector<BankQuestion>& questions)
{
    std::string out;
    int number = 0;
    // Questions follow the last category line, so one is written only where
    // the category changes; a bank without categories writes none.
    std::string category;
    for (const BankQuestion& q : questions) {
        if (cannotCarry(q))
            continue;
        if (q.category != category) {
            category = q.category;
            out += categoryLine(category);
        }
        out += "::Q" + std::to_string(++number) + ":: ";
        // A title that starts like a format name is marked as plain text, so
        // that its own bracket stays text.
        if (isFormatMarker(q.title))
            out += "[plain]";
        out += escaped(q.title);
        out += " {\n";
        const bool multiple = AnswerKey::isMultiple(q.answer);
        for (std::size_t i = 0; i < q.options.size(); ++i) {
            if (multiple)
                out += "\t~%" + weightOf(q, i) + "%";
            else
                out += isRight(q, i) ? "\t=" : "\t~";
            out += escaped(q.options[i], true);
            out += '\n';
        }
        out += "}\n\n";
    }
    return out;
}
