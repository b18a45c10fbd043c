#include "papers/PaperDefinition.h"

#include "platform/CodePage.h"
#include "questions/TextRules.h"

#include <algorithm>
#include <charconv>
#include <numeric>

namespace {

bool hasControl(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 0 && c < ' '; });
}

int numberOf(std::string_view text)
{
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const std::string rulesLine = "rules";

} // namespace

int PaperDefinition::questionCount() const
{
    return std::accumulate(rules.begin(), rules.end(), 0, [](int sum, const Rule& rule) { return sum + rule.count; });
}

int PaperDefinition::highestTotalTenths() const
{
    const int highest = *std::max_element(pointsTenths.begin(), pointsTenths.end());
    int total = 0;
    for (const Rule& rule : rules)
        total += rule.count * (rule.kind ? pointsOf(*rule.kind) : highest);
    return total;
}

std::string PaperDefinition::validate() const
{
    if (name.empty())
        return GBK("请填写试卷名称。");
    if (TextRules::trimSpaces(name) != name)
        return GBK("试卷名称的前后不能有空格。");
    if (name.size() > maxNameBytes)
        return GBK("试卷名称太长，最多50个汉字。");
    if (hasControl(name))
        return GBK("试卷名称中不能有换行或制表符。");
    if (name == defaultName())
        return GBK("“") + defaultName() + GBK("”是程序自带的试卷，请换一个名称。");
    if (rules.empty())
        return GBK("试卷中还没有抽题要求，请至少添加一条。");
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        if (rules[i].count < 1)
            return GBK("第") + number + GBK("条抽题要求的题数至少是1道。");
        if (rules[i].count > maxQuestions)
            return GBK("第") + number + GBK("条抽题要求的题数超过了") + std::to_string(maxQuestions) + GBK("道。");
        if (hasControl(rules[i].category))
            return GBK("第") + number + GBK("条抽题要求的分类中不能有换行或制表符。");
    }
    if (questionCount() > maxQuestions)
        return GBK("试卷最多") + std::to_string(maxQuestions) + GBK("道题，现在共") + std::to_string(questionCount()) +
               GBK("道。");
    if (minutes < 1 || minutes > maxMinutes)
        return GBK("考试时间应在1到") + std::to_string(maxMinutes) + GBK("分钟之间。");
    for (QuestionKind::Kind kind : {QuestionKind::Single, QuestionKind::Multiple, QuestionKind::Judgement})
        if (pointsOf(kind) < 1 || pointsOf(kind) > maxPointsTenths)
            return GBK("每道") + QuestionKind::name(kind) + GBK("题的分值应在0.1到") + pointsText(maxPointsTenths) +
                   GBK("分之间。");
    if (passMarkTenths < 0)
        return GBK("及格分数不能是负数。");
    if (passMarkTenths > highestTotalTenths())
        return GBK("及格分数") + pointsText(passMarkTenths) + GBK("分高于试卷的总分") +
               pointsText(highestTotalTenths()) + GBK("分。");
    return {};
}

std::string PaperDefinition::rulesText(const std::vector<Rule>& rules)
{
    std::string text;
    for (const Rule& rule : rules) {
        if (!text.empty())
            text += "\n";
        text += std::to_string(rule.count) + "\t" + (rule.kind ? QuestionKind::name(*rule.kind) : "") + "\t" +
                rule.category;
    }
    return text;
}

std::vector<PaperDefinition::Rule> PaperDefinition::rulesFromText(std::string_view text)
{
    std::vector<Rule> rules;
    for (const std::string& line : TextRules::split(text, "\n")) {
        Rule rule;
        const std::size_t firstTab = line.find('\t');
        const std::size_t secondTab = firstTab == std::string::npos ? firstTab : line.find('\t', firstTab + 1);
        if (secondTab != std::string::npos) {
            rule.count = numberOf(std::string_view(line).substr(0, firstTab));
            rule.kind = QuestionKind::fromName(std::string_view(line).substr(firstTab + 1, secondTab - firstTab - 1));
            rule.category = line.substr(secondTab + 1);
        }
        rules.push_back(std::move(rule));
    }
    return rules;
}

std::string PaperDefinition::toText() const
{
    const auto flag = [](bool on) { return on ? "1\n" : "0\n"; };
    return "name=" + name + "\nminutes=" + std::to_string(minutes) + "\npoints=" + std::to_string(pointsTenths[0]) +
           "," + std::to_string(pointsTenths[1]) + "," + std::to_string(pointsTenths[2]) +
           "\npass=" + std::to_string(passMarkTenths) + "\npartial=" + flag(partialCredit) +
           "exam=" + flag(mode == Mode::Exam) + "handIn=" + flag(handInWhenTimeUp) + "shuffle=" + flag(shuffleOptions) +
           rulesLine + "\n" + rulesText(rules);
}

std::optional<PaperDefinition> PaperDefinition::fromText(std::string_view text)
{
    PaperDefinition paper;
    bool named = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line == rulesLine) {
            paper.rules = rulesFromText(text);
            break;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        std::string_view value = equals == std::string_view::npos ? "" : line.substr(equals + 1);
        if (key == "name") {
            paper.name = value;
            named = true;
        } else if (key == "minutes") {
            paper.minutes = numberOf(value);
        } else if (key == "points") {
            for (int& points : paper.pointsTenths) {
                points = numberOf(value);
                value.remove_prefix(std::min(value.find(',') + 1, value.size()));
            }
        } else if (key == "pass") {
            paper.passMarkTenths = numberOf(value);
        } else if (key == "partial") {
            paper.partialCredit = value == "1";
        } else if (key == "exam") {
            paper.mode = value == "1" ? Mode::Exam : Mode::Practice;
        } else if (key == "handIn") {
            paper.handInWhenTimeUp = value == "1";
        } else if (key == "shuffle") {
            paper.shuffleOptions = value == "1";
        }
    }
    if (!named)
        return std::nullopt;
    return paper;
}

std::string PaperDefinition::describe(const Rule& rule)
{
    const std::string from = rule.category.empty() ? GBK("整个题库的") : GBK("“") + rule.category + GBK("”的");
    return from + (rule.kind ? QuestionKind::name(*rule.kind) + GBK("题") : GBK("题目"));
}

const std::string& PaperDefinition::defaultName()
{
    return GBK("默认试卷");
}

const std::string& PaperDefinition::modeName(Mode mode)
{
    return mode == Mode::Exam ? GBK("考试") : GBK("练习");
}

std::string PaperDefinition::pointsText(int tenths)
{
    const std::string sign = tenths < 0 ? "-" : "";
    const int magnitude = tenths < 0 ? -tenths : tenths;
    std::string text = sign + std::to_string(magnitude / 10);
    if (magnitude % 10 != 0)
        text += "." + std::to_string(magnitude % 10);
    return text;
}

std::optional<int> PaperDefinition::parsePoints(std::string_view text)
{
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view tenth = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 6 || !digits(whole) || tenth.size() > 1 || !digits(tenth) ||
        (point != std::string_view::npos && tenth.empty()))
        return std::nullopt;
    int value = 0;
    for (char c : whole)
        value = value * 10 + (c - '0');
    return value * 10 + (tenth.empty() ? 0 : tenth[0] - '0');
}
