#include "app/DefinedPaperText.h"

#include <charconv>

namespace {

long long number(std::string_view text)
{
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

std::string DefinedPaperText::write(const PaperDefinition& paper, std::uint64_t optionSeed)
{
    std::string text = "name=" + paper.name + "\n";
    text += "minutes=" + std::to_string(paper.minutes) + "\n";
    for (int kind = 0; kind < QuestionKind::count; ++kind)
        text += "points" + std::to_string(kind) + "=" + std::to_string(paper.pointsTenths[kind]) + "\n";
    text += "partial=" + std::to_string(paper.partialCredit ? 1 : 0) + "\n";
    text += "pass=" + std::to_string(paper.passMarkTenths) + "\n";
    text += "exam=" + std::to_string(paper.mode == PaperDefinition::Mode::Exam ? 1 : 0) + "\n";
    text += "timeup=" + std::to_string(paper.handInWhenTimeUp ? 1 : 0) + "\n";
    text += "shuffle=" + std::to_string(paper.shuffleOptions ? 1 : 0) + "\n";
    text += "seed=" + std::to_string(optionSeed) + "\n";
    for (const PaperDefinition::Rule& rule : paper.rules)
        text += "rule=" + std::to_string(rule.count) + "\t" +
                (rule.kind ? std::to_string(static_cast<int>(*rule.kind)) : std::string()) + "\t" + rule.category +
                "\n";
    return text;
}

std::optional<DefinedPaperText::Kept> DefinedPaperText::read(std::string_view text)
{
    Kept kept;
    PaperDefinition& paper = kept.paper;
    bool named = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "name") {
            paper.name = value;
            named = true;
        } else if (key == "minutes") {
            paper.minutes = static_cast<int>(number(value));
        } else if (key.starts_with("points") && key.size() == 7 && key[6] >= '0' &&
                   key[6] < '0' + QuestionKind::count) {
            paper.pointsTenths[static_cast<std::size_t>(key[6] - '0')] = static_cast<int>(number(value));
        } else if (key == "partial") {
            paper.partialCredit = value == "1";
        } else if (key == "pass") {
            paper.passMarkTenths = static_cast<int>(number(value));
        } else if (key == "exam") {
            paper.mode = value == "1" ? PaperDefinition::Mode::Exam : PaperDefinition::Mode::Practice;
        } else if (key == "timeup") {
            paper.handInWhenTimeUp = value == "1";
        } else if (key == "shuffle") {
            paper.shuffleOptions = value == "1";
        } else if (key == "seed") {
            std::from_chars(value.data(), value.data() + value.size(), kept.optionSeed);
        } else if (key == "rule") {
            const std::size_t first = value.find('\t');
            const std::size_t second = first == std::string_view::npos ? first : value.find('\t', first + 1);
            if (second == std::string_view::npos)
                continue;
            PaperDefinition::Rule rule;
            rule.count = static_cast<int>(number(value.substr(0, first)));
            const std::string_view kind = value.substr(first + 1, second - first - 1);
            if (!kind.empty() && kind[0] >= '0' && kind[0] < '0' + QuestionKind::count)
                rule.kind = static_cast<QuestionKind::Kind>(kind[0] - '0');
            rule.category = value.substr(second + 1);
            paper.rules.push_back(std::move(rule));
        }
    }
    if (!named)
        return std::nullopt;
    return kept;
}
