#include "learning/StatsWindow.h"

#include "attempts/AttemptStore.h"
#include "charts/ChartModule.h"
#include "db/TableExport.h"
#include "learning/StatisticsChart.h"
#include "learning/StatsWindowLayout.h"
#include "papers/PaperDefinition.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/gui/GridHeading.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

// Rows name only what differs from the defaults; GCC 12 still warns about the
// members that designated initializers leave out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

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

const char* const categoryHeadings[] = {"分类", "题数", "抽到次数", "答对率", "平均区分度", "答案可疑"};
constexpr int categoryWidths[] = {220, 80, 100, 100, 110, 100};

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

StatsWindow::StatsWindow(Database& results, std::string exportFolder, Database* bank)
    : results_(results), statistics_(results), exportFolder_(std::move(exportFolder)), bank_(bank)
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
        {"categoriesClicked", [this](const GuiEvent&) { switchView(); }},
        {"paperClicked", [this](const GuiEvent&) { choosePaper(); }},
        {"exportCsvClicked", [this](const GuiEvent&) { byCategory_ ? exportCategories(".csv") : exportTable(".csv"); }},
        {"exportXlsClicked", [this](const GuiEvent&) { byCategory_ ? exportCategories(".xls") : exportTable(".xls"); }},
    };
}

void StatsWindow::runModal(const std::string& owner)
{
    chosen_.reset();
    categories_.reset();
    byCategory_ = false;
    paper_.reset();
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

std::vector<std::string> StatsWindow::categoryRowTexts(const CategoryFigures& c)
{
    return {c.category,
            std::to_string(c.questions),
            std::to_string(c.drawn),
            figure(c.facility()),
            c.discrimination ? figure(*c.discrimination) : std::string(),
            std::to_string(c.suspect)};
}

std::string StatsWindow::tempFile(const char* name) const
{
    return platform::FileSystem::fromSystemPath(temp_.filePath(QString::fromLatin1(name)).toStdString())
        .value_or(std::string());
}

platform::ControlDescription StatsWindow::paperComboControl(const std::vector<std::string>& paperNames)
{
    std::vector<platform::ComboItem> items{{GBK("全部试卷"), 0}, {PaperDefinition::defaultName(), 1}};
    for (std::size_t i = 0; i < paperNames.size(); ++i)
        items.push_back({paperNames[i], static_cast<int>(i + 2)});
    // Beside its caption and button in the row under the chart.
    return {.name = paperCombo,
            .kind = platform::ControlKind::ComboBox,
            .left = 68,
            .top = 650,
            .width = 240,
            .height = 30,
            .font = {"微软雅黑", 14, false},
            .comboItems = std::move(items),
            .accessibleName = GBK("统计的试卷")};
}

std::string StatsWindow::fileNamePart(const std::string& name)
{
    // By characters: the second byte of a GBK character may read as \ or |.
    std::string text = platform::gbkToUtf8(name);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    return platform::utf8ToGbk(text);
}

std::string StatsWindow::paperName() const
{
    if (!paper_)
        return {};
    return paper_->empty() ? PaperDefinition::defaultName() : *paper_;
}

std::string StatsWindow::exportPath(const char* extension) const
{
    const std::string paper = paperName();
    return platform::FileSystem::joinPath(
        exportFolder_, GBK("题库统计") + (paper.empty() ? "" : "-" + fileNamePart(paper)) + extension);
}

std::string StatsWindow::categoryExportPath(const char* extension) const
{
    const std::string paper = paperName();
    return platform::FileSystem::joinPath(
        exportFolder_, GBK("分类统计") + (paper.empty() ? "" : "-" + fileNamePart(paper)) + extension);
}

void StatsWindow::created()
{
    AttemptStore store(results_);
    if (!store.handedInPaperNames(paperNames_))
        paperNames_.clear(); // the figures below say why the records cannot be read
    Gui::addControl(window(), paperComboControl(paperNames_));
    Gui::setComboIndex(window(), paperCombo, 0);
    Gui::setComboIndex(window(), sortCombo, 0);
    // The window opens on the distribution of scores.
    facilityShown_ = false;
    load();
}

void StatsWindow::load()
{
    if (!statistics_.compute(paper_))
        Gui::failure(GBK("无法读取考试记录：") + statistics_.lastErrorText());
    const auto& questions = statistics_.questions();
    shown_.resize(questions.size());
    for (std::size_t i = 0; i < shown_.size(); ++i)
        shown_[i] = i;
    const auto suspects = std::count_if(questions.begin(), questions.end(), [](const auto& q) { return q.suspect; });
    const std::string which =
        paper_ ? GBK("统计试卷“") + paperName() + GBK("”已交卷的考试") : GBK("统计全部已交卷的考试");
    Gui::setText(window(), "说明标签",
                 which + GBK("，错题练习不计：") + std::to_string(statistics_.scores().size()) + GBK(" 次考试，") +
                     std::to_string(questions.size()) + GBK(" 道题，答案可疑 ") + std::to_string(suspects) +
                     GBK(" 道。区分度为答对与否和其余得分的点二列相关。"));
    // The order chosen is kept, from the first key up.
    sortColumn_ = -1;
    const bool facility = facilityShown_;
    facilityShown_ = false;
    sort();
    if (facility)
        showFacility();
    else
        showScores();
}

void StatsWindow::choosePaper()
{
    const int value = Gui::comboItemValue(window(), paperCombo, Gui::comboIndex(window(), paperCombo));
    std::optional<std::string> paper;
    if (value == 1)
        paper = std::string();
    else if (value >= 2 && value - 2 < static_cast<int>(paperNames_.size()))
        paper = paperNames_[static_cast<std::size_t>(value - 2)];
    paper_ = std::move(paper);
    load();
    // The figures by category are those of the paper now chosen.
    categories_.reset();
    if (byCategory_) {
        byCategory_ = false;
        switchView();
    }
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
    if (facilityShown_)
        showFacility();
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
    // A defined paper's points are drawn as a share of what it is worth.
    const bool shares = paper_ && !paper_->empty();
    if (!temp_.isValid() ||
        !StatisticsChart::writeScores(statistics_.distribution(), tempFile("scores.png"), page, area.width - 30,
                                      area.height - 30, shares ? GBK("得分率（%）") : GBK("得分"))) {
        Gui::failure(ChartModule::failureText(GBK("无法生成得分分布图。")));
        return;
    }
    facilityShown_ = false;
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
        Gui::failure(ChartModule::failureText(GBK("无法生成答对率图。")));
        return;
    }
    facilityShown_ = true;
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

std::string StatsWindow::nothingToExport()
{
    return GBK("表中还没有统计数据，没有可导出的内容：交卷后的考试才计入统计。");
}

void StatsWindow::exportTable(const char* extension)
{
    if (shown_.empty()) {
        Gui::notice(nothingToExport());
        return;
    }
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

void StatsWindow::switchView()
{
    const std::string& w = window();
    byCategory_ = !byCategory_;
    if (byCategory_ && !categories_) {
        CategoryStatistics::Categories named;
        std::string error;
        if (bank_ != nullptr && !CategoryStatistics::readCategories(*bank_, named, error))
            Gui::failure(GBK("无法读取题目分类，下面的题目都算作未分类：") + error);
        categories_ = CategoryStatistics::gather(statistics_.questions(), named);
        fillCategories();
    }
    Gui::setVisible(w, grid, !byCategory_);
    Gui::setVisible(w, categoryGrid, byCategory_);
    // Sorting and checking a question work on the question table only.
    for (const char* control : {sortCombo, "排序按钮", "查看题目按钮"})
        Gui::setEnabled(w, control, !byCategory_);
    Gui::setText(w, categoryButton, byCategory_ ? GBK("按题目") : GBK("按分类"));
}

void StatsWindow::fillCategories()
{
    const std::string& w = window();
    platform::GridHeading::reset(w, categoryGrid, static_cast<int>(categories_->size()), categoryHeadings,
                                 categoryWidths);
    for (std::size_t i = 0; i < categories_->size(); ++i) {
        const CategoryFigures& c = (*categories_)[i];
        Gui::setGridRow(w, categoryGrid, static_cast<int>(i) + 1, categoryRowTexts(c));
        if (c.suspect > 0)
            Gui::setGridCellBackground(w, categoryGrid, static_cast<int>(i) + 1, 5, 0xFFC8C8);
    }
}

void StatsWindow::exportCategories(const char* extension)
{
    if (!categories_ || categories_->empty()) {
        Gui::notice(nothingToExport());
        return;
    }
    const std::string path = categoryExportPath(extension);
    std::vector<std::string> names;
    for (const char* heading : categoryHeadings)
        names.push_back(platform::utf8ToGbk(heading));
    std::vector<TextTable::Row> rows;
    for (const CategoryFigures& c : *categories_) {
        std::vector<std::string> texts = categoryRowTexts(c);
        for (std::size_t column : {3u, 4u})
            texts[column] = exportedFigure(texts[column]);
        rows.push_back(std::move(texts));
    }
    if (TableExport::write(path, names, rows))
        Gui::notice(GBK("分类统计已导出到：\r\n") + path);
    else
        Gui::failure(GBK("分类统计导出失败，请检查程序所在文件夹是否可写：\r\n") + path);
}
