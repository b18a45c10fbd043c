#include "attempts/AttemptStore.h"
#include "attempts/SqliteResultsConnection.h"
#include "learning/BankStatistics.h"
#include "learning/StatsWindow.h"
#include "room/MysqlResultsConnection.h"
#include "room/ResultsOutbox.h"
#include "tests/room/RoomTestSupport.h"

// The statistics read the server with the same statements as a local file:
// the same attempts give the same table on both.
TEST_F(RoomTest, BankStatisticsOnTheServerMatchTheLocalFile)
{
    std::string error;
    ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
    MysqlResultsConnection server;
    SqliteResultsConnection local;
    ASSERT_TRUE(server.open(config)) << server.lastErrorText();
    ASSERT_TRUE(local.open(file("ksjl.db")));
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
}
