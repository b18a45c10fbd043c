#include "app/StartWindow.h"

#include "app/AttemptBridge.h"
#include "app/ExamWindow.h"
#include "bank/QuestionRecord.h"
#include "bank/StartWindowLayout.h"
#include "db/BackendRegistry.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/ProfileReader.h"
#include "room/RoomConfig.h"
#include "room/RoomServer.h"
#include "room/SqlDialect.h"

using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxIcon;

namespace {

constexpr char bankFile[] = "tk.db";
constexpr char profileFile[] = "i.ini";
// Finds out whether the question table can be read, without reading rows.
constexpr char bankProbe[] = "SELECT * FROM KS_SJTK LIMIT 0";

const std::string& startWindow()
{
    static const std::string id = StartWindow::windowId;
    return id;
}

} // namespace

StartWindow::StartWindow(AppState& state, ExamWindow& exam, std::optional<std::string> runDirectory)
    : state_(state), exam_(exam), runDirectory_(std::move(runDirectory))
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
    };
}

void StartWindow::endProgram(const std::string& message, const std::string& caption, MessageBoxIcon icon, int exitCode)
{
    Gui::messageBox(message, caption, icon);
    exitCode_ = exitCode;
    Gui::closeWindow(startWindow());
}

bool StartWindow::bankUsable()
{
    const std::string path = state_.filePath(bankFile);
    if (!platform::FileSystem::exists(path))
        return false;
    // A file that is no database, or a database without the question table,
    // would only show up later as an empty paper.
    return state_.connection.open(std::nullopt, std::nullopt, std::string(), path, std::nullopt, DbKind::Sqlite) &&
           state_.connection.execute(bankProbe);
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

    const RoomConfig room = RoomConfig::read(state_.filePath(profileFile));
    if (room.onServer()) {
        std::string reason;
        if (!RoomServer::openBank(room, reason))
            endProgram(RoomServer::unreachableMessage(room), GBK("提示"), MessageBoxIcon::Information, 0);
        return;
    }
    if (!bankUsable())
        endProgram(GBK("数据库加载失败！请检查数据库是否存在！"), GBK("提示"), MessageBoxIcon::Information, 0);
}

void StartWindow::enterClicked()
{
    const std::string& w = startWindow();
    const std::string candidateId = Gui::text(w, "身份证编辑框");
    if (candidateId.empty()) {
        Gui::messageBox(GBK("请输入身份证"), GBK("岚溪提示"), MessageBoxIcon::Information);
        return;
    }
    const std::string seatNumber = Gui::text(w, "座位号编辑框");
    if (seatNumber.empty()) {
        Gui::messageBox(GBK("请输入座位号"), GBK("岚溪提示"), MessageBoxIcon::Information);
        return;
    }
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
    drawPaper();
    exam_.open();
    Gui::closeWindow(w);
}

void StartWindow::drawPaper()
{
    static const std::string idField = "id", titleField = "Title", optionsField = "Tmnr", answerField = "Answer",
                             didField = "did";
    const std::string& w = startWindow();
    DbRecordset& rows = state_.recordset;
    rows.attach(state_.connection);
    rows.open(SqlDialect::drawQuery(BackendRegistry::currentKind()));
    const int count = rows.recordCount();
    if (count <= 0) {
        rows.close();
        return;
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
}
