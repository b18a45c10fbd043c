#include "exchange/GiftFormat.h"

#include "exchange/TextEncoding.h"
#include "platform/CodePage.h"

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
        if (option.starts_with('%')) {
            const std::size_t end = option.find('%', 1);
            if (end == std::string_view::npos)
                return GBK("答案的权重缺少结尾的“%”");
            isRight = option.substr(1, end - 1) == "100";
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
    if (right != 1)
        return GBK("需要恰好一个正确答案（以“=”开头）");
    return std::nullopt;
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

} // namespace

ParsedBank GiftFormat::read(std::string_view bytes, TextEncoding encoding)
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
    auto finish = [&] {
        if (block.empty())
            return;
        BankQuestion q;
        q.line = blockLine;
        if (std::optional<std::string> failure = parseBlock(block, q))
            bank.problems.push_back({blockLine, *failure});
        else
            bank.questions.push_back(std::move(q));
        block.clear();
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line.starts_with("//") || (block.empty() && line.starts_with("$CATEGORY:")))
            continue;
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
    if (right != 1)
        return GBK("答案不是一个选项的字母，GIFT格式要求恰好一个正确答案");
    if (question.options.size() == 1 && question.options[0].find("->") != std::string::npos)
        return GBK("唯一的选项中有“->”，GIFT格式会把它读成配对题");
    return std::nullopt;
}

std::string GiftFormat::write(const std::vector<BankQuestion>& questions)
{
    std::string out;
    int number = 0;
    for (const BankQuestion& q : questions) {
        if (cannotCarry(q))
            continue;
        out += "::Q" + std::to_string(++number) + ":: ";
        // A title that starts like a format name is marked as plain text, so
        // that its own bracket stays text.
        if (isFormatMarker(q.title))
            out += "[plain]";
        out += escaped(q.title);
        out += " {\n";
        for (std::size_t i = 0; i < q.options.size(); ++i) {
            out += isRight(q, i) ? "\t=" : "\t~";
            out += escaped(q.options[i], true);
            out += '\n';
        }
        out += "}\n\n";
    }
    return out;
}
