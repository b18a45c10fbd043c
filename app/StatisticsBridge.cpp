#include "app/StatisticsBridge.h"

#include "app/RoomServices.h"
#include "attempts/AttemptRecorder.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "learning/StatsWindow.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"

BankWindow::StatisticsAction StatisticsBridge::bankAction(AppState& state, RoomServices& room,
                                                          std::function<Database*()> bank)
{
    return [&state, &room, bank = std::move(bank)](const std::string& owner,
                                                   const std::function<void(const std::string&)>& showQuestion) {
        if (state.attempts == nullptr)
            return;
        state.attempts->setPath(state.filePath(AttemptStore::fileName));
        Database local(DbKind::Sqlite);
        Database* results = room.serverResults();
        if (results == nullptr) {
            if (room.onServer())
                platform::Gui::messageBox(GBK("无法连接考场服务器 ") + room.config().serverName() +
                                              GBK("，下面只统计本机的考试记录。"),
                                          GBK("信息"), platform::MessageBoxIcon::Error);
            // The recorder's store makes the tables of a new database.
            if (state.attempts->store() != nullptr && local.open(AttemptStore::fileOptions(state.attempts->path())))
                results = &local;
        }
        if (results == nullptr) {
            platform::Gui::messageBox(GBK("无法打开考试记录：") + state.attempts->path(), GBK("信息"),
                                      platform::MessageBoxIcon::Error);
            return;
        }
        StatsWindow window(*results, state.runDirectory, bank ? bank() : nullptr);
        window.runModal(owner);
        if (window.chosenQuestion())
            showQuestion(*window.chosenQuestion());
    };
}
