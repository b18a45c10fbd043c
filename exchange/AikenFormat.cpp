#include "exchange/AikenFormat.h"

#include "exchange/TextEncoding.h"
#include "platform/CodePage.h"

#include <cctype>
#include <optional>

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "A. text", "A) text", and the full-width "A．" and "A、" that Chinese
// editors produce: the letter and the text.
std::optional<std::pair<char, std::string_view>> optionLine(std::string_view line)
{
    if (line.size() < 2 || line[0] < 'A' || line[0] > 'Z')
        return std::nullopt;
    std::string_view rest = line.substr(1);
    if (rest.starts_with('.') || rest.starts_with(')'))
        rest.remove_prefix(1);
    else if (rest.starts_with("．") || rest.starts_with("、"))
        rest.remove_prefix(3);
    else
        return std::nullopt;
    if (!rest.empty() && rest[0] != ' ' && rest[0] != '\t')
        return std::nullopt;
    return std::make_pair(line[0], trimmed(rest));
}

std::optional<std::string_view> answerLine(std::string_view line)
{
    constexpr std::string_view key = "ANSWER:";
    if (line.size() < key.size())
        return std::nullopt;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) != key[i])
            return std::nullopt;
    }
    return trimmed(line.substr(key.size()));
}

} // namespace

ParsedBank AikenFormat::read(std::string_view bytes, TextEncoding encoding)
{
    ParsedBank bank;
    std::string converted;
    const std::optional<std::string_view> decoded = TextDecoder::toUtf8(bytes, encoding, converted, bank.error);
    if (!decoded)
        return bank;
    const std::string_view text = *decoded;
    std::optional<BankQuestion> current;
    std::string failure; // GBK; the current question is reported instead of kept
    auto finish = [&](bool answered) {
        if (!current)
            return;
        if (failure.empty() && !answered)
            failure = current->options.empty() ? GBK("没有选项行（如“A. 选项”）") : GBK("缺少“ANSWER: 字母”行");
        if (failure.empty())
            bank.questions.push_back(std::move(*current));
        else
            bank.problems.push_back({current->line, failure});
        current.reset();
        failure.clear();
    };
    const std::vector<std::string_view> lines = TextDecoder::lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        const int number = static_cast<int>(i) + 1;
        if (line.empty()) {
            finish(false);
            continue;
        }
        if (!current) {
            current = BankQuestion{number, std::string(line), {}, {}};
            continue;
        }
        if (std::optional<std::string_view> answer = answerLine(line); answer && !current->options.empty()) {
            current->answer = std::string(*answer);
            finish(true);
            continue;
        }
        if (auto option = optionLine(line)) {
            if (option->first != 'A' + static_cast<int>(current->options.size()) && failure.empty())
                failure = GBK("第") + std::to_string(number) + GBK("行：选项字母不连续");
            current->options.emplace_back(option->second);
            continue;
        }
        if (current->options.empty()) {
            current->title += "\r\n";
            current->title += line;
        } else if (failure.empty()) {
            failure = GBK("第") + std::to_string(number) + GBK("行：选项之后应是“ANSWER: 字母”");
        }
    }
    finish(false);
    return bank;
}

std::optional<std::string> AikenFormat::cannotCarry(const BankQuestion& question)
{
    if (question.answer.size() > 1)
        return GBK("这是多选题，Aiken格式只有一个正确答案");
    const std::vector<std::string_view> lines = TextDecoder::lines(question.title);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (trimmed(lines[i]).empty())
            return GBK("题目中有空行，Aiken格式以空行分隔题目");
        if (trimmed(lines[i]).size() != lines[i].size())
            return GBK("题目的行首或行尾有空格，Aiken格式读入时会去掉");
        if (i > 0 && optionLine(lines[i]))
            return GBK("题目中有一行像选项行（如“A. ”开头），Aiken格式无法区分");
    }
    for (const std::string& option : question.options) {
        if (option.find_first_of("\r\n") != std::string::npos)
            return GBK("选项中有换行，Aiken格式的选项只有一行");
        if (trimmed(option).size() != option.size())
            return GBK("选项的首尾有空格，Aiken格式读入时会去掉");
    }
    return std::nullopt;
}

std::string AikenFormat::write(const std::vector<BankQuestion>& questions)
{
    std::string out;
    for (const BankQuestion& q : questions) {
        if (cannotCarry(q))
            continue;
        for (std::string_view line : TextDecoder::lines(q.title)) {
            out += line;
            out += '\n';
        }
        for (std::size_t i = 0; i < q.options.size(); ++i) {
            out += static_cast<char>('A' + i);
            out += ". ";
            out += q.options[i];
            out += '\n';
        }
        out += "ANSWER: ";
        out += q.answer;
        out += "\n\n";
    }
    return out;
}
