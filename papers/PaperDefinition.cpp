#include "papers/PaperDefinition.h"

#include "platform/CodePage.h"
#include "questions/TextRules.h"

#include <algorithm>
#include <numeric>

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
        if (rules[i].category.find_first_of("\t\r\n") != std::string::npos)
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
