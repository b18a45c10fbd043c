#include "bank/PaperEditor.h"

#include "bank/PaperEditorLayout.h"
#include "db/Database.h"
#include "papers/PaperDraw.h"
#include "platform/CodePage.h"
#include "questions/TextRules.h"

#include <algorithm>
#include <charconv>

using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

constexpr const char* window = PaperEditor::windowId;
constexpr char paperGrid[] = "试卷表";
constexpr char ruleGrid[] = "规则表";
constexpr char countGrid[] = "题量表";
constexpr char nameBox[] = "名称编辑框";
constexpr char minutesBox[] = "时间编辑框";
constexpr char passBox[] = "及格编辑框";
constexpr char partialBox[] = "部分得分";
constexpr char modeCombo[] = "方式框";
constexpr char handInBox[] = "到时交卷";
constexpr char shuffleBox[] = "选项乱序";
constexpr char ruleCategoryCombo[] = "规则分类";
constexpr char ruleKindCombo[] = "规则题型";
constexpr char ruleCountBox[] = "规则题数";
constexpr char statusLabel[] = "状态标签";
constexpr const char* pointsBoxes[QuestionKind::count] = {"单选分值", "多选分值", "判断分值"};
constexpr platform::Rgb tooFewColour = 0xFFC0C0;
// No pass mark can be negative: it stands for one typed that is no number.
constexpr int unreadablePassMark = -1;

std::optional<int> wholeNumber(const std::string& typed)
{
    const std::string text = TextRules::trimSpaces(typed);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

const std::string& wholeBankText()
{
    return GBK("整个题库");
}

std::string kindText(std::optional<QuestionKind::Kind> kind)
{
    return kind ? QuestionKind::name(*kind) : GBK("任意");
}

void fillGrid(const char* grid, const std::vector<std::string>& header, const std::vector<int>& widths, int rows)
{
    Gui::resetGrid(window, grid);
    Gui::setGridColumnCount(window, grid, static_cast<int>(header.size()));
    Gui::setGridRowCount(window, grid, rows + 1);
    Gui::setGridRow(window, grid, 0, header);
    for (std::size_t c = 0; c < widths.size(); ++c)
        Gui::setGridColumnWidth(window, grid, static_cast<int>(c), widths[c]);
}

int chosenValue(const char* combo)
{
    return Gui::comboItemValue(window, combo, Gui::comboIndex(window, combo));
}

} // namespace

BankWindow::PapersAction PaperEditor::bankAction(BankSource bank)
{
    return [bank = std::move(bank)](const std::string& owner) {
        Database* database = bank ? bank() : nullptr;
        if (database == nullptr || !database->isOpen()) {
            Gui::failure(GBK("无法读取题库：题库没有打开"));
            return;
        }
        PaperEditor editor(*database);
        editor.run(owner);
    };
}

void PaperEditor::run(const std::string& owner)
{
    // Without the counts the papers can still be read and mended.
    if (!book_.countQuestions(counts_))
        Gui::failure(GBK("无法读取题库中的题目：") + book_.lastErrorText());
    categories_ = counts_.categories();
    Gui::runModal(paperEditorLayout(categories_), handlers(), owner);
}

platform::HandlerTable PaperEditor::handlers()
{
    return {
        {"paperEditorCreated", [this](const GuiEvent&) { created(); }},
        {"paperChosen", [this](const GuiEvent&) { loadPaper(); }},
        {"addRuleClicked", [this](const GuiEvent&) { addRule(); }},
        {"removeRuleClicked", [this](const GuiEvent&) { removeRule(); }},
        {"newClicked", [this](const GuiEvent&) { newPaper(); }},
        {"saveClicked", [this](const GuiEvent&) { save(); }},
        {"deleteClicked", [this](const GuiEvent&) { remove(); }},
        {"closeClicked", [this](const GuiEvent&) { close(); }},
    };
}

void PaperEditor::created()
{
    Gui::setComboIndex(window, ruleCategoryCombo, 0);
    Gui::setComboIndex(window, ruleKindCombo, 0);
    showCounts();
    startNew();
}

void PaperEditor::listPapers()
{
    // A refill moves the current cell; that is not the administrator choosing a paper.
    filling_ = true;
    if (!book_.list(papers_)) {
        papers_.clear();
        Gui::failure(GBK("无法读取试卷：") + book_.lastErrorText());
    }
    fillGrid(paperGrid, {GBK("试卷名称"), GBK("题数"), GBK("时间"), GBK("方式"), GBK("及格分")}, {196, 50, 64, 50, 64},
             static_cast<int>(papers_.size()));
    for (std::size_t i = 0; i < papers_.size(); ++i) {
        const PaperDefinition& paper = papers_[i];
        Gui::setGridRow(window, paperGrid, static_cast<int>(i + 1),
                        {paper.name, std::to_string(paper.questionCount()), std::to_string(paper.minutes) + GBK("分钟"),
                         PaperDefinition::modeName(paper.mode), PaperDefinition::pointsText(paper.passMarkTenths)});
        if (!loaded_.empty() && paper.name == loaded_)
            Gui::setGridCurrentCell(window, paperGrid, static_cast<int>(i + 1), 0);
    }
    filling_ = false;
}

void PaperEditor::loadPaper()
{
    if (filling_)
        return;
    const int row = Gui::gridCurrentRow(window, paperGrid);
    if (row < 1 || row > static_cast<int>(papers_.size()))
        return;
    const PaperDefinition paper = papers_[static_cast<std::size_t>(row - 1)];
    if (paper.name == loaded_)
        return;
    if (!discardChanges()) {
        // Back to the row of the paper still in the fields.
        listPapers();
        return;
    }
    loaded_ = paper.name;
    showPaper(paper);
    say({});
}

void PaperEditor::newPaper()
{
    if (discardChanges())
        startNew();
}

void PaperEditor::close()
{
    if (discardChanges())
        Gui::closeWindow(window);
}

void PaperEditor::startNew()
{
    loaded_.clear();
    listPapers();
    showPaper(PaperDefinition{});
    say({});
}

bool PaperEditor::discardChanges()
{
    if (fieldsAsTyped() == shown_)
        return true;
    const std::string paper = loaded_.empty() ? GBK("新试卷") : GBK("试卷“") + loaded_ + GBK("”");
    return Gui::messageBox(paper + GBK("的修改还没有保存，要放弃这些修改吗？"), GBK("提示"),
                           MessageBoxIcon::Information, MessageBoxButtons::YesNo) == MessageBoxResult::Yes;
}

void PaperEditor::showPaper(const PaperDefinition& paper)
{
    Gui::setText(window, nameBox, paper.name);
    Gui::setText(window, minutesBox, std::to_string(paper.minutes));
    Gui::setText(window, passBox, PaperDefinition::pointsText(paper.passMarkTenths));
    for (int kind = 0; kind < QuestionKind::count; ++kind)
        Gui::setText(window, pointsBoxes[kind], PaperDefinition::pointsText(paper.pointsTenths[kind]));
    Gui::setChecked(window, partialBox, paper.partialCredit);
    Gui::setComboIndex(window, modeCombo, paper.mode == PaperDefinition::Mode::Exam ? 1 : 0);
    Gui::setChecked(window, handInBox, paper.handInWhenTimeUp);
    Gui::setChecked(window, shuffleBox, paper.shuffleOptions);
    rules_ = paper.rules;
    showRules();
    shown_ = paper;
}

void PaperEditor::showRules()
{
    fillGrid(ruleGrid, {GBK("分类"), GBK("题型"), GBK("题数"), GBK("题库现有")}, {214, 70, 60, 80},
             static_cast<int>(rules_.size()));
    for (std::size_t i = 0; i < rules_.size(); ++i) {
        const PaperDefinition::Rule& rule = rules_[i];
        const int row = static_cast<int>(i + 1);
        const int held = counts_.count(rule);
        Gui::setGridRow(window, ruleGrid, row,
                        {rule.category.empty() ? wholeBankText() : rule.category, kindText(rule.kind),
                         std::to_string(rule.count), std::to_string(held)});
        if (rule.count > held)
            Gui::setGridCellBackground(window, ruleGrid, row, 3, tooFewColour);
    }
}

void PaperEditor::showCounts()
{
    std::vector<std::string> header{GBK("分类")};
    for (int kind = 0; kind < QuestionKind::count; ++kind)
        header.push_back(QuestionKind::name(static_cast<QuestionKind::Kind>(kind)));
    header.push_back(GBK("合计"));
    fillGrid(countGrid, header, {206, 56, 56, 56, 56}, static_cast<int>(categories_.size() + 1));
    std::vector<std::string> names{std::string()};
    names.insert(names.end(), categories_.begin(), categories_.end());
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::vector<std::string> cells{names[i].empty() ? wholeBankText() : names[i]};
        for (int kind = 0; kind < QuestionKind::count; ++kind)
            cells.push_back(std::to_string(counts_.count(names[i], static_cast<QuestionKind::Kind>(kind))));
        cells.push_back(std::to_string(counts_.count(names[i])));
        Gui::setGridRow(window, countGrid, static_cast<int>(i + 1), cells);
    }
}

PaperDefinition PaperEditor::fieldsAsTyped() const
{
    // A number that does not read as one leaves the field at 0, for the
    // definition's own check to name the field and its range.
    PaperDefinition paper;
    paper.name = Gui::text(window, nameBox);
    paper.rules = rules_;
    paper.minutes = wholeNumber(Gui::text(window, minutesBox)).value_or(0);
    for (int kind = 0; kind < QuestionKind::count; ++kind)
        paper.pointsTenths[kind] =
            PaperDefinition::parsePoints(TextRules::trimSpaces(Gui::text(window, pointsBoxes[kind]))).value_or(0);
    paper.partialCredit = Gui::checked(window, partialBox);
    if (const std::string pass = TextRules::trimSpaces(Gui::text(window, passBox)); !pass.empty())
        paper.passMarkTenths = PaperDefinition::parsePoints(pass).value_or(unreadablePassMark);
    paper.mode = chosenValue(modeCombo) == 1 ? PaperDefinition::Mode::Exam : PaperDefinition::Mode::Practice;
    paper.handInWhenTimeUp = Gui::checked(window, handInBox);
    paper.shuffleOptions = Gui::checked(window, shuffleBox);
    return paper;
}

std::optional<PaperDefinition> PaperEditor::fieldsAsPaper() const
{
    PaperDefinition paper = fieldsAsTyped();
    // Read as 0 a typo would pass every candidate, so it is refused here.
    if (paper.passMarkTenths == unreadablePassMark) {
        Gui::failure(GBK("及格分数请填写数字，最多一位小数，如 60 或 59.5。"));
        return std::nullopt;
    }
    return paper;
}

void PaperEditor::save()
{
    const std::optional<PaperDefinition> paper = fieldsAsPaper();
    if (!paper)
        return;
    if (const std::string problem = paper->validate(); !problem.empty()) {
        Gui::failure(problem);
        return;
    }
    // A paper the bank cannot serve would only be refused once a candidate picked it.
    PaperDraw draw(bank_);
    std::vector<QuestionRecord> drawn;
    if (!draw.draw(*paper, 0, drawn)) {
        Gui::failure(draw.lastErrorText());
        return;
    }
    const bool overwrites = paper->name != loaded_ && std::any_of(papers_.begin(), papers_.end(),
                                                                  [&](const auto& p) { return p.name == paper->name; });
    if (overwrites &&
        Gui::messageBox(GBK("已有名为“") + paper->name + GBK("”的试卷，要用现在的内容替换它吗？"), GBK("提示"),
                        MessageBoxIcon::Information, MessageBoxButtons::YesNo) != MessageBoxResult::Yes)
        return;
    if (!book_.save(*paper, loaded_)) {
        Gui::failure(GBK("试卷没有保存：") + book_.lastErrorText());
        return;
    }
    loaded_ = paper->name;
    listPapers();
    showPaper(*paper);
    say(GBK("试卷“") + paper->name + GBK("”已保存。"));
}

void PaperEditor::remove()
{
    if (loaded_.empty()) {
        Gui::notice(GBK("请先在列表中选择要删除的试卷。"));
        return;
    }
    if (Gui::messageBox(GBK("是否要删除试卷“") + loaded_ + GBK("”？删除后不可恢复！"), GBK("提示"),
                        MessageBoxIcon::Information, MessageBoxButtons::YesNo) != MessageBoxResult::Yes)
        return;
    if (!book_.remove(loaded_)) {
        Gui::failure(GBK("试卷没有删除：") + book_.lastErrorText());
        return;
    }
    const std::string removed = loaded_;
    startNew();
    say(GBK("试卷“") + removed + GBK("”已删除。"));
}

void PaperEditor::addRule()
{
    const std::optional<int> count = wholeNumber(Gui::text(window, ruleCountBox));
    if (!count || *count < 1 || *count > PaperDefinition::maxQuestions) {
        Gui::failure(GBK("请在题数中填写1到") + std::to_string(PaperDefinition::maxQuestions) + GBK("之间的整数。"));
        return;
    }
    PaperDefinition::Rule rule{.count = *count};
    if (const int category = chosenValue(ruleCategoryCombo); category > 0)
        rule.category = categories_[static_cast<std::size_t>(category - 1)];
    if (const int kind = chosenValue(ruleKindCombo); kind > 0)
        rule.kind = static_cast<QuestionKind::Kind>(kind - 1);
    rules_.push_back(rule);
    showRules();
    Gui::setText(window, ruleCountBox, {});
    const int held = counts_.count(rule);
    say(rule.count > held ? GBK("题库中") + PaperDefinition::describe(rule) + GBK("只有") + std::to_string(held) +
                                GBK("道，这样的试卷不能保存。")
                          : std::string());
}

void PaperEditor::removeRule()
{
    const int row = Gui::gridCurrentRow(window, ruleGrid);
    if (row < 1 || row > static_cast<int>(rules_.size())) {
        Gui::notice(GBK("请先在抽题要求中选择要删除的一条。"));
        return;
    }
    rules_.erase(rules_.begin() + (row - 1));
    showRules();
    say({});
}

void PaperEditor::say(const std::string& text)
{
    Gui::setText(window, statusLabel, text);
}
