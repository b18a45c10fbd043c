#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "room/OutboxProgress.h"
#include "room/ResultsOutbox.h"
#include "tests/room/RoomTestSupport.h"

#include "platform/FileSystem.h"

// The results database in a run folder with a Chinese name, which the program
// knows by its GBK path and the system by the UTF-8 one.
class RoomOutboxTest : public RoomTest {
protected:
    void SetUp() override
    {
        RoomTest::SetUp();
        std::filesystem::create_directory(std::filesystem::path(folder) / "三号考场");
        results = platform::FileSystem::joinPath(
            platform::FileSystem::joinPath(folder, platform::utf8ToGbk("三号考场")), AttemptStore::fileName);
    }

    std::filesystem::path onDisk(const std::string& name) const
    {
        return std::filesystem::path(folder) / "三号考场" / name;
    }

    std::string results; // GBK
};

TEST_F(RoomOutboxTest, ProgressIsNotedBesideTheResults)
{
    EXPECT_EQ(OutboxProgress::read(results), 0);
    ASSERT_TRUE(OutboxProgress::write(results, 1234));
    ASSERT_TRUE(OutboxProgress::write(results, 5678));
    EXPECT_EQ(OutboxProgress::read(results), 5678);
    EXPECT_TRUE(std::filesystem::is_regular_file(onDisk("ksjl.db.sent")));
}

// More changes than one batch carries: each batch is noted before the next
// goes, or the first would be sent again and again.
TEST_F(RoomOutboxTest, EveryChangeReachesTheServerInBatches)
{
    std::string error;
    ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
    ResultsOutbox outbox(results, config);
    ASSERT_TRUE(outbox.prepare()) << outbox.lastErrorText();
    Database local;
    ASSERT_TRUE(local.open(AttemptStore::fileOptions(results))) << local.lastErrorText();
    AttemptStore store(local);
    AttemptStart start{.candidateId = "330303", .secondsLeft = 5400, .paperDuration = 5400};
    for (int k = 1; k <= 100; ++k)
        start.entries.push_back({.number = k, .questionKey = std::to_string(k), .title = GBK("第几题"), .answer = "A"});
    const std::int64_t attempt = store.begin(start);
    ASSERT_NE(attempt, 0) << store.lastErrorText();
    for (int seconds = 1200; seconds > 0; seconds -= 2)
        ASSERT_TRUE(store.recordSecondsLeft(attempt, seconds)) << store.lastErrorText();

    outbox.start();
    ASSERT_TRUE(outbox.flush(30000)) << outbox.lastErrorText();
    EXPECT_TRUE(ResultsOutbox::unsentAttempts(results).empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(onDisk("ksjl.db.sent")));

    Database server;
    AttemptStore served(server);
    ASSERT_TRUE(ResultsOutbox::openServer(server, config)) << server.lastErrorText();
    std::vector<AttemptSummary> attempts;
    ASSERT_TRUE(served.list("", attempts));
    ASSERT_EQ(attempts.size(), 1u);
    EXPECT_EQ(attempts[0].secondsLeft, 2);
    EXPECT_EQ(attempts[0].paperSize, 100);
}
