#include "app/Application.h"

#include "app/ExamWindow.h"
#include "app/RoomServices.h"
#include "app/StartWindow.h"
#include "app/StatisticsBridge.h"
#include "attempts/AttemptRecorder.h"
#include "bank/PaperEditor.h"
#include "db/BackendRegistry.h"
#include "db/EventPump.h"
#include "exam/AppState.h"
#include "exchange/ExchangeWindow.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"

Application::Application() : Application(Options{})
{
}

Application::Application(Options options)
    : state_(std::make_unique<AppState>()), registry_(std::make_unique<BackendRegistry>()), attempts_(newRecorder()),
      room_(std::make_unique<RoomServices>()),
      examWindow_(std::make_unique<ExamWindow>(*state_, *room_, bankActions())),
      startWindow_(std::make_unique<StartWindow>(
          *state_, *examWindow_, *room_, std::move(options.runDirectory), [this] { return currentBank(); },
          std::move(options.filesProblem)))
{
    // Long exports keep the windows (and the exam clock) alive.
    EventPump::install(&platform::Gui::processEvents);
    state_->attempts = attempts_.get();
    state_->bank = [this] { return currentBank(); };
}

Application::~Application()
{
    startWindow_.reset();
    examWindow_.reset();
    room_.reset();
    state_.reset();
    attempts_.reset();
    registry_.reset();
    EventPump::install(nullptr);
}

std::unique_ptr<AttemptRecorder> Application::newRecorder(std::string path)
{
    auto recorder = std::make_unique<AttemptRecorder>(std::move(path));
    recorder->onFailure = [](const std::string& reason) {
        std::string text = GBK("考试记录无法保存，本次考试照常进行，但不会留下记录，也不能中断后继续。");
        if (!reason.empty())
            text += GBK("\r\n原因：") + reason;
        platform::Gui::failure(text);
    };
    return recorder;
}

Database* Application::currentBank()
{
    return registry_->kind() == DbKind::Mysql ? &registry_->mysqlDatabase() : &registry_->sqliteDatabase();
}

BankWindow::Actions Application::bankActions()
{
    // Import, export and the papers work on the bank the program opened, the file or the room's server.
    BackendRegistry* registry = registry_.get();
    auto bank = [registry]() -> Database* {
        return registry->kind() == DbKind::Mysql ? &registry->mysqlDatabase() : &registry->sqliteDatabase();
    };
    return {.exchange = ExchangeWindow::bankActions(bank, [this] { return state_->runDirectory; }),
            .statistics = StatisticsBridge::bankAction(*state_, *room_, bank),
            .papers = PaperEditor::bankAction(bank)};
}

bool Application::start()
{
    return startWindow_->open();
}

int Application::exec()
{
    if (std::optional<int> code = exitCode())
        return *code;
    return platform::Gui::run();
}

std::optional<int> Application::exitCode() const
{
    return startWindow_->exitCode();
}
