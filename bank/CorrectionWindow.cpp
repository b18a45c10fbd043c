#include "bank/CorrectionWindow.h"

#include "bank/CorrectionWindowLayout.h"
#include "exam/AppState.h"
#include "platform/CodePage.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionBank.h"
#include "questions/QuestionRecord.h"
#include "questions/TextRules.h"

#include <array>
#include <memory>

using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxIcon;

namespace {

constexpr char titleBox[] = "标题编辑框";
constexpr char contentBox[] = "内容编辑框";
constexpr std::array<const char*, 4> answerButtons = {"A", "B", "C", "D"};

constexpr char answerSwitch[] = "显示正确答案";
constexpr char answerLabel[] = "透明标签7";
constexpr char categoryLabel[] = "分类标签";
constexpr char multipleKeyBox[] = "多选答案编辑框";
constexpr int categoryColumn = 5;

} // namespace

CorrectionWindow::CorrectionWindow(AppState& state, std::string examWindow, std::optional<OptionOrder> order)
    : state_(state), window_(correctionWindowLayout().id), examWindow_(std::move(examWindow)), order_(order)
{
}

platform::WindowDescription CorrectionWindow::layout()
{
    platform::WindowDescription description = correctionWindowLayout();
    description.controls.push_back(correctionCategoryLabel());
    for (platform::ControlDescription& control : correctionMultipleKeyControls())
        description.controls.push_back(std::move(control));
    return description;
}

platform::HandlerTable CorrectionWindow::handlers(AppState& state, const std::string& examWindow,
                                                  std::optional<OptionOrder> order)
{
    auto window = std::make_shared<CorrectionWindow>(state, examWindow, order);
    platform::HandlerTable table = window->handlerTable();
    for (auto& entry : table)
        entry.second = [window, handler = std::move(entry.second)](const GuiEvent& event) { handler(event); };
    return table;
}

platform::HandlerTable CorrectionWindow::handlerTable()
{
    return {
        {"correctionCreated", [this](const GuiEvent&) { fill(); }},
        {"correctClicked", [this](const GuiEvent&) { correct(); }},
    };
}

void CorrectionWindow::fill()
{
    if (idMissing())
        return;
    const PaperEntry& entry = state_.paper.entry(state_.currentQuestion);
    state_.currentId = entry.id;
    Gui::setText(window_, titleBox, entry.title);
    Gui::setText(window_, contentBox,
                 QuestionRecord::optionsToContent(order_ ? order_->shownOptions(entry.options) : entry.options));
    const std::string answer = shown(entry.answer);
    for (const char* button : answerButtons) {
        if (Gui::text(window_, button) == answer)
            Gui::setChecked(window_, button, true);
    }
    if (AnswerKey::isMultiple(answer))
        Gui::setText(window_, multipleKeyBox, answer);
    showCategory();
}

void CorrectionWindow::showCategory()
{
    // A bank that never had categories shows none, not every question 未分类.
    if (!Gui::controlExists(window_, categoryLabel) || !state_.connection.execute(QuestionBank::categoryProbeQuery()))
        return;
    std::string category;
    if (state_.recordset.attach(state_.connection) &&
        state_.recordset.open(QuestionBank::categorizedKeyQuery(state_.currentId)) &&
        state_.recordset.recordCount() > 0 && state_.recordset.readTextAt(categoryColumn, category)) {
        Gui::setText(window_, categoryLabel, GBK("分类：") + category);
        Gui::setVisible(window_, categoryLabel, true);
    }
    state_.recordset.close();
}

void CorrectionWindow::correct()
{
    if (idMissing())
        return;
    const std::string& failure = GBK("亲、抱歉，修改失败失败\r\n导致错误原因可能是字符错误");
    // Letters typed in the box win over the option buttons.
    std::string answer = answerLetter();
    if (const std::string typed = TextRules::removeSpaces(Gui::text(window_, multipleKeyBox)); !typed.empty()) {
        const std::string& did = state_.paper.entry(state_.currentQuestion).did;
        AnswerKey::Checked checked = AnswerKey::check(typed, did.size() == 1 ? did[0] - '0' : 0);
        if (checked.key.empty()) {
            reportError(checked.reason);
            return;
        }
        answer = std::move(checked.key);
    }
    std::string options = QuestionRecord::contentToOptions(Gui::text(window_, contentBox));
    if (order_) {
        answer = order_->toBank(answer);
        options = order_->bankOptions(options);
    }
    // The option buttons hold one letter: left unchecked, a multiple-answer key stays as it is.
    if (answer.empty() && AnswerKey::isMultiple(state_.paper.entry(state_.currentQuestion).answer))
        answer = state_.paper.entry(state_.currentQuestion).answer;
    const std::string statement = QuestionBank::correctionStatement(
        {.id = state_.currentId, .title = Gui::text(window_, titleBox), .options = options, .answer = answer});
    // No row changed means the question was deleted from the bank meanwhile;
    // the paper then keeps the question as drawn.
    if (statement.empty() || !state_.connection.execute(statement) || state_.connection.changedRows() == 0) {
        reportError(failure);
        return;
    }

    // The candidate's choice stays; the hand-in marks it against the new answer.
    PaperEntry& entry = state_.paper.entry(state_.currentQuestion);
    entry.title = Gui::text(window_, titleBox);
    entry.options = options;
    entry.answer = answer;
    if (Gui::checked(examWindow_, answerSwitch))
        Gui::setText(examWindow_, answerLabel, shown(answer));
    if (state_.showQuestion)
        state_.showQuestion(state_.currentQuestion);
    Gui::closeWindow(window_);
}

std::string CorrectionWindow::shown(const std::string& bankLetters) const
{
    return order_ ? order_->toShown(bankLetters) : bankLetters;
}

std::string CorrectionWindow::answerLetter() const
{
    for (const char* button : answerButtons) {
        if (Gui::checked(window_, button))
            return button;
    }
    return {};
}

bool CorrectionWindow::idMissing()
{
    if (!state_.currentId.empty())
        return false;
    reportError(GBK("id传送错误【 ") + state_.currentId + GBK(" 】"));
    return true;
}

void CorrectionWindow::reportError(const std::string& message)
{
    Gui::messageBox(message, GBK("信息"), MessageBoxIcon::Error);
}
