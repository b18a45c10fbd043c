#include "app/RoomServices.h"
#include "app/StatisticsBridge.h"
#include "attempts/AttemptRecorder.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "learning/BankStatistics.h"
#include "learning/StatsWindow.h"
#include "platform/FileSystem.h"
#include "room/BankCopier.h"
#include "room/ResultsOutbox.h"
#include "tests/room/RoomTestSupport.h"

// The statistics read the server with the same statements as a local file:
// the same attempts give the same table on both.
TEST_F(RoomTest, BankStatisticsOnTheServerMatchTheLocalFile)
{
    std::string error;
    ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
    Database server{DbKind::Mysql};
    Database local{DbKind::Sqlite};
    ASSERT_TRUE(ResultsOutbox::openServer(server, config)) << server.lastErrorText();
    ASSERT_TRUE(local.open(AttemptStore::fileOptions(file("ksjl.db"))));
    AttemptStore localStore(local);
    ASSERT_TRUE(localStore.prepare());
    // Distinct scores, so the top third does not hang on the order of keys.
    const std::vector<std::pair<std::string, std::string>> papers = {
        {"ABCD", "ABCD"}, {"ABCD", "ABCA"}, {"ABCD", "ABAA"}, {"ABCD", "A  A"}, {"ABCD", "D   "}, {"ABCD", "BCDA"}};
    AttemptStore serverStore(server);
    for (AttemptStore* store : {&localStore, &serverStore}) {
        for (std::size_t p = 0; p < papers.size() + 2; ++p) {
            const auto& [keys, chosen] = papers[p % papers.size()];
            AttemptStart start{.kind = p == papers.size() ? "drill" : "exam", .candidateId = "1101"};
            int score = 0;
            for (int k = 0; k < 4; ++k) {
                const std::string letter = chosen[static_cast<std::size_t>(k)] == ' ' ? "" : chosen.substr(k, 1);
                score += letter == keys.substr(k, 1) ? 1 : 0;
                start.entries.push_back({.number = k + 1,
                                         .questionKey = std::to_string(k + 1),
                                         .title = "t",
                                         .answer = keys.substr(k, 1),
                                         .chosen = letter});
            }
            const std::int64_t id = store->begin(start);
            ASSERT_GT(id, 0) << store->lastErrorText();
            // The last one stays in progress.
            if (p < papers.size() + 1) {
                ASSERT_TRUE(store->recordHandIn(id, score * 25, 0, AttemptStore::now()));
            }
        }
    }
    BankStatistics onServer(server);
    BankStatistics onFile(local);
    ASSERT_TRUE(onServer.compute()) << onServer.lastErrorText();
    ASSERT_TRUE(onFile.compute()) << onFile.lastErrorText();
    ASSERT_EQ(onServer.questions().size(), 4u);
    EXPECT_EQ(onServer.scores(), onFile.scores());
    for (std::size_t q = 0; q < 4; ++q)
        EXPECT_EQ(StatsWindow::rowTexts(onServer.questions()[q]), StatsWindow::rowTexts(onFile.questions()[q]));
    EXPECT_EQ(onServer.questions()[0].drawn, 6);

    // A defined paper's attempt is counted apart on the server as in the file.
    for (AttemptStore* store : {&localStore, &serverStore}) {
        const std::int64_t id = store->begin(
            {.entries = {{.number = 1, .questionKey = "9", .answer = "A", .chosen = "A"}}, .paperName = "P"});
        ASSERT_GT(id, 0) << store->lastErrorText();
        ASSERT_TRUE(store->recordHandIn(id, 1, 0, AttemptStore::now(), 10, true));
        std::vector<std::string> names;
        ASSERT_TRUE(store->handedInPaperNames(names)) << store->lastErrorText();
        EXPECT_EQ(names, std::vector<std::string>{"P"});
    }
    for (const std::optional<std::string>& paper : {std::optional<std::string>(""), std::optional<std::string>("P")}) {
        ASSERT_TRUE(onServer.compute(paper)) << onServer.lastErrorText();
        ASSERT_TRUE(onFile.compute(paper)) << onFile.lastErrorText();
        EXPECT_EQ(onServer.scores(), onFile.scores());
        EXPECT_EQ(onServer.questions().size(), paper->empty() ? 4u : 1u);
    }
}

// The export of the statistics on a room PC with its own account, which may
// not make tables, keeps the bytes the export has always written.
TEST_F(RoomTest, StatisticsExportOnARoomPcWithThePcAccount)
{
    makeBankFile(file("load.db"), plainRows(2));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), loadAccount())) << copier.lastErrorText();
    const RoomConfig pc = pcAccount();
    writeProfile(pc);
    Database server{DbKind::Mysql};
    ASSERT_TRUE(ResultsOutbox::openServer(server, pc)) << server.lastErrorText();
    AttemptStore store(server);
    for (const char* second : {"A", "B"}) {
        AttemptStart start{.candidateId = "1101"};
        start.entries.push_back({.number = 1, .questionKey = "1", .title = "t", .answer = "A", .chosen = "A"});
        start.entries.push_back({.number = 2, .questionKey = "2", .title = "t", .answer = "A", .chosen = second});
        ASSERT_TRUE(store.recordHandIn(store.begin(start), 0, 0, AttemptStore::now())) << store.lastErrorText();
    }

    AppState state;
    state.runDirectory = folder;
    AttemptRecorder recorder;
    state.attempts = &recorder;
    driver.setModalHook([](const std::string& window) {
        platform::GuiDriver::click(window, "导出CSV按钮");
        platform::GuiDriver::click(window, "导出XLS按钮");
    });
    RoomServices room(pc);
    StatisticsBridge::bankAction(state, room)("", [](const std::string&) {});
    driver.setModalHook(nullptr);
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    for (const auto& box : driver.messageBoxes())
        EXPECT_EQ(box.caption, GBK("提示")) << platform::gbkToUtf8(box.text);
    std::string csv;
    ASSERT_TRUE(platform::FileSystem::readFile(folder + "/" + GBK("题库统计.csv"), csv));
    EXPECT_EQ(csv, "1 , A , 2 , 1.0 , 1.0 , 0.0 , 0.0 , 0.0 , 0.0 ,  , \r\n"
                   "2 , A , 2 , 0.5 , 0.5 , 0.5 , 0.0 , 0.0 , 0.0 ,  , \r\n");
    EXPECT_GT(std::filesystem::file_size(file("题库统计.xls")), 0u);
}
