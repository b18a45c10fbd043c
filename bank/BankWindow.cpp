#include "bank/BankWindow.h"

#include "bank/BankWindowLayout.h"
#include "bank/ResultGridSource.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "platform/CodePage.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionBank.h"
#include "questions/QuestionRecord.h"
#include "questions/TextRules.h"

#include <algorithm>
#include <array>
#include <memory>

using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

constexpr char grid[] = "题库表";
constexpr char searchBox[] = "查询编辑框";
constexpr char searchButton[] = "查询";
constexpr char titleBox[] = "标题编辑框";
constexpr char contentBox[] = "内容编辑框";
constexpr char countCombo[] = "组合框1";
constexpr char categoryBox[] = "分类编辑框";
constexpr char categoryFilterBox[] = "分类查询编辑框";
constexpr char multipleKeyBox[] = "多选答案编辑框";
constexpr int categoryColumn = 5;
constexpr std::array<const char*, 4> answerButtons = {"A", "B", "C", "D"};
constexpr std::array<const char*, 4> previewLabels = {"A标签", "B标签", "C标签", "D标签"};

constexpr char crlf[] = "\r\n";
constexpr platform::Rgb alternateRowColour = 0xECECEC;
constexpr std::array<int, 6> columnWidths = {30, 250, 250, 30, 60, 90};

const std::string& errorCaption()
{
    return GBK("信息");
}

const std::string& noRowMessage()
{
    return GBK("请选择要删除的行再试！");
}

} // namespace

platform::WindowDescription BankWindow::layout(const Actions& actions)
{
    platform::WindowDescription description = bankWindowLayout();
    if (actions.exchange.importBank || actions.exchange.exportBank) {
        for (platform::ControlDescription& button : bankExchangeButtons())
            description.controls.push_back(std::move(button));
    }
    if (actions.statistics)
        description.controls.push_back(bankStatisticsButton());
    if (actions.papers)
        description.controls.push_back(bankPapersButton());
    for (platform::ControlDescription& control : bankCategoryControls())
        description.controls.push_back(std::move(control));
    for (platform::ControlDescription& control : bankMultipleKeyControls())
        description.controls.push_back(std::move(control));
    return description;
}

BankWindow::BankWindow(DbConnection& connection, DbRecordset& recordset, Actions actions)
    : connection_(connection), recordset_(recordset), actions_(std::move(actions)), window_(bankWindowLayout().id)
{
}

platform::HandlerTable BankWindow::handlers(DbConnection& connection, DbRecordset& recordset, Actions actions)
{
    auto window = std::make_shared<BankWindow>(connection, recordset, std::move(actions));
    platform::HandlerTable table = window->handlerTable();
    for (auto& entry : table)
        entry.second = [window, handler = std::move(entry.second)](const GuiEvent& event) { handler(event); };
    return table;
}

platform::HandlerTable BankWindow::handlerTable()
{
    return {
        {"bankCreated", [this](const GuiEvent&) { listAll(); }},
        {"searchClicked", [this](const GuiEvent&) { search(); }},
        {"searchTextChanged", [this](const GuiEvent&) { copySearchText(); }},
        {"contentChanged", [this](const GuiEvent&) { previewOptions(); }},
        {"gridCellChanged", [this](const GuiEvent&) { loadRow(); }},
        {"addClicked", [this](const GuiEvent&) { add(); }},
        {"modifyClicked", [this](const GuiEvent&) { modify(); }},
        {"deleteClicked", [this](const GuiEvent&) { remove(); }},
        {"importClicked", [this](const GuiEvent&) { importBank(); }},
        {"exportClicked", [this](const GuiEvent&) { exportBank(); }},
        {"statisticsClicked", [this](const GuiEvent&) { openStatistics(); }},
        {"papersClicked", [this](const GuiEvent&) { openPapers(); }},
    };
}

void BankWindow::fillGrid(const std::string& query)
{
    // A refill may move the current cell; that is not the user choosing a row.
    fillingGrid_ = true;
    lastQuery_ = query;
    Gui::resetGrid(window_, grid);
    recordset_.open(query);
    const int rows = recordset_.recordCount();
    const int columns = recordset_.fieldCount();
    Gui::reserveGrid(window_, grid, rows + 1, 0);
    Gui::setGridRowCount(window_, grid, rows + 1);
    Gui::setGridColumnCount(window_, grid, columns);
    Gui::setGridAlternateRowColour(window_, grid, alternateRowColour);
    for (int c = 0; c < std::min<int>(columns, columnWidths.size()); ++c)
        Gui::setGridColumnWidth(window_, grid, c, columnWidths[static_cast<std::size_t>(c)]);

    std::vector<std::string> names;
    for (int i = 0; i < columns; ++i)
        names.push_back(recordset_.fieldName(i));
    if (rows >= 0)
        Gui::setGridRow(window_, grid, 0, names);

    // The grid reads a row from the kept result when it first shows or reads it.
    if (rows > 0)
        Gui::setGridRowSource(window_, grid, 1, rows, columns,
                              std::make_shared<ResultGridSource>(DbResultCopy::ofCurrentResult()));
    recordset_.close();
    fillingGrid_ = false;
}

void BankWindow::listAll()
{
    fillGrid(hasCategories() ? QuestionBank::categorizedListQuery() : QuestionBank::listAllQuery());
}

void BankWindow::search()
{
    // A radio button only by its kind: each click starts a search, and it
    // must not stay drawn pressed after one.
    Gui::setChecked(window_, searchButton, false);
    const std::string title = Gui::text(window_, searchBox);
    const std::string category = trimmed(Gui::text(window_, categoryFilterBox));
    if (hasCategories())
        fillGrid(QuestionBank::categorizedSearchQuery(title, category));
    else if (category.empty())
        fillGrid(QuestionBank::searchQuery(title));
    else
        fillGrid(QuestionBank::uncategorizedSearchQuery(title, category));
}

void BankWindow::copySearchText()
{
    Gui::setText(window_, titleBox, Gui::text(window_, searchBox));
}

void BankWindow::previewOptions()
{
    const std::vector<std::string> lines = TextRules::split(Gui::text(window_, contentBox), crlf);
    if (lines.size() < 2)
        return;
    const std::size_t shown = std::min(lines.size(), previewLabels.size());
    for (std::size_t i = 0; i < shown; ++i)
        Gui::setText(window_, previewLabels[i], QuestionRecord::cleanOptionLine(lines[i]));
}

void BankWindow::loadRow()
{
    if (fillingGrid_)
        return;
    clearTexts();
    clearPreviews();
    uncheckAnswers();
    const int row = Gui::gridCurrentRow(window_, grid);
    if (row == -1) {
        reportError(noRowMessage());
        return;
    }
    Gui::setText(window_, titleBox, Gui::gridText(window_, grid, row, 1));
    // Setting the content runs the preview.
    Gui::setText(window_, contentBox, QuestionRecord::optionsToLines(Gui::gridText(window_, grid, row, 2)));
    if (std::optional<int> item = QuestionRecord::didComboIndex(Gui::gridText(window_, grid, row, 4)))
        Gui::setComboIndex(window_, countCombo, *item);
    if (Gui::gridColumnCount(window_, grid) > categoryColumn)
        Gui::setText(window_, categoryBox, Gui::gridText(window_, grid, row, categoryColumn));
    const std::string answer = Gui::gridText(window_, grid, row, 3);
    for (const char* button : answerButtons) {
        if (Gui::text(window_, button) == answer)
            Gui::setChecked(window_, button, true);
    }
    if (AnswerKey::isMultiple(answer))
        Gui::setText(window_, multipleKeyBox, answer);
}

void BankWindow::add()
{
    const std::string title = Gui::text(window_, titleBox);
    // Blanks and line breaks alone would be stored as an empty title.
    if (QuestionRecord::cleanAddedTitle(title).empty()) {
        Gui::messageBox(GBK("请输入标题"));
        return;
    }
    if (Gui::text(window_, contentBox).empty()) {
        Gui::messageBox(GBK("请输入内容"));
        return;
    }
    const int item = Gui::comboIndex(window_, countCombo);
    if (item == -1) {
        Gui::messageBox(GBK("请输选择题目选项"));
        return;
    }
    const std::optional<std::string> answer = chosenKey(Gui::comboItemValue(window_, countCombo, item));
    if (!answer)
        return;
    if (recordset_.exists(QuestionBank::table, QuestionBank::titleCondition(title))) {
        Gui::messageBox(GBK("题目已经存在"));
        return;
    }
    // Only the last option of the chosen count is looked at.
    const int count = Gui::comboItemValue(window_, countCombo, item);
    const std::vector<std::string> shown = previews();
    if ((count == 3 && shown[2].empty()) || (count == 2 && shown[1].empty()) || (count == 4 && shown[3].empty())) {
        Gui::messageBox(GBK("格式错误"));
        return;
    }
    const std::string statement = QuestionBank::insertStatement({.title = QuestionRecord::cleanAddedTitle(title),
                                                                 .options = optionText(),
                                                                 .answer = *answer,
                                                                 .did = QuestionRecord::didFromItemValue(count)});
    if (!connection_.execute(statement)) {
        reportError(GBK("抱歉，添加失败失败\r\n导致错误原因可能是字符错误"));
        return;
    }
    if (!storeCategory(QuestionBank::setCategoryByTitleStatement(QuestionRecord::cleanAddedTitle(title),
                                                                 trimmed(Gui::text(window_, categoryBox))))) {
        listAll();
        return;
    }
    listAll();
    clearEditor();
}

void BankWindow::modify()
{
    const std::string& failure = GBK("抱歉，修改失败失败\r\n导致错误原因可能是字符错误");
    const int row = Gui::gridCurrentRow(window_, grid);
    if (row == -1) {
        reportError(noRowMessage());
        return;
    }
    std::optional<std::string> typed =
        chosenKey(Gui::comboItemValue(window_, countCombo, Gui::comboIndex(window_, countCombo)));
    if (!typed)
        return;
    // The option buttons hold one letter: left unchecked, a multiple-answer key stays as it is.
    std::string answer = std::move(*typed);
    if (const std::string held = Gui::gridText(window_, grid, row, 3); answer.empty() && AnswerKey::isMultiple(held))
        answer = held;
    const std::string statement = QuestionBank::updateStatement({.id = Gui::gridText(window_, grid, row, 0),
                                                                 .title = Gui::text(window_, titleBox),
                                                                 .options = optionText(),
                                                                 .answer = answer,
                                                                 .did = optionCountText()});
    // No row changed means the question was deleted meanwhile.
    if (statement.empty() || !connection_.execute(statement) || connection_.changedRows() == 0) {
        reportError(failure);
        return;
    }
    if (!storeCategory(QuestionBank::setCategoryStatement(Gui::gridText(window_, grid, row, 0),
                                                          trimmed(Gui::text(window_, categoryBox))))) {
        listAll();
        return;
    }
    listAll();
    clearEditor();
}

void BankWindow::remove()
{
    if (Gui::gridCurrentRow(window_, grid) == -1) {
        reportError(noRowMessage());
        return;
    }
    if (Gui::messageBox(GBK("是否要删除数据？删除后不可恢复！"), std::nullopt, MessageBoxIcon::Information,
                        MessageBoxButtons::YesNo) != MessageBoxResult::Yes)
        return;
    const std::string& failure = GBK("抱歉，删除失败");
    // The box kept messages flowing, so the row is read again.
    const int row = Gui::gridCurrentRow(window_, grid);
    const std::string id = row == -1 ? std::string() : Gui::gridText(window_, grid, row, 0);
    if (!QuestionBank::isKey(id) || !recordset_.deleteRows(QuestionBank::table, QuestionBank::keyCondition(id)) ||
        connection_.changedRows() == 0) {
        reportError(failure);
        return;
    }
    // SQLite may give the key of the last row to the next question added.
    if (hasCategories())
        connection_.execute(QuestionBank::setCategoryStatement(id, {}));
    listAll();
    // Clearing the content leaves the previews as they were.
    clearTexts();
    uncheckAnswers();
}

void BankWindow::importBank()
{
    if (actions_.exchange.importBank) {
        actions_.exchange.importBank(lastQuery_);
        listAll();
        clearEditor();
    }
}

void BankWindow::exportBank()
{
    if (actions_.exchange.exportBank)
        actions_.exchange.exportBank(lastQuery_);
}

void BankWindow::openStatistics()
{
    if (actions_.statistics)
        actions_.statistics(window_, [this](const std::string& key) { showQuestion(key); });
}

void BankWindow::openPapers()
{
    if (actions_.papers)
        actions_.papers(window_);
}

void BankWindow::showQuestion(const std::string& key)
{
    fillGrid(hasCategories() ? QuestionBank::categorizedKeyQuery(key) : QuestionBank::keyQuery(key));
    if (Gui::gridRowCount(window_, grid) < 2) {
        Gui::messageBox(GBK("题库中已没有这道题（题号 ") + key + GBK("）。"), GBK("提示"), MessageBoxIcon::Information);
        listAll();
        return;
    }
    Gui::setGridCurrentCell(window_, grid, 1, 1);
}

std::string BankWindow::answerLetter() const
{
    for (const char* button : answerButtons) {
        if (Gui::checked(window_, button))
            return button;
    }
    return {};
}

std::optional<std::string> BankWindow::chosenKey(int optionCount)
{
    const std::string typed = TextRules::removeSpaces(Gui::text(window_, multipleKeyBox));
    if (typed.empty())
        return answerLetter();
    AnswerKey::Checked checked = AnswerKey::check(typed, optionCount);
    if (checked.key.empty()) {
        reportError(checked.reason);
        return std::nullopt;
    }
    return std::move(checked.key);
}

std::string BankWindow::optionText() const
{
    return QuestionRecord::packOptions(previews());
}

std::string BankWindow::optionCountText() const
{
    return QuestionRecord::didFromItemValue(
        Gui::comboItemValue(window_, countCombo, Gui::comboIndex(window_, countCombo)));
}

std::vector<std::string> BankWindow::previews() const
{
    std::vector<std::string> texts;
    for (const char* label : previewLabels)
        texts.push_back(Gui::text(window_, label));
    return texts;
}

void BankWindow::clearTexts()
{
    Gui::setText(window_, titleBox, {});
    Gui::setText(window_, contentBox, {});
    Gui::setText(window_, categoryBox, {});
    Gui::setText(window_, multipleKeyBox, {});
}

bool BankWindow::hasCategories()
{
    return connection_.execute(QuestionBank::categoryProbeQuery());
}

bool BankWindow::storeCategory(const std::string& statement)
{
    // Opened without the category controls, the window leaves categories alone.
    if (!Gui::controlExists(window_, categoryBox))
        return true;
    const std::string category = trimmed(Gui::text(window_, categoryBox));
    const bool none = category.empty() || category == QuestionBank::uncategorisedText();
    // A bank that never had a category gets its table only with the first one.
    if (none && !hasCategories())
        return true;
    if (connection_.execute(QuestionBank::createCategoryTableStatement(BackendRegistry::currentKind())) &&
        connection_.execute(statement))
        return true;
    reportError(GBK("题目已保存，但分类没有保存：") + connection_.lastErrorText());
    return false;
}

std::string BankWindow::trimmed(const std::string& text)
{
    constexpr char blanks[] = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

void BankWindow::clearPreviews()
{
    for (const char* label : previewLabels)
        Gui::setText(window_, label, {});
}

void BankWindow::uncheckAnswers()
{
    for (auto it = answerButtons.rbegin(); it != answerButtons.rend(); ++it)
        Gui::setChecked(window_, *it, false);
}

void BankWindow::clearEditor()
{
    clearTexts();
    clearPreviews();
    uncheckAnswers();
}

void BankWindow::reportError(const std::string& message)
{
    Gui::messageBox(message, errorCaption(), MessageBoxIcon::Error);
}
