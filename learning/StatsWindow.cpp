#include "learning/StatsWindow.h"

#include "db/TableExport.h"
#include "learning/StatisticsChart.h"
#include "learning/StatsWindowLayout.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/gui/GridHeading.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

using platform::Gui;
using platform::GuiEvent;

namespace {

constexpr int columnWidths[] = {90, 50, 80, 80, 70, 70, 70, 70, 70, 80, 90};

const std::string& window()
{
    static const std::string id = StatsWindow::windowId;
    return id;
}

const char* const headings[] = {"题号", "答案", "抽到次数", "答对率", "选A",     "选B",
                                "选C",  "选D",  "未答",     "区分度", "答案可疑"};

// Sort value of a cell; unset figures (no discrimination) read as missing.
std::optional<double> number(const QuestionStatistics& q, int column)
{
    switch (column) {
    case 0: {
        char* end = nullptr;
        const double key = std::strtod(q.key.c_str(), &end);
        if (q.key.empty() || *end != '\0')
            return std::nullopt;
        return key;
    }
    case 2:
        return q.drawn;
    case 3:
        return q.facility();
    case 4:
    case 5:
    case 6:
    case 7:
        return q.share(column - 4);
    case 8:
        return q.unansweredShare();
    case 9:
        return q.discrimination;
    case 10:
        return q.suspect ? 1.0 : 0.0;
    default:
        return std::nullopt;
    }
}

} // namespace

StatsWindow::StatsWindow(Database& results, std::string exportFolder)
    : statistics_(results), exportFolder_(std::move(exportFolder))
{
}

platform::HandlerTable StatsWindow::handlers()
{
    return {
        {"statisticsCreated", [this](const GuiEvent&) { created(); }},
        {"sortClicked", [this](const GuiEvent&) { sort(); }},
        {"openQuestionClicked", [this](const GuiEvent&) { openQuestion(); }},
        {"scoresClicked", [this](const GuiEvent&) { showScores(); }},
        {"facilityClicked", [this](const GuiEvent&) { showFacility(); }},
        {"exportCsvClicked", [this](const GuiEvent&) { exportTable(".csv"); }},
        {"exportXlsClicked", [this](const GuiEvent&) { exportTable(".xls"); }},
    };
}

void StatsWindow::runModal(const std::string& owner)
{
    chosen_.reset();
    Gui::runModal(statsWindowLayout(), handlers(), owner);
}

std::string StatsWindow::figure(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::vector<std::string> StatsWindow::rowTexts(const QuestionStatistics& q)
{
    std::vector<std::string> texts = {q.key, q.answer, std::to_string(q.drawn), figure(q.facility())};
    for (int option = 0; option < BankStatistics::optionCount; ++option)
        texts.push_back(figure(q.share(option)));
    texts.push_back(figure(q.unansweredShare()));
    texts.push_back(q.discrimination ? figure(*q.discrimination) : std::string());
    texts.push_back(q.suspect ? GBK("答案可疑") : std::string());
    return texts;
}

std::string StatsWindow::tempFile(const char* name) const
{
    return platform::FileSystem::fromSystemPath(temp_.filePath(QString::fromLatin1(name)).toStdString())
        .value_or(std::string());
}

std::string StatsWindow::exportPath(const char* extension) const
{
    return platform::FileSystem::joinPath(exportFolder_, GBK("题库统计") + extension);
}

void StatsWindow::created()
{
    if (!statistics_.compute())
        Gui::failure(GBK("无法读取考试记录：") + statistics_.lastErrorText());
    const auto& questions = statistics_.questions();
    shown_.resize(questions.size());
    for (std::size_t i = 0; i < shown_.size(); ++i)
        shown_[i] = i;
    const auto suspects = std::count_if(questions.begin(), questions.end(), [](const auto& q) { return q.suspect; });
    Gui::setText(window(), "说明标签",
                 GBK("统计全部已交卷的考试，错题练习不计：") + std::to_string(statistics_.scores().size()) +
                     GBK(" 次考试，") + std::to_string(questions.size()) + GBK(" 道题，答案可疑 ") +
                     std::to_string(suspects) + GBK(" 道。区分度为答对与否和其余得分的点二列相关。"));
    Gui::setComboIndex(window(), sortCombo, 0);
    sort();
    showScores();
}

void StatsWindow::fill()
{
    const std::string& w = window();
    platform::GridHeading::reset(w, grid, static_cast<int>(shown_.size()), headings, columnWidths);
    const auto& questions = statistics_.questions();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const QuestionStatistics& q = questions[shown_[i]];
        Gui::setGridRow(w, grid, static_cast<int>(i) + 1, rowTexts(q));
        if (q.suspect)
            Gui::setGridCellBackground(w, grid, static_cast<int>(i) + 1, suspectColumn, 0xFFC8C8);
    }
}

void StatsWindow::sort()
{
    const int column = std::max(0, Gui::comboIndex(window(), sortCombo));
    // The same column again turns the order round.
    descending_ = column == sortColumn_ ? !descending_ : false;
    sortColumn_ = column;
    const auto& questions = statistics_.questions();
    std::stable_sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
        const QuestionStatistics& qa = questions[a];
        const QuestionStatistics& qb = questions[b];
        const std::optional<double> na = number(qa, column);
        const std::optional<double> nb = number(qb, column);
        // Numeric keys by value before any other key, which go by their text.
        if (column == 0) {
            using Key = std::tuple<bool, double, const std::string&>;
            const Key ka(!na.has_value(), na.value_or(0.0), qa.key);
            const Key kb(!nb.has_value(), nb.value_or(0.0), qb.key);
            return descending_ ? kb < ka : ka < kb;
        }
        if (column == 1)
            return descending_ ? qb.answer < qa.answer : qa.answer < qb.answer;
        // Missing figures stay at the end either way.
        if (!na || !nb)
            return na.has_value() && !nb.has_value();
        return descending_ ? *nb < *na : *na < *nb;
    });
    fill();
}

void StatsWindow::openQuestion()
{
    const int row = Gui::gridCurrentRow(window(), grid);
    if (row < 1 || row > static_cast<int>(shown_.size())) {
        Gui::notice(GBK("请先在表中选中一道题。"));
        return;
    }
    chosen_ = statistics_.questions()[shown_[static_cast<std::size_t>(row - 1)]].key;
    Gui::closeWindow(window());
}

void StatsWindow::showScores()
{
    const platform::GuiRect area = Gui::geometry(window(), view);
    const std::string page = tempFile("scores.htm");
    if (!temp_.isValid() || !StatisticsChart::writeScores(statistics_.scores(), tempFile("scores.png"), page,
                                                          area.width - 30, area.height - 30)) {
        Gui::failure(GBK("无法生成得分分布图。"));
        return;
    }
    Gui::showHtmlFile(window(), view, page);
}

void StatsWindow::showFacility()
{
    std::vector<QuestionStatistics> ordered;
    ordered.reserve(shown_.size());
    for (std::size_t i : shown_)
        ordered.push_back(statistics_.questions()[i]);
    const platform::GuiRect area = Gui::geometry(window(), view);
    const std::string page = tempFile("facility.htm");
    if (!temp_.isValid() ||
        !StatisticsChart::writeFacility(ordered, tempFile("facility.png"), page, area.width - 30, area.height - 30)) {
        Gui::failure(GBK("无法生成答对率图。"));
        return;
    }
    Gui::showHtmlFile(window(), view, page);
}

std::string StatsWindow::exportedFigure(const std::string& text)
{
    // The exports have always written a figure as a stored real number reads
    // back: at least one decimal, no trailing zeros, no negative zero.
    const std::size_t point = text.find('.');
    if (point == std::string::npos)
        return text;
    std::string out = text.substr(0, text.find_last_not_of('0') + 1);
    if (out.back() == '.')
        out += '0';
    return out == "-0.0" ? "0.0" : out;
}

void StatsWindow::exportTable(const char* extension)
{
    const std::string path = exportPath(extension);
    std::vector<std::string> names;
    for (const char* heading : headings)
        names.push_back(platform::utf8ToGbk(heading));
    std::vector<TextTable::Row> rows;
    rows.reserve(shown_.size());
    for (std::size_t i : shown_) {
        std::vector<std::string> texts = rowTexts(statistics_.questions()[i]);
        for (int c = 3; c < suspectColumn; ++c)
            texts[static_cast<std::size_t>(c)] = exportedFigure(texts[static_cast<std::size_t>(c)]);
        rows.push_back(std::move(texts));
    }
    if (TableExport::write(path, names, rows))
        Gui::notice(GBK("题库统计已导出到：\r\n") + path);
    else
        Gui::failure(GBK("题库统计导出失败，请检查程序所在文件夹是否可写：\r\n") + path);
}
