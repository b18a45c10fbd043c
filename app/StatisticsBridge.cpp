#include "app/StatisticsBridge.h"

#include "attempts/AttemptRecorder.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "learning/StatsWindow.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"
#include "room/ResultsOutbox.h"
#include "room/RoomConfig.h"

BankWindow::StatisticsAction StatisticsBridge::bankAction(AppState& state)
{
    return [&state](const std::string& owner, const std::function<void(const std::string&)>& showQuestion) {
        if (state.attempts == nullptr)
            return;
        state.attempts->setPath(state.filePath(AttemptStore::fileName));
        const RoomConfig room = RoomConfig::read(state.filePath("i.ini"));
        Database server(DbKind::Mysql);
        Database local(DbKind::Sqlite);
        Database* results = nullptr;
        if (room.onServer() && ResultsOutbox::openServer(server, room)) {
            results = &server;
        } else {
            if (room.onServer())
                platform::Gui::messageBox(GBK("无法连接考场服务器 ") + room.serverName() +
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
        StatsWindow window(*results, state.runDirectory);
        window.runModal(owner);
        if (window.chosenQuestion())
            showQuestion(*window.chosenQuestion());
    };
}
