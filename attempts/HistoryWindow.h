#pragma once

#include "attempts/AttemptRecorder.h"
#include "attempts/AttemptRecords.h"
#include "platform/gui/Gui.h"

#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The history of attempts: one candidate's (the identity-card number entered),
// or everyone's with a filter for the administrator, and of every paper or
// one. The scores are drawn over time, the share answered right per category
// as bars, a handed-in attempt's report opens again (or is saved as a PDF)
// and the list exports to CSV and XLS as the program's export of query
// results writes them.
class HistoryWindow {
public:
    static constexpr char windowId[] = "history";
    static constexpr char grid[] = "历史表格";
    static constexpr char view[] = "历史浏览框";
    static constexpr char filterBox[] = "身份证筛选框";
    static constexpr char paperBox[] = "试卷筛选框";
    static constexpr char paperButton[] = "试卷筛选按钮";
    static constexpr char categoryButton[] = "分类图按钮";
    // The paper combo's first two items: every attempt, and the program's own paper.
    static constexpr int allPapers = 0;
    static constexpr int defaultPaper = 1;

    // The whole report file of a stored paper, as the hand-in writes it.
    using ReportBuilder = std::function<std::string(const StoredAttempt&)>;
    // The whole points of a defined paper's attempt, in tenths; 0 when unknown.
    using PaperMaximum = std::function<int(const StoredAttempt&)>;

    // recorder: its results database is listed (an unreadable one lists
    // nothing). candidateId: whose attempts; everyone: list all, with the
    // filter. exportFolder: where the exports are written (GBK).
    HistoryWindow(AttemptRecorder& recorder, std::string candidateId, bool everyone, ReportBuilder buildReport,
                  std::string exportFolder);
    HistoryWindow(const HistoryWindow&) = delete;
    HistoryWindow& operator=(const HistoryWindow&) = delete;

    // Lists, exports and opens reports from this database instead of the
    // recorder's results file (the room's server, where every PC's attempts
    // are); it must outlive the window.
    void listFrom(Database& server);
    // Asked at each listing: keys of the listed attempts with changes not yet
    // on the room's server, whose state reads as not uploaded.
    void markUnsent(std::function<std::set<std::int64_t>()> unsent) { unsent_ = std::move(unsent); }
    // The bank whose categories the chart per category reads; none (null)
    // counts every question uncategorised. It must outlive the window.
    void categoriesFrom(Database* bank) { bank_ = bank; }
    // Without it a defined paper's attempt is drawn by its questions right.
    void measurePapers(PaperMaximum maximum) { maximum_ = std::move(maximum); }

    platform::HandlerTable handlers();
    // Opens the window modal over owner; returns once it has been closed.
    void runModal(const std::string& owner);

    const std::vector<AttemptSummary>& shown() const { return shown_; }
    // Files the exports write.
    std::string exportPath(const char* extension) const;

    static std::string kindText(const std::string& kind);
    static std::string stateText(AttemptState state);
    static std::string unsentText(AttemptState state);
    // "h:mm:ss" of the time from the start to the hand-in (or to the last write).
    static std::string timeUsedText(const AttemptSummary& attempt);
    // The score, or a defined paper's points with 合格/不合格.
    static std::string scoreText(const AttemptSummary& attempt);
    // The kind column names a defined paper by its name.
    static std::vector<std::string> rowTexts(const AttemptSummary& attempt);

    // The defined papers of the attempts, each once, in GBK byte order: the
    // paper combo's items after 全部试卷 and 默认试卷.
    static std::vector<std::string> paperNames(const std::vector<AttemptSummary>& attempts);
    // The attempts of the combo's choice among those items.
    static std::vector<AttemptSummary> ofPaper(const std::vector<AttemptSummary>& attempts, int choice,
                                               const std::vector<std::string>& names);
    // The combo and its caption, added when the window opens.
    static std::vector<platform::ControlDescription> paperControls(const std::vector<std::string>& names);
    // The export's columns and rows; a defined paper among the attempts adds
    // its name, points and pass result at the end.
    static std::vector<std::string> exportColumns(const std::vector<AttemptSummary>& attempts);
    static std::vector<std::vector<std::string>> exportRows(const std::vector<AttemptSummary>& attempts);

private:
    void created();
    void fill();
    void showChart();
    void showCategoryChart();
    // The listing of the current candidate, narrowed to the chosen paper.
    bool listChosen(std::vector<AttemptSummary>& out);
    void showReport();
    void saveReportPdf();
    // The chosen attempt and its report, or nullopt once the user has been told why there is none.
    std::optional<std::pair<AttemptSummary, std::string>> chosenReport();
    void exportList(const char* extension);
    std::string tempFile(const char* name) const;

    AttemptStore* store_;
    std::unique_ptr<AttemptStore> serverStore_;
    std::function<std::set<std::int64_t>()> unsent_;
    Database* bank_ = nullptr;
    PaperMaximum maximum_;
    std::vector<std::string> papers_; // the combo's named papers
    int paperChoice_ = allPapers;
    std::string candidateId_;
    bool everyone_;
    ReportBuilder buildReport_;
    std::string exportFolder_;
    std::vector<AttemptSummary> shown_;
    QTemporaryDir temp_;
};
