#include "app/AttemptBridge.h"

#include "app/AnswerReport.h"
#include "app/DefinedPaperText.h"
#include "app/ExamAccessibility.h"
#include "app/ExamWindow.h"
#include "app/RoomServices.h"
#include "attempts/AttemptRecorder.h"
#include "attempts/HistoryWindow.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "papers/PaperScore.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"
#include "room/ResultsOutbox.h"

#include <algorithm>

using platform::Gui;

AttemptEntry AttemptBridge::entryOf(int number, const PaperEntry& entry)
{
    return {.number = number,
            .questionKey = entry.id,
            .title = entry.title,
            .options = entry.options,
            .answer = entry.answer,
            .optionCount = entry.did,
            .chosen = entry.chosen,
            .flagged = entry.flagged};
}

std::vector<AttemptEntry> AttemptBridge::entriesOf(const Paper& paper, int length)
{
    std::vector<AttemptEntry> entries;
    entries.reserve(Paper::size);
    for (int k = 1; k <= std::min(length, Paper::size); ++k)
        entries.push_back(entryOf(k, paper.entry(k)));
    return entries;
}

void AttemptBridge::restorePaper(const std::vector<AttemptEntry>& entries, Paper& paper)
{
    paper.clear();
    for (const AttemptEntry& stored : entries) {
        if (stored.number < 1 || stored.number > Paper::size)
            continue;
        PaperEntry& entry = paper.entry(stored.number);
        entry.id = stored.questionKey;
        entry.title = stored.title;
        entry.options = stored.options;
        entry.answer = stored.answer;
        entry.did = stored.optionCount;
        entry.chosen = stored.chosen;
        entry.flagged = stored.flagged;
    }
}

std::string AttemptBridge::clockCaption(int seconds)
{
    const int hours = seconds / 3600;
    const int minutes = seconds / 60 % 60;
    const int rest = seconds % 60;
    return std::to_string(hours) + (minutes < 10 ? ":0" : ":") + std::to_string(minutes) + (rest < 10 ? ":0" : ":") +
           std::to_string(rest);
}

std::string AttemptBridge::resumeQuestion(const AttemptSummary& attempt)
{
    // Read as the clock reads it: older records hold the primed first second
    // of the hour as 1:00:59.
    ExamClock left;
    left.setSecondsLeft(attempt.secondsLeft);
    const std::string what = attempt.kind == "drill" ? GBK("错题练习") : GBK("考试");
    return GBK("您有一次尚未交卷的") + what + GBK("（开始于 ") + attempt.startedAt + GBK("，共 ") +
           std::to_string(attempt.paperSize) + GBK(" 题，已答 ") + std::to_string(attempt.answered) +
           GBK(" 题，剩余时间 ") + clockCaption(left.secondsLeft()) + GBK("）。\r\n是否继续这次") + what +
           GBK("？选择“否”将放弃它并重新生成试卷。");
}

int AttemptBridge::lengthOf(const std::vector<AttemptEntry>& entries)
{
    int length = 0;
    for (const AttemptEntry& entry : entries)
        length = std::max(length, entry.number);
    return std::clamp(length, 1, Paper::size);
}

bool AttemptBridge::offerResume(AppState& state, const std::string& candidateId)
{
    if (state.attempts == nullptr)
        return false;
    state.attempts->setPath(state.filePath(AttemptStore::fileName));
    const std::optional<AttemptSummary> open = state.attempts->inProgress(candidateId);
    if (!open)
        return false;
    // The administrator's visit to an empty bank leaves an attempt without a
    // question: nothing in it is worth resuming.
    if (open->paperSize == 0) {
        state.attempts->abandon(open->id);
        return false;
    }
    // A record that can be read but not written is told of before the offer,
    // so that the candidate chooses knowing nothing more of it is kept.
    state.attempts->checkWritable();
    if (Gui::messageBox(resumeQuestion(*open), GBK("提示"), platform::MessageBoxIcon::Information,
                        platform::MessageBoxButtons::YesNo) != platform::MessageBoxResult::Yes) {
        state.attempts->abandon(open->id);
        return false;
    }
    std::optional<StoredAttempt> stored = state.attempts->load(open->id);
    if (!stored)
        return false;
    restorePaper(stored->entries, state.paper);
    state.drill = stored->summary.kind == "drill";
    state.paperLength = state.drill ? lengthOf(stored->entries) : Paper::size;
    state.definedPaper.reset();
    state.clock.duration = ExamClock::paperDuration;
    if (std::optional<DefinedPaperText::Kept> kept = DefinedPaperText::read(stored->summary.paperText)) {
        state.definedPaper = std::move(kept->paper);
        state.optionSeed = kept->optionSeed;
        state.paperLength = lengthOf(stored->entries);
        state.clock.duration = stored->summary.paperDuration;
    }
    state.attempts->holdForResume(std::move(*stored));
    return true;
}

int AttemptBridge::secondsLeft(const AppState& state)
{
    return state.clock.secondsLeft();
}

void AttemptBridge::setSecondsLeft(AppState& state, int seconds)
{
    state.clock.setSecondsLeft(seconds);
}

void AttemptBridge::examOpened(AppState& state, ExamWindow& exam)
{
    if (state.attempts == nullptr)
        return;
    state.flagChanged = [&state](int k) {
        if (state.attempts != nullptr)
            state.attempts->syncEntry(entryOf(k, state.paper.entry(k)));
    };
    std::optional<StoredAttempt> held = state.attempts->takeHeld();
    if (!held) {
        state.attempts->begin({.kind = state.drill ? "drill" : "exam",
                               .candidateId = state.candidateId,
                               .seatNumber = state.seatNumber,
                               .secondsLeft = secondsLeft(state),
                               .paperDuration = state.clock.duration,
                               .currentQuestion = state.currentQuestion,
                               .entries = entriesOf(state.paper, state.paperLength),
                               .paperName = state.definedPaper ? state.definedPaper->name : std::string(),
                               .paperText = state.definedPaper
                                                ? DefinedPaperText::write(*state.definedPaper, state.optionSeed)
                                                : std::string()});
        return;
    }
    // The answers go through the exam window's own handler so that cells and
    // labels look as they did; nothing is recorded before the record resumes.
    for (const AttemptEntry& entry : held->entries) {
        if (entry.chosen.empty() || entry.number < 1 || entry.number > Paper::size)
            continue;
        state.currentQuestion = entry.number;
        exam.showQuestion(entry.number);
        exam.recordAnswer(entry.chosen);
    }
    const int question = std::clamp(held->summary.currentQuestion, 1, state.paperLength);
    state.currentQuestion = question;
    for (const char* option : {"D", "C", "B", "A"})
        Gui::setChecked(ExamWindow::windowId, option, false);
    exam.showQuestion(question);
    if (question != 1)
        Gui::setBorder(ExamWindow::windowId, ExamWindow::cellName(question), platform::Border::Sunken);
    setSecondsLeft(state, held->summary.secondsLeft);
    const std::string caption = clockCaption(secondsLeft(state));
    Gui::setText(ExamWindow::windowId, "时间", caption);
    ExamAccessibility::describeClock(caption);
    state.attempts->resume(*held);
    // The candidate may have come back at another seat: the record follows the screen.
    state.attempts->seatNumber(state.seatNumber);
}

void AttemptBridge::answered(AppState& state)
{
    if (state.attempts != nullptr)
        state.attempts->answer(state.currentQuestion, state.paper.entry(state.currentQuestion).chosen);
}

void AttemptBridge::questionShown(AppState& state, int number)
{
    if (state.attempts == nullptr)
        return;
    state.attempts->syncEntry(entryOf(number, state.paper.entry(number)));
    state.attempts->currentQuestion(number);
}

void AttemptBridge::clockTicked(AppState& state)
{
    if (state.attempts != nullptr)
        state.attempts->secondsLeft(secondsLeft(state));
}

void AttemptBridge::handedIn(AppState& state, int score)
{
    if (state.attempts == nullptr)
        return;
    if (!state.definedPaper) {
        state.attempts->handIn(score, secondsLeft(state));
        return;
    }
    const PaperScore marked = AnswerReport::mark(state.paper, state.paperLength, *state.definedPaper);
    state.attempts->handIn(score, secondsLeft(state),
                           AttemptRecorder::PaperResult{marked.totalTenths(), marked.passed()});
}

std::string AttemptBridge::replayReport(const std::vector<AttemptEntry>& entries)
{
    Paper paper;
    restorePaper(entries, paper);
    return AnswerReport::build(paper, lengthOf(entries));
}

std::string AttemptBridge::replayReport(const StoredAttempt& attempt)
{
    const std::optional<DefinedPaperText::Kept> kept = DefinedPaperText::read(attempt.summary.paperText);
    if (!kept)
        return replayReport(attempt.entries);
    Paper paper;
    restorePaper(attempt.entries, paper);
    return AnswerReport::build(paper, lengthOf(attempt.entries), kept->paper);
}

void AttemptBridge::openHistory(AppState& state, RoomServices& room, const std::string& candidateId,
                                const std::string& owner)
{
    if (state.attempts == nullptr)
        return;
    state.attempts->setPath(state.filePath(AttemptStore::fileName));
    const bool everyone = candidateId == ExamWindow::accessCode;
    HistoryWindow history(
        *state.attempts, everyone ? std::string() : candidateId, everyone,
        [](const StoredAttempt& attempt) { return replayReport(attempt); }, state.runDirectory);
    history.categoriesFrom(state.bank ? state.bank() : nullptr);
    history.measurePapers([](const StoredAttempt& attempt) {
        const std::optional<DefinedPaperText::Kept> kept = DefinedPaperText::read(attempt.summary.paperText);
        if (!kept)
            return 0;
        PaperScore score(kept->paper);
        for (const AttemptEntry& entry : attempt.entries)
            score.add(entry.chosen, entry.answer, entry.optionCount);
        return score.maximumTenths();
    });
    // In an exam room the administrator sees every PC's attempts on the
    // server; the candidate's own stay local, marked until they are sent.
    Database* server = room.onServer() && everyone ? room.serverResults() : nullptr;
    if (server != nullptr) {
        history.listFrom(*server);
    } else if (room.onServer()) {
        if (everyone)
            Gui::messageBox(GBK("无法连接考场服务器 ") + room.config().serverName() +
                                GBK("，下面只列出本机的考试记录。"),
                            GBK("信息"), platform::MessageBoxIcon::Error);
        history.markUnsent([path = state.attempts->path()] { return ResultsOutbox::unsentAttempts(path); });
    }
    history.runModal(owner);
}

void AttemptBridge::historyFromStart(AppState& state, RoomServices& room)
{
    const std::string candidateId = Gui::text("start", "身份证编辑框");
    if (candidateId.empty()) {
        Gui::messageBox(GBK("请输入身份证"), GBK("岚溪提示"), platform::MessageBoxIcon::Information);
        return;
    }
    openHistory(state, room, candidateId, "start");
}
