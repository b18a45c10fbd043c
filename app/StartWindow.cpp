#include "app/StartWindow.h"

#include "app/AttemptBridge.h"
#include "app/DrillBridge.h"
#include "app/DrillCategoryChooser.h"
#include "app/ExamWindow.h"
#include "app/ProgramPaths.h"
#include "app/RoomServices.h"
#include "attempts/AttemptRecorder.h"
#include "attempts/AttemptStore.h"
#include "bank/StartWindowLayout.h"
#include "db/BackendRegistry.h"
#include "db/Database.h"
#include "papers/PaperBook.h"
#include "papers/PaperDraw.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/ProfileReader.h"
#include "questions/QuestionBank.h"
#include "questions/QuestionRecord.h"

#include <algorithm>
#include <chrono>
#include <random>

using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxIcon;

namespace {

constexpr const char* bankFile = ProgramPaths::bankFile;
constexpr const char* profileFile = ProgramPaths::profileFile;
// Readable when the database itself is, whatever tables it holds.
constexpr char schemaProbe[] = "SELECT count(*) FROM sqlite_master";
// Long enough to outlast another program's write, short enough that a
// candidate does not take the program for hung.
constexpr int bankBusyTimeoutMs = 3000;

enum class FileStart { Unreadable, Database, Other };

// What the file's first bytes say, so that a file which is no database is told
// apart from one that merely cannot be opened now.
FileStart fileStart(const std::string& gbkPath)
{
    static constexpr std::string_view header("SQLite format 3", 16); // with its NUL, as every database starts
    std::string start;
    if (!platform::FileSystem::fileSize(gbkPath) || !platform::FileSystem::readFile(gbkPath, start, header.size()))
        return FileStart::Unreadable;
    // SQLite takes an empty file for an empty database.
    return start.empty() || start == header ? FileStart::Database : FileStart::Other;
}

const std::string& startWindow()
{
    static const std::string id = StartWindow::windowId;
    return id;
}

} // namespace

StartWindow::StartWindow(AppState& state, ExamWindow& exam, RoomServices& room, std::optional<std::string> runDirectory,
                         std::function<Database*()> bank, std::string filesProblem)
    : state_(state), exam_(exam), runDirectory_(std::move(runDirectory)), filesProblem_(std::move(filesProblem)),
      room_(room), bank_(std::move(bank))
{
}

StartWindow::~StartWindow()
{
    if (Gui::isOpen(startWindow()))
        Gui::closeWindow(startWindow());
}

bool StartWindow::open()
{
    Gui::openWindow(startWindowLayout(), handlers());
    return !exitCode_;
}

platform::HandlerTable StartWindow::handlers()
{
    return {
        {"startCreated", [this](const GuiEvent&) { created(); }},
        {"enterExam", [this](const GuiEvent&) { enterClicked(); }},
        {"historyClicked", [this](const GuiEvent&) { AttemptBridge::historyFromStart(state_, room_); }},
        {"drillClicked", [this](const GuiEvent&) { drillClicked(); }},
    };
}

void StartWindow::endProgram(const std::string& message, const std::string& caption, MessageBoxIcon icon, int exitCode)
{
    Gui::messageBox(message, caption, icon);
    exitCode_ = exitCode;
    Gui::closeWindow(startWindow());
}

std::string StartWindow::bankProblem()
{
    const std::string path = state_.filePath(bankFile);
    if (!platform::FileSystem::exists(path)) {
        std::string message = GBK("数据库加载失败！请检查数据库是否存在！");
        if (!filesProblem_.empty())
            message += "\r\n" + filesProblem_;
        return message;
    }
    // The open checks the file with a query, which a lock held by another
    // program fails at once; the probe repeats it with the timeout in force.
    // A file that is no database, or a database without the question table,
    // would only show up later as an empty paper.
    DbConnection& bank = state_.connection;
    bank.open(std::nullopt, std::nullopt, std::string(), path, std::nullopt, DbKind::Sqlite);
    if (bank.setBusyTimeout(bankBusyTimeoutMs) && bank.execute(QuestionBank::probeQuery()))
        return {};
    const std::string reason = bank.lastErrorText();
    switch (fileStart(path)) {
    case FileStart::Other:
        return GBK("数据库加载失败！tk.db 不是数据库文件，请检查数据库是否完好！");
    case FileStart::Database:
        if (bank.execute(schemaProbe))
            return GBK("数据库加载失败！数据库中没有题库表 ") + QuestionBank::table + GBK("，请检查数据库是否正确！");
        break;
    case FileStart::Unreadable:
        break;
    }
    std::string message = GBK("数据库加载失败！无法打开数据库，请检查它是否被其他程序占用、是否允许读写！");
    if (!reason.empty())
        message += "\r\n" + reason;
    return message;
}

void StartWindow::created()
{
    std::optional<std::string> directory = runDirectory_ ? runDirectory_ : platform::FileSystem::programDirectory();
    if (!directory) {
        endProgram(GBK("程序所在文件夹的名称含有无法识别的字符，请把程序放到其他文件夹后再启动。"), GBK("提示"),
                   MessageBoxIcon::Error, 1);
        return;
    }
    state_.runDirectory = *directory;

    Gui::setText(startWindow(), "标签2",
                 platform::ProfileReader::readString(state_.filePath(profileFile), "nev", "tite"));

    room_.readProfile(state_.filePath(profileFile));
    if (room_.onServer()) {
        std::string problem;
        if (!room_.openBank(problem)) {
            endProgram(problem, GBK("提示"), MessageBoxIcon::Information, 0);
            return;
        }
        room_.startSending(state_.filePath(AttemptStore::fileName), state_.attempts);
        offerPapers();
        return;
    }
    if (const std::string problem = bankProblem(); !problem.empty()) {
        endProgram(problem, GBK("提示"), MessageBoxIcon::Information, 0);
        return;
    }
    offerPapers();
}

void StartWindow::offerPapers()
{
    // Papers that cannot be read leave the program's own paper, which needs
    // only the question table.
    Database* bank = bank_ ? bank_() : nullptr;
    std::vector<PaperDefinition> papers;
    if (bank == nullptr || !PaperBook(*bank).list(papers))
        return;
    papers_.offer(startWindow(), std::move(papers));
}

bool StartWindow::readEntries(std::string& candidateId, std::string& seatNumber)
{
    const std::string& w = startWindow();
    candidateId = Gui::text(w, "身份证编辑框");
    if (candidateId.empty()) {
        Gui::messageBox(GBK("请输入身份证"), GBK("岚溪提示"), MessageBoxIcon::Information);
        return false;
    }
    seatNumber = Gui::text(w, "座位号编辑框");
    if (seatNumber.empty()) {
        Gui::messageBox(GBK("请输入座位号"), GBK("岚溪提示"), MessageBoxIcon::Information);
        return false;
    }
    return true;
}

void StartWindow::enterClicked()
{
    const std::string& w = startWindow();
    std::string candidateId, seatNumber;
    if (!readEntries(candidateId, seatNumber))
        return;
    const std::string caption = Gui::text(w, "按钮1");
    if (AttemptBridge::offerResume(state_, candidateId)) {
        state_.candidateId = candidateId;
        state_.seatNumber = seatNumber;
        exam_.open();
        Gui::closeWindow(w);
        return;
    }
    Gui::setEnabled(w, "按钮1", false);
    Gui::setText(w, "按钮1", GBK("生成题库中"));

    state_.candidateId = candidateId;
    state_.seatNumber = seatNumber;
    state_.definedPaper.reset();
    state_.clock.duration = ExamClock::paperDuration;
    if (const std::optional<PaperDefinition> paper = papers_.chosen(w)) {
        if (!drawDefinedPaper(*paper)) {
            Gui::setText(w, "按钮1", caption);
            Gui::setEnabled(w, "按钮1", true);
            return;
        }
        exam_.open();
        Gui::closeWindow(w);
        return;
    }
    // The administrator fills an empty bank from the exam window's bank
    // management, so only a candidate is kept out of an empty paper.
    if (drawPaper() == 0 && candidateId != ExamWindow::accessCode) {
        // An exam without questions can only be marked 0; the candidate may
        // try again once the bank holds questions.
        Gui::messageBox(GBK("题库中没有题目，无法生成试卷！请检查题库后再试。"), GBK("提示"),
                        MessageBoxIcon::Information);
        Gui::setText(w, "按钮1", caption);
        Gui::setEnabled(w, "按钮1", true);
        return;
    }
    exam_.open();
    Gui::closeWindow(w);
}

int StartWindow::drawPaper()
{
    static const std::string idField = "id", titleField = "Title", optionsField = "Tmnr", answerField = "Answer",
                             didField = "did";
    const std::string& w = startWindow();
    DbRecordset& rows = state_.recordset;
    rows.attach(state_.connection);
    rows.open(QuestionBank::drawQuery(BackendRegistry::currentKind()));
    const int count = rows.recordCount();
    if (count <= 0) {
        rows.close();
        return 0;
    }
    Gui::setProgressRange(w, "进度条1", 0, count);

    std::string text;
    for (int i = 1; i <= count && i <= Paper::size; ++i) {
        PaperEntry& entry = state_.paper.entry(i);
        entry.id.clear();
        rows.readText(idField, entry.id);
        text.clear();
        rows.readText(titleField, text);
        entry.title = QuestionRecord::cleanDrawnText(text);
        text.clear();
        rows.readText(optionsField, text);
        entry.options = QuestionRecord::cleanDrawnText(text);
        text.clear();
        rows.readText(answerField, text);
        entry.answer = QuestionRecord::cleanDrawnAnswer(text);
        entry.chosen.clear();
        entry.did.clear();
        rows.readText(didField, entry.did);
        rows.moveNext();

        const int position = Gui::progressPosition(w, "进度条1") + 1;
        Gui::setProgressPosition(w, "进度条1", position);
        Gui::setText(w, "百分标签", std::to_string(position) + "%");
    }
    rows.close();
    return std::min(count, Paper::size);
}

bool StartWindow::drawDefinedPaper(const PaperDefinition& paper)
{
    const std::string& w = startWindow();
    Database* bank = bank_ ? bank_() : nullptr;
    if (bank == nullptr)
        return false; // no papers are offered without a bank
    std::vector<QuestionRecord> drawn;
    PaperDraw draw(*bank);
    const auto seed = static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
    if (!draw.draw(paper, seed, drawn) || drawn.empty()) {
        Gui::messageBox(draw.lastErrorText(), GBK("提示"), MessageBoxIcon::Information);
        return false;
    }
    const int count = std::min(static_cast<int>(drawn.size()), Paper::size);
    Gui::setProgressRange(w, "进度条1", 0, count);
    state_.paper.clear();
    for (int i = 1; i <= count; ++i) {
        const QuestionRecord& question = drawn[static_cast<std::size_t>(i - 1)];
        PaperEntry& entry = state_.paper.entry(i);
        entry.id = question.id;
        entry.title = question.title;
        entry.options = question.options;
        entry.answer = question.answer;
        entry.did = question.did;
        const int position = Gui::progressPosition(w, "进度条1") + 1;
        Gui::setProgressPosition(w, "进度条1", position);
        Gui::setText(w, "百分标签", std::to_string(position) + "%");
    }
    state_.drill = false;
    state_.paperLength = count;
    state_.definedPaper = paper;
    state_.clock.duration = paper.minutes * 60;
    // Another candidate drawing the same paper in the same second still sees
    // the options in an order of their own.
    state_.optionSeed = (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}() ^ seed;
    return true;
}

void StartWindow::drillClicked()
{
    const std::string& w = startWindow();
    std::string candidateId, seatNumber;
    if (!readEntries(candidateId, seatNumber))
        return;
    state_.candidateId = candidateId;
    state_.seatNumber = seatNumber;
    if (AttemptBridge::offerResume(state_, candidateId)) {
        exam_.open();
        Gui::closeWindow(w);
        return;
    }
    state_.definedPaper.reset();
    const auto enableButtons = [&w](bool enabled) {
        for (const char* button : {"按钮1", "错题按钮", "历史按钮"})
            Gui::setEnabled(w, button, enabled);
    };
    enableButtons(false);
    // With mistakes in one category only there is nothing to choose; a
    // failure to read them shows in the drill's own message below.
    std::string category;
    if (const std::vector<DueCategory> due = DrillBridge::dueCategories(state_, room_, candidateId); due.size() > 1) {
        std::optional<std::string> chosen = DrillCategoryChooser(due).choose(w);
        if (!chosen) {
            enableButtons(true);
            return;
        }
        category = std::move(*chosen);
    }
    std::string reason;
    const int count = DrillBridge::drawDrill(state_, room_, candidateId, reason, category);
    if (count == 0) {
        if (reason.empty())
            Gui::notice(DrillBridge::nothingDueText());
        else
            Gui::failure(DrillBridge::failedText(reason));
        enableButtons(true);
        return;
    }
    Gui::setProgressRange(w, "进度条1", 0, count);
    Gui::setProgressPosition(w, "进度条1", count);
    Gui::setText(w, "百分标签", std::to_string(count) + "%");
    exam_.open();
    if (!category.empty())
        Gui::setWindowCaption(ExamWindow::windowId,
                              Gui::windowCaption(ExamWindow::windowId) + GBK("（") + category + GBK("）"));
    Gui::closeWindow(w);
}
