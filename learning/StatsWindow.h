#pragma once

#include "learning/BankStatistics.h"
#include "learning/CategoryStatistics.h"
#include "platform/gui/Gui.h"

#include <QTemporaryDir>

#include <optional>
#include <string>
#include <vector>

// The statistics of the bank for the administrator: one row per question,
// sortable by every column, the distribution of scores and the facility of
// each question drawn as charts, the table exported to CSV and XLS as the
// program's export writes query results, and a question chosen to be checked in the bank.
// A button switches to the figures of each of the bank's categories, and a
// combo narrows every figure to the attempts of one paper.
class StatsWindow {
public:
    static constexpr char windowId[] = "statistics";
    static constexpr char grid[] = "统计表格";
    static constexpr char view[] = "统计图框";
    static constexpr char sortCombo[] = "排序列框";
    static constexpr int columnCount = 11;
    static constexpr int suspectColumn = 10;
    static constexpr char categoryGrid[] = "分类表格";
    static constexpr char categoryButton[] = "分类按钮";
    static constexpr char paperCombo[] = "试卷列框";
    static constexpr char paperButton[] = "试卷按钮";

    // results: the database of attempts, which must outlive the window.
    // exportFolder: where the exports are written (GBK).
    // bank: where the categories are read, none when null; must outlive the window.
    StatsWindow(Database& results, std::string exportFolder, Database* bank = nullptr);
    StatsWindow(const StatsWindow&) = delete;
    StatsWindow& operator=(const StatsWindow&) = delete;

    platform::HandlerTable handlers();
    // Opens the window modal over owner; returns once it has been closed.
    void runModal(const std::string& owner);
    // The bank key of the question the administrator chose to check, once
    // the window has closed on it.
    const std::optional<std::string>& chosenQuestion() const { return chosen_; }

    const std::vector<QuestionStatistics>& questions() const { return statistics_.questions(); }
    std::string exportPath(const char* extension) const;
    std::string categoryExportPath(const char* extension) const;
    // 全部试卷 (item value 0), 默认试卷 (1), then the papers named (place + 2).
    static platform::ControlDescription paperComboControl(const std::vector<std::string>& paperNames);
    // The name as a file name may hold it: characters Windows refuses become _.
    static std::string fileNamePart(const std::string& name);
    static std::vector<std::string> rowTexts(const QuestionStatistics& question);
    static std::vector<std::string> categoryRowTexts(const CategoryFigures& category);
    // Fixed three decimals, as the table shows figures.
    static std::string figure(double value);
    // A figure of the table as the exports write it.
    static std::string exportedFigure(const std::string& text);

private:
    void created();
    // Computes the figures of the paper chosen and shows them.
    void load();
    void choosePaper();
    // The chosen paper's name, empty for every paper.
    std::string paperName() const;
    void fill();
    void sort();
    void openQuestion();
    void showScores();
    void showFacility();
    static std::string nothingToExport();
    void exportTable(const char* extension);
    void exportCategories(const char* extension);
    void switchView();
    void fillCategories();
    std::string tempFile(const char* name) const;

    Database& results_;
    BankStatistics statistics_;
    // Unset for every paper, "" for the program's own.
    std::optional<std::string> paper_;
    std::vector<std::string> paperNames_;
    std::string exportFolder_;
    Database* bank_;
    std::optional<std::vector<CategoryFigures>> categories_; // read on first showing
    bool byCategory_ = false;
    // The facility chart is drawn in the table's order, so a sort redraws it.
    bool facilityShown_ = false;
    std::vector<std::size_t> shown_; // indices into the questions, in table order
    int sortColumn_ = -1;
    bool descending_ = false;
    std::optional<std::string> chosen_;
    QTemporaryDir temp_;
};
