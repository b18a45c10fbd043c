#include "app/AnswerReport.h"

#include "platform/CodePage.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionKind.h"
#include "questions/QuestionRecord.h"
#include "questions/TextRules.h"

#include <algorithm>
#include <initializer_list>

namespace {

std::string joinLines(std::initializer_list<const char*> lines)
{
    std::string joined;
    bool first = true;
    for (const char* line : lines) {
        if (!first)
            joined += "\r\n";
        joined += line;
        first = false;
    }
    return joined;
}

} // namespace

bool AnswerReport::scores(const PaperEntry& entry)
{
    return AnswerKey::matches(entry.chosen, entry.answer);
}

int AnswerReport::score(const Paper& paper)
{
    int total = 0;
    for (int number = 1; number <= Paper::size; ++number)
        total += scores(paper.entry(number)) ? 1 : 0;
    return total;
}

std::string AnswerReport::scoreText(int score)
{
    return GBK("得分为 【   ") + std::to_string(score) + GBK("   】 分");
}

std::string AnswerReport::scoreText(const std::string& points)
{
    return GBK("得分为 【   ") + points + GBK("   】 分");
}

PaperScore AnswerReport::mark(const Paper& paper, int length, const PaperDefinition& defined)
{
    PaperScore score(defined);
    for (int number = 1; number <= std::min(length, Paper::size); ++number) {
        const PaperEntry& entry = paper.entry(number);
        score.add(entry.chosen, entry.answer, entry.did);
    }
    return score;
}

const std::string& AnswerReport::headPiece()
{
    static const std::string piece = platform::utf8ToGbk(joinLines({
        "<html>",
        "<head>",
        "<title>参考答案如下</title>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />",
        "<style>",
        "<!--",
        ".datalist{",
        "\tborder:1px solid #0058a3;\t/* 表格边框 */",
        "\tfont-family:Arial;",
        "\tborder-collapse:collapse;\t/* 边框重叠 */",
        "\tbackground-color:#eaf5ff;\t/* 表格背景色 */",
        "\tfont-size:14px;",
        "}",
        ".datalist caption{",
        "\tpadding-bottom:5px;",
        "\tfont:bold 1.4em;",
        "\ttext-align:left;",
        "}",
        ".datalist th{",
        "\tborder:1px solid #0058a3;\t/* 行名称边框 */",
        "\tbackground-color:#4bacff;\t/* 行名称背景色 */",
        "\tcolor:#FFFFFF;\t\t\t\t/* 行名称颜色 */",
        "\tfont-weight:bold;",
        "\tpadding-top:4px; padding-bottom:4px;",
        "\tpadding-left:12px; padding-right:12px;",
        "\ttext-align:center;",
        "}",
        ".datalist td{",
        "\tborder:1px solid #0058a3;\t/* 单元格边框 */",
        "\ttext-align:left;",
        "\tpadding-top:4px; padding-bottom:4px;",
        "\tpadding-left:10px; padding-right:10px;",
        "}",
        ".datalist tr.altrow{",
        "\tbackground-color:#c7e5ff;\t/* 隔行变色 */",
        "}",
        "body {",
        "\tmargin-left: 0px;",
        "\tmargin-top: 0px;",
        "\tmargin-right: 0px;",
        "\tmargin-bottom: 0px;",
        "}",
        "-->",
        "</style>",
        "   </head>",
        "<body> ",
        "<table width=\"100%\" class=\"datalist\" summary=\"list of members in RU Zuzovu\">",
        "\t<tr>",
        "",
        "<th width=\"5%\" scope=\"col\">编号</th>\t\t",
        "<th width=\"30%\" scope=\"col\">标题</th>",
        "\t\t<th width=\"30%\" scope=\"col\">选择</th>",
        "\t\t<th width=\"6%\" scope=\"col\">正确</th>",
        "\t\t<th width=\"6%\" scope=\"col\">预选</th>",
        "",
        "",
        "\t</tr>",
    }));
    return piece;
}

const std::string& AnswerReport::oddRowPiece()
{
    static const std::string piece = platform::utf8ToGbk(joinLines({
        "<tr>\t\t\t\t\t<!-- 奇数行 -->",
        "<td>[编号]</td>\t\t",
        "<td>[标题]</td>",
        "\t\t<td>[选择]</td>",
        "\t\t<td>[正确]</td>",
        "\t\t<td>[预选]</td>",
        "\t</tr>",
    }));
    return piece;
}

const std::string& AnswerReport::evenRowPiece()
{
    static const std::string piece = platform::utf8ToGbk(joinLines({
        "<tr class=\"altrow\">\t\t<!-- 偶数行 -->",
        "<td>[编号]</td>\t\t\t",
        "<td>[标题]</td>",
        "\t\t<td>[选择]</td>",
        "\t\t<td>[正确]</td>",
        "\t\t<td>[预选]</td>",
        "\t</tr>",
    }));
    return piece;
}

const std::string& AnswerReport::closingPiece()
{
    static const std::string piece = joinLines({"</table>", "</body>", "</html>"});
    return piece;
}

std::string AnswerReport::escapeHtml(std::string_view text)
{
    // The three bytes lie below the GBK trail-byte range, so they are always
    // whole characters.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string AnswerReport::row(int number, const PaperEntry& entry)
{
    std::string choice;
    if (entry.chosen.empty())
        choice = GBK("未答");
    else if (scores(entry))
        choice = escapeHtml(entry.chosen);
    else
        choice = "<strong><font  color=\"#FF0033\"><h2>" + escapeHtml(entry.chosen) + "</h2></font></strong>";

    // Each replacement runs over the whole row made by the one before, so a
    // title holding a later placeholder has it filled in as well.
    std::string text = number % 2 != 0 ? oddRowPiece() : evenRowPiece();
    text = TextRules::replaceAll(text, GBK("[编号]"), std::to_string(number));
    text = TextRules::replaceAll(text, GBK("[标题]"), escapeHtml(entry.title));
    text = TextRules::replaceAll(
        text, GBK("[选择]"), TextRules::replaceAll(escapeHtml(entry.options), QuestionRecord::optionSeparator, "</p>"));
    text = TextRules::replaceAll(text, GBK("[正确]"), escapeHtml(entry.answer));
    text = TextRules::replaceAll(text, GBK("[预选]"), choice);
    return text;
}

std::string AnswerReport::build(const Paper& paper, int length)
{
    std::string report = headPiece();
    for (int number = 1; number <= std::min(length, Paper::size); ++number)
        report += row(number, paper.entry(number));
    report += closingPiece();
    return report;
}

std::string AnswerReport::pointsPiece(const PaperScore& score, const PaperDefinition& defined)
{
    const auto cells = [](std::initializer_list<std::string> texts, const char* tag) {
        std::string row = "\t<tr>";
        for (const std::string& text : texts)
            row += std::string("<") + tag + ">" + text + "</" + tag + ">";
        return row + "</tr>\r\n";
    };
    using Points = PaperDefinition;
    std::string piece = "<table width=\"100%\" class=\"datalist\">\r\n";
    piece += "<caption>" + escapeHtml(defined.name) + "</caption>\r\n";
    piece += cells({GBK("题型"), GBK("题数"), GBK("答对"), GBK("得分"), GBK("满分")}, "th");
    int questions = 0, right = 0;
    for (int kind = 0; kind < QuestionKind::count; ++kind) {
        const PaperScore::Tally& tally = score.tally(static_cast<QuestionKind::Kind>(kind));
        if (tally.questions == 0)
            continue;
        questions += tally.questions;
        right += tally.right;
        piece += cells({QuestionKind::name(static_cast<QuestionKind::Kind>(kind)), std::to_string(tally.questions),
                        std::to_string(tally.right), Points::pointsText(tally.earnedTenths),
                        Points::pointsText(tally.worthTenths)},
                       "td");
    }
    piece += cells({GBK("合计"), std::to_string(questions), std::to_string(right),
                    Points::pointsText(score.totalTenths()), Points::pointsText(score.maximumTenths())},
                   "td");
    piece += "</table>\r\n";
    piece += "<p>" + GBK("总分 ") + Points::pointsText(score.totalTenths()) + GBK(" 分，及格分 ") +
             Points::pointsText(defined.passMarkTenths) + GBK(" 分：") +
             (score.passed() ? GBK("合格") : GBK("<strong><font color=\"#FF0033\">不合格</font></strong>")) +
             "</p>\r\n";
    return piece;
}

std::string AnswerReport::build(const Paper& paper, int length, const PaperDefinition& defined)
{
    std::string report = headPiece();
    for (int number = 1; number <= std::min(length, Paper::size); ++number)
        report += row(number, paper.entry(number));
    report += "</table>\r\n";
    report += pointsPiece(mark(paper, length, defined), defined);
    report += "</body>\r\n</html>";
    return report;
}
