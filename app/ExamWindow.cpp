#include "app/ExamWindow.h"

#include "app/AnswerReport.h"
#include "app/AttemptBridge.h"
#include "app/ExamAccessibility.h"
#include "app/ProgramPaths.h"
#include "attempts/ReportPdf.h"
#include "bank/BankWindow.h"
#include "bank/BankWindowLayout.h"
#include "bank/CorrectionWindow.h"
#include "bank/CorrectionWindowLayout.h"
#include "bank/ExamWindowLayout.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionRecord.h"
#include "questions/TextRules.h"

#include <QDate>
#include <QDateTime>

#include <cstdlib>

using platform::Border;
using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

constexpr char optionNames[4][2] = {"A", "B", "C", "D"};
// Check boxes standing over the options while a multiple-answer question is
// on screen, and the word beside the number that says so.
constexpr const char* tickBoxNames[4] = {"多选A", "多选B", "多选C", "多选D"};
constexpr char kindLabel[] = "多选题标签";
constexpr char cellTemplate[] = "复制标签";
constexpr char answerSwitch[] = "显示正确答案";
constexpr char answerLabel[] = "透明标签7";
constexpr char chosenLabel[] = "透明标签6";
constexpr char htmlView[] = "超文本浏览框1";
constexpr const char* reportFile = ProgramPaths::reportFile;
constexpr char pdfButton[] = "PDF按钮";

constexpr int largeFontPoints = 14;
constexpr int smallFontPoints = 12;
constexpr platform::GuiRect reportArea{216, 8, 792, 600}; // exactly over the question pages
constexpr int cellPitch = 31;
constexpr int gridColumns = 25;

constexpr platform::Rgb red = 0xFF0000;
constexpr platform::Rgb green = 0x00FF00;
constexpr platform::Rgb yellow = 0xFFFF00;
// An answered cell of an exam-mode paper before the hand-in: answered, no more.
constexpr platform::Rgb answeredBackground = 0x87CEFA;
constexpr platform::Rgb answeredText = 0x000000;

const std::string& examWindow()
{
    static const std::string id = ExamWindow::windowId;
    return id;
}

} // namespace

ExamWindow::ExamWindow(AppState& state, RoomServices& room, BankWindow::Actions bankActions)
    : state_(state), room_(room), bankActions_(std::move(bankActions))
{
}

ExamWindow::~ExamWindow()
{
    if (Gui::isOpen(examWindow()))
        Gui::closeWindow(examWindow());
}

std::string ExamWindow::cellName(int k)
{
    return "题号格" + std::to_string(k);
}

bool ExamWindow::open()
{
    return Gui::openWindow(examWindowLayout(), handlers());
}

platform::HandlerTable ExamWindow::handlers()
{
    return {
        {"examCreated", [this](const GuiEvent&) { created(); }},
        {"examBeingDestroyed", [this](const GuiEvent&) { beingDestroyed(); }},
        {"optionClicked", [this](const GuiEvent& e) { optionClicked(e); }},
        {"tickBoxClicked", [this](const GuiEvent&) { tickBoxClicked(); }},
        {"answerSwitchClicked", [this](const GuiEvent&) { answerSwitchClicked(); }},
        {"cellPressed", [this](const GuiEvent& e) { cellPressed(e); }},
        {"previousClicked", [this](const GuiEvent&) { previousClicked(); }},
        {"nextClicked", [this](const GuiEvent&) { nextClicked(); }},
        {"largerFontClicked", [this](const GuiEvent&) { setQuestionFontSize(largeFontPoints); }},
        {"smallerFontClicked", [this](const GuiEvent&) { setQuestionFontSize(smallFontPoints); }},
        {"bankButtonClicked", [this](const GuiEvent&) { openBankWindow(); }},
        {"correctionButtonClicked", [this](const GuiEvent&) { openCorrectionWindow(); }},
        {"handInClicked", [this](const GuiEvent&) { handIn(); }},
        {"savePdfClicked", [this](const GuiEvent&) { saveReportPdf(); }},
        {"historyClicked",
         [this](const GuiEvent&) { AttemptBridge::openHistory(state_, room_, state_.candidateId, examWindow()); }},
        {"statusBarPressed", [](const GuiEvent&) {}},
    };
}

void ExamWindow::created()
{
    const std::string& w = examWindow();
    state_.showQuestion = [this](int k) { showQuestion(k); };
    state_.currentQuestion = 1;
    handedIn_ = false;

    const platform::GuiRect cell = Gui::geometry(w, cellTemplate);
    for (int i = 1; i <= Paper::size; ++i) {
        const std::string name = cellName(i);
        Gui::copyControl(w, cellTemplate, name);
        state_.questionCells[static_cast<std::size_t>(i - 1)] = name;
        Gui::move(w, name, cell.left + cellPitch * ((i - 1) % gridColumns),
                  cell.top + cellPitch * ((i - 1) / gridColumns));
        Gui::setVisible(w, name, true);
        Gui::setTag(w, name, std::to_string(i));
        Gui::setText(w, name, std::to_string(i));
    }
    for (int i = 1; i <= Paper::size; ++i)
        showFlag(i);
    // A drill shows only the cells of its own questions.
    for (int i = state_.paperLength + 1; i <= Paper::size; ++i)
        Gui::setVisible(w, cellName(i), false);
    if (state_.drill) {
        Gui::setWindowCaption(w, Gui::windowCaption(w) + GBK(" - 错题练习"));
        Gui::setText(w, "透明标签4", GBK("错题") + std::to_string(state_.paperLength) + GBK("道、每题1分"));
    }

    Gui::setText(w, "透明标签1", state_.candidateId);
    Gui::setText(w, "透明标签2", state_.seatNumber);
    Gui::setVisible(w, "题库管理按钮", state_.candidateId == accessCode);
    Gui::setStatusText(w, "状态条", 1, state_.candidateId);
    setUpDefinedPaper();

    addMultipleAnswerControls();
    addPdfButton();
    showQuestion(1);
    ExamAccessibility::describeControls();
    Gui::setKeyHandler(w, [this](const platform::GuiKey& key) { return keys_.take(key); });

    Gui::startTimer(w, clockTimerId, clockIntervalMs, [this] { clockTick(); });
    state_.clock.start();
    AttemptBridge::examOpened(state_, *this);
}

void ExamWindow::setUpDefinedPaper()
{
    if (!state_.definedPaper)
        return;
    const std::string& w = examWindow();
    Gui::setText(w, "透明标签4",
                 state_.definedPaper->name + GBK(" 共") + std::to_string(state_.paperLength) + GBK("题"));
    if (state_.definedPaper->mode != PaperDefinition::Mode::Exam)
        return;
    Gui::setChecked(w, answerSwitch, false);
    Gui::setVisible(w, answerSwitch, false);
    Gui::setVisible(w, answerLabel, false);
    Gui::setVisible(w, "透明标签10", false); // the switch's caption
    Gui::setVisible(w, "纠错按钮", false);
}

std::optional<OptionOrder> ExamWindow::optionOrder(const PaperEntry& entry) const
{
    if (!state_.definedPaper || !state_.definedPaper->shuffleOptions || entry.id.empty())
        return std::nullopt;
    return OptionOrder(state_.optionSeed, entry.id, QuestionRecord::visibleOptionCount(entry.did));
}

std::string ExamWindow::shown(const PaperEntry& entry, const std::string& bankLetters) const
{
    const std::optional<OptionOrder> order = optionOrder(entry);
    return order ? order->toShown(bankLetters) : bankLetters;
}

bool ExamWindow::hidingResults() const
{
    return state_.definedPaper && state_.definedPaper->mode == PaperDefinition::Mode::Exam && !handedIn_;
}

// Made at run time so that the window's own table stays as it is; each box
// takes the place, look and tag of its option.
void ExamWindow::addMultipleAnswerControls()
{
    const std::string& w = examWindow();
    const platform::WindowDescription layout = examWindowLayout();
    for (const platform::ControlDescription& control : layout.controls) {
        for (int i = 0; i < QuestionRecord::slotCount; ++i) {
            if (control.name != optionNames[i])
                continue;
            platform::ControlDescription box = control;
            box.name = tickBoxNames[i];
            box.kind = platform::ControlKind::CheckBox;
            box.visible = false;
            box.events = {{platform::GuiEventKind::Clicked, "tickBoxClicked"}};
            Gui::addControl(w, box);
        }
    }
    // Under the number, left of the title: room nothing else takes.
    platform::ControlDescription label;
    label.name = kindLabel;
    label.kind = platform::ControlKind::TransparentLabel;
    label.container = "高级选择夹1";
    label.left = 2;
    label.top = 80;
    label.width = 46;
    label.height = 19;
    label.visible = false;
    label.caption = GBK("多选题");
    label.font = {"default", 12, true};
    label.textColour = 0x0000FF;
    Gui::addControl(w, label);
}

// Shown with the report, in the clock's page between the stopped clock and
// the score: room nothing else takes.
void ExamWindow::addPdfButton()
{
    platform::ControlDescription button;
    button.name = pdfButton;
    button.kind = platform::ControlKind::Button;
    button.container = "高级选择夹3";
    button.left = 57;
    button.top = 107;
    button.width = 96;
    button.height = 26;
    button.visible = false;
    button.caption = GBK("保存PDF…");
    button.accessibleName = GBK("答卷保存为PDF");
    button.events = {{platform::GuiEventKind::Clicked, "savePdfClicked"}};
    Gui::addControl(examWindow(), button);
}

void ExamWindow::saveReportPdf()
{
    // The report on show, byte for byte as the hand-in wrote it.
    std::string html;
    if (!platform::FileSystem::readFile(state_.filePath(reportFile), html)) {
        Gui::failure(GBK("无法读取答卷报告文件：\r\n") + state_.filePath(reportFile));
        return;
    }
    const std::string date = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString();
    ReportPdf::save(examWindow(), html, pdfHeading_, state_.filePath(ReportPdf::fileName(state_.candidateId, date)));
}

const char* ExamWindow::optionControl(int index) const
{
    const int i = std::clamp(index, 0, QuestionRecord::slotCount - 1);
    return AnswerKey::isMultiple(state_.currentAnswer) ? tickBoxNames[i] : optionNames[i];
}

void ExamWindow::beingDestroyed()
{
    platform::FileSystem::removeFile(state_.filePath(reportFile));
    stopClock();
    state_.showQuestion = nullptr;
}

void ExamWindow::showQuestion(int k)
{
    const std::string& w = examWindow();
    for (const char* option : optionNames)
        Gui::setText(w, option, {});
    for (const char* box : tickBoxNames)
        Gui::setText(w, box, {});
    Gui::setText(w, "id标签", std::to_string(k));

    const PaperEntry& entry = state_.paper.entry(k);
    state_.currentAnswer = entry.answer;
    state_.currentId = entry.id;
    Gui::setText(w, "Titlexb", entry.title);

    const int visible = QuestionRecord::visibleOptionCount(entry.did);
    const bool multiple = AnswerKey::isMultiple(entry.answer);
    for (int i = 0; i < QuestionRecord::slotCount; ++i) {
        Gui::setVisible(w, optionNames[i], !multiple && i < visible);
        Gui::setVisible(w, tickBoxNames[i], multiple && i < visible);
        Gui::setChecked(w, tickBoxNames[i],
                        multiple && AnswerKey::holds(shown(entry, entry.chosen), optionNames[i][0]));
    }
    Gui::setVisible(w, kindLabel, multiple);

    const std::string chosen = shown(entry, entry.chosen);
    for (const char* option : optionNames) {
        if (chosen == option)
            Gui::setChecked(w, option, true);
    }
    Gui::setText(w, chosenLabel, chosen);
    if (Gui::checked(w, answerSwitch))
        Gui::setText(w, answerLabel, shown(entry, state_.currentAnswer));
    Gui::setText(w, "透明标签11", GBK("题库编号：【 ") + state_.currentId + GBK(" 】"));

    // A single piece fills no option: the first two captions are only set
    // together.
    const std::optional<OptionOrder> order = optionOrder(entry);
    const std::vector<std::string> pieces =
        QuestionRecord::splitOptions(order ? order->shownOptions(entry.options) : entry.options);
    if (pieces.size() >= 2) {
        const std::size_t shown = std::min<std::size_t>(pieces.size(), QuestionRecord::slotCount);
        for (std::size_t i = 0; i < shown; ++i) {
            const std::string caption = " " + TextRules::removeAll(pieces[i], "\r\n");
            Gui::setText(w, optionNames[i], caption);
            Gui::setText(w, tickBoxNames[i], caption);
        }
    }
    ExamAccessibility::describeOptions();
    AttemptBridge::questionShown(state_, k);
}

bool ExamWindow::recordAnswer(const std::string& letter)
{
    const std::string& w = examWindow();
    PaperEntry& entry = state_.paper.entry(state_.currentQuestion);
    entry.chosen = letter;
    Gui::setText(w, chosenLabel, shown(entry, letter));
    Gui::setText(w, answerLabel, Gui::checked(w, answerSwitch) ? shown(entry, state_.currentAnswer) : GBK("关"));

    const bool correct = AnswerKey::matches(letter, state_.currentAnswer);
    colourCell(state_.currentQuestion, state_.currentAnswer);
    describeCell(state_.currentQuestion);
    AttemptBridge::answered(state_);
    return correct;
}

// A screen reader hears the letters the candidate sees.
void ExamWindow::describeCell(int k)
{
    PaperEntry entry = state_.paper.entry(k);
    entry.chosen = shown(entry, entry.chosen);
    ExamAccessibility::describeCell(k, entry);
}

void ExamWindow::colourCell(int k, const std::string& key)
{
    const std::string& w = examWindow();
    const PaperEntry& entry = state_.paper.entry(k);
    const std::string cell = cellName(k);
    if (entry.chosen.empty()) {
        // Every box unticked again: the question is unanswered, its cell as drawn.
        Gui::setTextColour(w, cell, Gui::textColour(w, cellTemplate));
        Gui::setBackgroundColour(w, cell, Gui::backgroundColour(w, cellTemplate));
    } else if (hidingResults()) {
        Gui::setTextColour(w, cell, answeredText);
        Gui::setBackgroundColour(w, cell, answeredBackground);
    } else {
        const bool correct = AnswerKey::matches(entry.chosen, key);
        Gui::setTextColour(w, cell, correct ? red : yellow);
        Gui::setBackgroundColour(w, cell, correct ? green : red);
    }
}

// The controls' tags are the letters on screen; the paper keeps the bank's.
void ExamWindow::optionClicked(const GuiEvent& event)
{
    const std::string letter = Gui::tag(examWindow(), event.control);
    const std::optional<OptionOrder> order = optionOrder(state_.paper.entry(state_.currentQuestion));
    recordAnswer(order ? order->toBank(letter) : letter);
}

void ExamWindow::tickBoxClicked()
{
    std::string chosen;
    for (int i = 0; i < QuestionRecord::slotCount; ++i)
        if (Gui::checked(examWindow(), tickBoxNames[i]))
            chosen += optionNames[i];
    const std::optional<OptionOrder> order = optionOrder(state_.paper.entry(state_.currentQuestion));
    recordAnswer(order ? order->toBank(chosen) : chosen);
}

void ExamWindow::answerSwitchClicked()
{
    const std::string& w = examWindow();
    Gui::setText(w, answerLabel, Gui::checked(w, answerSwitch) ? state_.currentAnswer : std::string());
}

void ExamWindow::resetCellBorders()
{
    for (const std::string& cell : state_.questionCells)
        Gui::setBorder(examWindow(), cell, Border::Raised);
}

void ExamWindow::uncheckOptions()
{
    for (const char* option : {"D", "C", "B", "A"})
        Gui::setChecked(examWindow(), option, false);
}

void ExamWindow::cellPressed(const GuiEvent& event)
{
    const std::string& w = examWindow();
    resetCellBorders();
    Gui::setBorder(w, event.control, Border::Sunken);
    uncheckOptions();
    const int k = std::atoi(Gui::text(w, event.control).c_str());
    if (k < 1 || k > state_.paperLength)
        return;
    showQuestion(k);
    state_.currentQuestion = k;
}

void ExamWindow::jumpTo(int k)
{
    if (k < 1 || k > state_.paperLength)
        return;
    resetCellBorders();
    Gui::setBorder(examWindow(), cellName(k), Border::Sunken);
    uncheckOptions();
    showQuestion(k);
    state_.currentQuestion = k;
}

void ExamWindow::toggleFlag()
{
    const int k = state_.currentQuestion;
    PaperEntry& entry = state_.paper.entry(k);
    entry.flagged = !entry.flagged;
    showFlag(k);
    if (state_.flagChanged)
        state_.flagChanged(k);
}

void ExamWindow::showFlag(int k)
{
    const PaperEntry& entry = state_.paper.entry(k);
    Gui::setMarked(examWindow(), cellName(k), entry.flagged);
    describeCell(k);
}

void ExamWindow::previousClicked()
{
    resetCellBorders();
    uncheckOptions();
    state_.currentQuestion -= 1;
    if (state_.currentQuestion < 1) {
        state_.currentQuestion = 1;
        showQuestion(1);
        Gui::messageBox(GBK("亲！已经是第一题了，是不是搞错了啊。"), GBK("提示"), MessageBoxIcon::Information);
        return;
    }
    showQuestion(state_.currentQuestion);
    Gui::setBorder(examWindow(), cellName(state_.currentQuestion), Border::Sunken);
}

void ExamWindow::nextClicked()
{
    resetCellBorders();
    uncheckOptions();
    state_.currentQuestion += 1;
    if (state_.currentQuestion > state_.paperLength) {
        state_.currentQuestion = state_.paperLength;
        showQuestion(state_.paperLength);
        Gui::messageBox(GBK("亲！已经是最后一题了，是不是搞错了啊。"), GBK("提示"), MessageBoxIcon::Information);
        return;
    }
    showQuestion(state_.currentQuestion);
    Gui::setBorder(examWindow(), cellName(state_.currentQuestion), Border::Sunken);
}

void ExamWindow::setQuestionFontSize(int points)
{
    for (const char* control : {"A", "B", "C", "D", "Titlexb", "多选A", "多选B", "多选C", "多选D"})
        Gui::setFontPointSize(examWindow(), control, points);
}

void ExamWindow::openBankWindow()
{
    Gui::runModal(BankWindow::layout(bankActions_),
                  BankWindow::handlers(state_.connection, state_.recordset, bankActions_), examWindow());
}

void ExamWindow::openCorrectionWindow()
{
    Gui::runModal(
        CorrectionWindow::layout(),
        CorrectionWindow::handlers(state_, examWindow(), optionOrder(state_.paper.entry(state_.currentQuestion))),
        examWindow());
}

void ExamWindow::clockTick()
{
    ExamClock::Tick tick = state_.clock.tick();
    if (tick.caption) {
        Gui::setText(examWindow(), "时间", *tick.caption);
        ExamAccessibility::describeClock(*tick.caption);
    }
    if (tick.timeUp)
        stopClock();
    AttemptBridge::clockTicked(state_);
    if (tick.timeUp && state_.definedPaper && state_.definedPaper->handInWhenTimeUp && !handedIn_)
        timeUp();
}

void ExamWindow::timeUp()
{
    submit();
    Gui::messageBox(GBK("考试时间到，试卷已自动交卷，请查看答卷报告。"), GBK("信息"), MessageBoxIcon::Information);
}

void ExamWindow::stopClock()
{
    Gui::killTimer(examWindow(), clockTimerId);
}

void ExamWindow::handIn()
{
    if (Gui::messageBox(GBK("是否现在交卷吗？如果是按错您可以现在点击否按钮！"), GBK("信息："),
                        MessageBoxIcon::Information, MessageBoxButtons::YesNo) != MessageBoxResult::Yes)
        return;
    submit();
}

void ExamWindow::submit()
{
    const std::string& w = examWindow();
    const std::string path = state_.filePath(reportFile);
    const PaperDefinition* defined = state_.definedPaper ? &*state_.definedPaper : nullptr;
    const bool written =
        platform::FileSystem::writeFile(path, defined ? AnswerReport::build(state_.paper, state_.paperLength, *defined)
                                                      : AnswerReport::build(state_.paper, state_.paperLength));
    // The PDF's heading names the paper and gives the score as the window does.
    std::string points = std::to_string(AnswerReport::score(state_.paper));
    std::string kind = state_.drill ? GBK("错题练习") : GBK("考试");
    std::string pdfScore = points;
    if (defined) {
        const PaperScore marked = AnswerReport::mark(state_.paper, state_.paperLength, *defined);
        points = PaperDefinition::pointsText(marked.totalTenths());
        kind = defined->name;
        pdfScore = points + (marked.passed() ? GBK("分（合格）") : GBK("分（不合格）"));
    }
    const std::string scoreText = AnswerReport::scoreText(points);
    // An exam-mode paper shows right and wrong from the hand-in on.
    const bool hidden = hidingResults();
    handedIn_ = true;
    if (hidden)
        for (int k = 1; k <= state_.paperLength; ++k)
            colourCell(k, state_.paper.entry(k).answer);

    if (written) {
        const std::string handedInAt =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
        pdfHeading_ = ReportPdf::heading(kind, state_.candidateId, state_.seatNumber, handedInAt, pdfScore);
        Gui::setGeometry(w, htmlView, reportArea);
        Gui::setVisible(w, htmlView, true);
        Gui::showHtmlFile(w, htmlView, path);
    }
    Gui::setText(w, "透明标签12", scoreText);
    stopClock();
    AttemptBridge::handedIn(state_, AnswerReport::score(state_.paper));
    Gui::setVisible(w, "历史按钮", true);
    Gui::setVisible(w, pdfButton, written);
    if (!written) {
        // An older report may still be on show; it no longer belongs to this hand-in.
        Gui::setVisible(w, htmlView, false);
        Gui::messageBox(GBK("无法写入答卷报告文件，请检查程序所在文件夹是否可写：\r\n") + path, GBK("信息"),
                        MessageBoxIcon::Error);
    }
}
