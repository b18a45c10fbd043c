#include "attempts/HistoryWindow.h"

#include "attempts/CategoryChart.h"
#include "attempts/HistoryWindowLayout.h"
#include "attempts/ReportPdf.h"
#include "attempts/ScoreChart.h"
#include "charts/ChartModule.h"
#include "db/TableExport.h"
#include "learning/CategoryStatistics.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/gui/GridHeading.h"

#include <algorithm>
#include <map>

using platform::Gui;
using platform::GuiEvent;

namespace {

constexpr int columnWidths[] = {150, 170, 70, 80, 60, 60, 60, 60, 90, 150};

const std::string& window()
{
    static const std::string id = HistoryWindow::windowId;
    return id;
}

} // namespace

HistoryWindow::HistoryWindow(AttemptRecorder& recorder, std::string candidateId, bool everyone,
                             ReportBuilder buildReport, std::string exportFolder)
    : store_(recorder.store()), candidateId_(std::move(candidateId)), everyone_(everyone),
      buildReport_(std::move(buildReport)), exportFolder_(std::move(exportFolder))
{
}

void HistoryWindow::listFrom(Database& server)
{
    serverStore_ = std::make_unique<AttemptStore>(server);
    store_ = serverStore_.get();
}

platform::HandlerTable HistoryWindow::handlers()
{
    return {
        {"historyCreated", [this](const GuiEvent&) { created(); }},
        {"filterClicked",
         [this](const GuiEvent&) {
             candidateId_ = Gui::text(window(), filterBox);
             fill();
             showChart();
         }},
        {"reportClicked", [this](const GuiEvent&) { showReport(); }},
        {"savePdfClicked", [this](const GuiEvent&) { saveReportPdf(); }},
        {"chartClicked", [this](const GuiEvent&) { showChart(); }},
        {"paperFilterClicked",
         [this](const GuiEvent&) {
             paperChoice_ = std::max(allPapers, Gui::comboIndex(window(), paperBox));
             fill();
             showChart();
         }},
        {"categoryChartClicked", [this](const GuiEvent&) { showCategoryChart(); }},
        {"exportCsvClicked", [this](const GuiEvent&) { exportList(".csv"); }},
        {"exportXlsClicked", [this](const GuiEvent&) { exportList(".xls"); }},
    };
}

void HistoryWindow::runModal(const std::string& owner)
{
    Gui::runModal(historyWindowLayout(), handlers(), owner);
}

std::string HistoryWindow::kindText(const std::string& kind)
{
    return kind == "drill" ? GBK("错题练习") : GBK("考试");
}

std::string HistoryWindow::stateText(AttemptState state)
{
    switch (state) {
    case AttemptState::HandedIn:
        return GBK("已交卷");
    case AttemptState::Abandoned:
        return GBK("已放弃");
    default:
        return GBK("进行中");
    }
}

std::string HistoryWindow::unsentText(AttemptState state)
{
    return stateText(state) + GBK("（未上传）");
}

std::string HistoryWindow::timeUsedText(const AttemptSummary& attempt)
{
    const int used = std::max(0, attempt.paperDuration - attempt.secondsLeft);
    const int minutes = used / 60 % 60;
    const int seconds = used % 60;
    return std::to_string(used / 3600) + (minutes < 10 ? ":0" : ":") + std::to_string(minutes) +
           (seconds < 10 ? ":0" : ":") + std::to_string(seconds);
}

std::string HistoryWindow::scoreText(const AttemptSummary& a)
{
    if (a.score < 0)
        return {};
    if (a.pointsTenths < 0)
        return std::to_string(a.score);
    // A defined paper is marked in points, with its result against the pass mark.
    std::string points = std::to_string(a.pointsTenths / 10);
    if (a.pointsTenths % 10 != 0)
        points += "." + std::to_string(a.pointsTenths % 10);
    if (a.passed >= 0)
        points += a.passed ? GBK(" 合格") : GBK(" 不合格");
    return points;
}

std::vector<std::string> HistoryWindow::rowTexts(const AttemptSummary& a)
{
    return {a.startedAt,
            a.candidateId,
            a.seatNumber,
            a.paperName.empty() ? kindText(a.kind) : a.paperName,
            std::to_string(a.paperSize),
            std::to_string(a.answered),
            std::to_string(a.flagged),
            scoreText(a),
            timeUsedText(a),
            stateText(a.state)};
}

std::vector<std::string> HistoryWindow::paperNames(const std::vector<AttemptSummary>& attempts)
{
    std::set<std::string> names;
    for (const AttemptSummary& a : attempts) {
        if (!a.paperName.empty())
            names.insert(a.paperName);
    }
    return {names.begin(), names.end()};
}

std::vector<AttemptSummary> HistoryWindow::ofPaper(const std::vector<AttemptSummary>& attempts, int choice,
                                                   const std::vector<std::string>& names)
{
    const std::size_t named = static_cast<std::size_t>(choice - defaultPaper - 1);
    if (choice < defaultPaper || (choice > defaultPaper && named >= names.size()))
        return attempts;
    std::vector<AttemptSummary> out;
    for (const AttemptSummary& a : attempts) {
        // A drill is no paper: only the whole list shows it.
        const bool wanted =
            choice == defaultPaper ? a.paperName.empty() && a.kind != "drill" : a.paperName == names[named];
        if (wanted)
            out.push_back(a);
    }
    return out;
}

std::vector<platform::ControlDescription> HistoryWindow::paperControls(const std::vector<std::string>& names)
{
    std::vector<platform::ComboItem> items{{GBK("全部试卷"), allPapers}, {GBK("默认试卷"), defaultPaper}};
    for (std::size_t i = 0; i < names.size(); ++i)
        items.push_back({names[i], static_cast<int>(i) + defaultPaper + 1});
    // Below the chart, left of the buttons that act on the choice.
    return {{.name = "试卷标签",
             .kind = platform::ControlKind::Label,
             .left = 8,
             .top = 656,
             .width = 56,
             .height = 20,
             .caption = GBK("试卷："),
             .font = {"微软雅黑", 14, true}},
            {.name = paperBox,
             .kind = platform::ControlKind::ComboBox,
             .left = 64,
             .top = 650,
             .width = 240,
             .height = 28,
             .comboItems = std::move(items),
             .accessibleName = GBK("按试卷筛选")}};
}

std::vector<std::string> HistoryWindow::exportColumns(const std::vector<AttemptSummary>& attempts)
{
    std::vector<std::string> columns = AttemptStore::exportColumns();
    if (!paperNames(attempts).empty())
        columns.insert(columns.end(), {GBK("试卷"), GBK("得分(分)"), GBK("是否合格")});
    return columns;
}

std::vector<std::vector<std::string>> HistoryWindow::exportRows(const std::vector<AttemptSummary>& attempts)
{
    const bool papers = !paperNames(attempts).empty();
    std::vector<std::vector<std::string>> rows;
    for (const AttemptSummary& a : attempts) {
        std::vector<std::string> row = AttemptStore::exportRow(a);
        if (papers) {
            const std::string paper = !a.paperName.empty() ? a.paperName
                                      : a.kind != "drill"  ? GBK("默认试卷")
                                                           : std::string();
            std::string points;
            if (a.pointsTenths >= 0) {
                points = std::to_string(a.pointsTenths / 10);
                if (a.pointsTenths % 10 != 0)
                    points += "." + std::to_string(a.pointsTenths % 10);
            }
            const std::string passed = a.passed < 0 ? std::string() : a.passed ? GBK("合格") : GBK("不合格");
            row.insert(row.end(), {paper, points, passed});
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string HistoryWindow::tempFile(const char* name) const
{
    return platform::FileSystem::fromSystemPath(temp_.filePath(QString::fromLatin1(name)).toStdString())
        .value_or(std::string());
}

std::string HistoryWindow::exportPath(const char* extension) const
{
    return platform::FileSystem::joinPath(exportFolder_, GBK("历史成绩") + extension);
}

void HistoryWindow::created()
{
    const std::string& w = window();
    for (const char* control : {"筛选标签", filterBox, "筛选按钮"})
        Gui::setVisible(w, control, everyone_);
    Gui::setText(w, filterBox, everyone_ ? candidateId_ : std::string());
    fill();
    // The papers offered are those of the attempts listed as the window opens.
    papers_ = paperNames(shown_);
    for (const platform::ControlDescription& control : paperControls(papers_))
        Gui::addControl(w, control);
    Gui::setComboIndex(w, paperBox, allPapers);
    showChart();
}

bool HistoryWindow::listChosen(std::vector<AttemptSummary>& out)
{
    out.clear();
    if (store_ == nullptr || !store_->list(candidateId_, out))
        return false;
    out = ofPaper(out, paperChoice_, papers_);
    return true;
}

void HistoryWindow::fill()
{
    const std::string& w = window();
    if (!listChosen(shown_) && store_ != nullptr)
        Gui::failure(GBK("无法读取考试记录：") + store_->lastErrorText());
    static const char* const headings[] = {"开始时间", "身份证号", "座位号", "类型", "题量",
                                           "已答",     "标记",     "得分",   "用时", "状态"};
    platform::GridHeading::reset(w, grid, static_cast<int>(shown_.size()), headings, columnWidths);
    const std::set<std::int64_t> unsent = unsent_ ? unsent_() : std::set<std::int64_t>();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        std::vector<std::string> texts = rowTexts(shown_[i]);
        if (unsent.contains(shown_[i].id))
            texts.back() = unsentText(shown_[i].state);
        Gui::setGridRow(w, grid, static_cast<int>(i) + 1, texts);
    }
}

void HistoryWindow::showChart()
{
    const platform::GuiRect area = Gui::geometry(window(), view);
    const std::string page = tempFile("chart.htm");
    std::map<std::int64_t, int> maxima;
    for (const AttemptSummary& attempt : shown_) {
        if (!maximum_ || attempt.pointsTenths < 0 || attempt.state != AttemptState::HandedIn || store_ == nullptr)
            continue;
        if (const std::optional<StoredAttempt> stored = store_->load(attempt.id))
            maxima[attempt.id] = maximum_(*stored);
    }
    if (!temp_.isValid() ||
        !ScoreChart::write(shown_, tempFile("chart.png"), page, area.width - 30, area.height - 30, maxima)) {
        Gui::failure(ChartModule::failureText(GBK("无法生成成绩曲线。")));
        return;
    }
    Gui::showHtmlFile(window(), view, page);
}

void HistoryWindow::showCategoryChart()
{
    std::vector<StoredAttempt> attempts;
    for (const AttemptSummary& attempt : shown_) {
        if (attempt.state != AttemptState::HandedIn || store_ == nullptr)
            continue;
        if (std::optional<StoredAttempt> stored = store_->load(attempt.id))
            attempts.push_back(std::move(*stored));
    }
    CategoryChart::Categories categories;
    std::string error;
    if (bank_ != nullptr && !CategoryStatistics::readCategories(*bank_, categories, error)) {
        Gui::failure(GBK("无法读取题库的分类：") + error);
        return;
    }
    const std::vector<CategoryChart::Share> shares = CategoryChart::shares(attempts, categories);
    if (shares.empty()) {
        Gui::notice(GBK("列表中没有已交卷的考试，无法按分类作图。"));
        return;
    }
    const platform::GuiRect area = Gui::geometry(window(), view);
    const std::string page = tempFile("categories.htm");
    if (!temp_.isValid() ||
        !CategoryChart::write(shares, tempFile("categories.png"), page, area.width - 30, area.height - 30)) {
        Gui::failure(ChartModule::failureText(GBK("无法生成分类图。")));
        return;
    }
    Gui::showHtmlFile(window(), view, page);
}

std::optional<std::pair<AttemptSummary, std::string>> HistoryWindow::chosenReport()
{
    const int row = Gui::gridCurrentRow(window(), grid);
    if (row < 1 || row > static_cast<int>(shown_.size())) {
        Gui::notice(GBK("请先在列表中选中一次考试。"));
        return std::nullopt;
    }
    const AttemptSummary& attempt = shown_[static_cast<std::size_t>(row - 1)];
    if (attempt.state != AttemptState::HandedIn) {
        Gui::notice(GBK("这次考试没有交卷，没有答卷报告。"));
        return std::nullopt;
    }
    const std::optional<StoredAttempt> stored = store_ != nullptr ? store_->load(attempt.id) : std::nullopt;
    if (!stored) {
        Gui::failure(GBK("无法打开这次考试的答卷报告。"));
        return std::nullopt;
    }
    return std::make_pair(attempt, buildReport_(*stored));
}

void HistoryWindow::showReport()
{
    const auto report = chosenReport();
    if (!report)
        return;
    const std::string page = tempFile("report.htm");
    if (!temp_.isValid() || !platform::FileSystem::writeFile(page, report->second)) {
        Gui::failure(GBK("无法打开这次考试的答卷报告。"));
        return;
    }
    Gui::showHtmlFile(window(), view, page);
}

void HistoryWindow::saveReportPdf()
{
    const auto report = chosenReport();
    if (!report)
        return;
    const AttemptSummary& attempt = report->first;
    const std::string name = ReportPdf::fileName(attempt.candidateId, ReportPdf::dateOf(attempt.endedAt));
    ReportPdf::save(window(), report->second,
                    ReportPdf::heading(attempt.paperName.empty() ? kindText(attempt.kind) : attempt.paperName,
                                       attempt.candidateId, attempt.seatNumber, attempt.endedAt, scoreText(attempt)),
                    platform::FileSystem::joinPath(exportFolder_, name));
}

void HistoryWindow::exportList(const char* extension)
{
    const std::string path = exportPath(extension);
    // Rows read through the store and written here: a PC's account may read
    // the results, nothing more.
    std::vector<AttemptSummary> attempts;
    std::vector<TextTable::Row> rows;
    if (listChosen(attempts)) {
        for (std::vector<std::string>& row : exportRows(attempts))
            rows.push_back(std::move(row));
    }
    if (!rows.empty() && TableExport::write(path, exportColumns(attempts), rows))
        Gui::notice(GBK("历史成绩已导出到：\r\n") + path);
    else
        Gui::failure(GBK("历史成绩导出失败，请检查是否有考试记录、程序所在文件夹是否可写：\r\n") + path);
}
