#include "attempts/AttemptStore.h"
#include "app/Application.h"
#include "attempts/AttemptRecorder.h"
#include "db/Database.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AttemptStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "attempts-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        path = (std::filesystem::path(folder) / AttemptStore::fileName).string();
    }
    void TearDown() override
    {
        if (immutable)
            std::system(("chattr -i '" + path + "' 2>/dev/null").c_str());
        std::filesystem::remove_all(folder);
    }

    // File modes do not stop the superuser; the immutable attribute does.
    bool makeReadOnly()
    {
        ::chmod(path.c_str(), 0400);
        if (::access(path.c_str(), W_OK) != 0)
            return true;
        immutable = std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) == 0;
        return immutable;
    }

    static AttemptStart paper(const std::string& candidate, int size)
    {
        AttemptStart start{.candidateId = candidate, .seatNumber = "15", .secondsLeft = 3600, .paperDuration = 3600};
        for (int k = 1; k <= size; ++k) {
            const std::string n = std::to_string(k);
            // Quotes, a backslash and GBK characters must come back byte for byte.
            start.entries.push_back({.number = k,
                                     .questionKey = n,
                                     .title = platform::utf8ToGbk("题目 'q" + n + "' \\ <b>"),
                                     .options = "a" + n + "|b" + n + "|c" + n + "|d" + n + "|",
                                     .answer = "B",
                                     .optionCount = "4"});
        }
        return start;
    }

    std::string folder;
    std::string path;
    bool immutable = false;
};

TEST_F(AttemptStoreTest, EveryWriteSurvivesReopening)
{
    std::int64_t id = 0;
    {
        Database connection{DbKind::Sqlite};
        ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path)));
        AttemptStore store(connection);
        ASSERT_TRUE(store.prepare());
        id = store.begin(paper("110", 3));
        ASSERT_GT(id, 0);
        EXPECT_TRUE(store.recordAnswer(id, 2, "C", "2026-01-01 10:00:00"));
        AttemptEntry corrected = paper("110", 3).entries[0];
        corrected.title = platform::utf8ToGbk("改过的题目");
        corrected.answer = "D";
        corrected.flagged = true;
        EXPECT_TRUE(store.recordEntry(id, corrected));
        EXPECT_TRUE(store.recordCurrentQuestion(id, 3));
        EXPECT_TRUE(store.recordSecondsLeft(id, 1234));
    }
    Database connection{DbKind::Sqlite};
    ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path)));
    AttemptStore store(connection);
    ASSERT_TRUE(store.prepare()); // an existing database keeps its rows
    const std::optional<AttemptSummary> open = store.findInProgress("110");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->id, id);
    EXPECT_EQ(open->secondsLeft, 1234);
    EXPECT_EQ(open->currentQuestion, 3);
    EXPECT_EQ(open->paperSize, 3);
    EXPECT_EQ(open->answered, 1);
    EXPECT_EQ(open->flagged, 1);
    EXPECT_FALSE(store.findInProgress("111"));

    const std::optional<StoredAttempt> stored = store.load(id);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->entries.size(), 3u);
    EXPECT_EQ(stored->entries[0].title, platform::utf8ToGbk("改过的题目"));
    EXPECT_EQ(stored->entries[0].answer, "D");
    EXPECT_TRUE(stored->entries[0].flagged);
    EXPECT_EQ(stored->entries[1].title, paper("110", 3).entries[1].title);
    EXPECT_EQ(stored->entries[1].chosen, "C");
    EXPECT_EQ(stored->entries[1].chosenAt, "2026-01-01 10:00:00");
    EXPECT_EQ(stored->entries[2].chosen, "");

    EXPECT_TRUE(store.recordHandIn(id, 1, 1200, "2026-01-01 10:30:00"));
    EXPECT_FALSE(store.findInProgress("110"));
    // A handed-in attempt is never turned into an abandoned one.
    EXPECT_TRUE(store.recordAbandoned(id, "2026-01-01 11:00:00"));
    const std::optional<StoredAttempt> handedIn = store.load(id);
    ASSERT_TRUE(handedIn);
    EXPECT_EQ(handedIn->summary.state, AttemptState::HandedIn);
    EXPECT_EQ(handedIn->summary.score, 1);
    EXPECT_EQ(handedIn->summary.endedAt, "2026-01-01 10:30:00");
}

TEST_F(AttemptStoreTest, ListsByCandidateOrEveryone)
{
    Database connection{DbKind::Sqlite};
    ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path)));
    AttemptStore store(connection);
    ASSERT_TRUE(store.prepare());
    const std::int64_t first = store.begin(paper("A'1", 2));
    const std::int64_t second = store.begin(paper("B2", 5));
    const std::int64_t third = store.begin(paper("A'1", 4));
    ASSERT_TRUE(first > 0 && second > first && third > second);
    EXPECT_TRUE(store.recordAbandoned(first, AttemptStore::now()));

    std::vector<AttemptSummary> rows;
    ASSERT_TRUE(store.list("A'1", rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, first);
    EXPECT_EQ(rows[0].state, AttemptState::Abandoned);
    EXPECT_EQ(rows[1].paperSize, 4);
    ASSERT_TRUE(store.list("", rows));
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(store.findInProgress("A'1")->id, third);
}

TEST_F(AttemptStoreTest, UnwritableDatabaseIsToldOnceAndRecordsNothing)
{
    {
        Database connection{DbKind::Sqlite};
        ASSERT_TRUE(connection.open(AttemptStore::fileOptions(path)));
        ASSERT_TRUE(AttemptStore(connection).prepare());
    }
    if (!makeReadOnly())
        GTEST_SKIP() << "no way to make a file read-only here";

    platform::GuiDriver driver;
    const std::unique_ptr<AttemptRecorder> made = Application::newRecorder(path);
    AttemptRecorder& recorder = *made;
    recorder.begin(paper("110", 2));
    EXPECT_FALSE(recorder.recording());
    recorder.answer(1, "A");
    recorder.secondsLeft(100);
    recorder.handIn(0, 100);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].caption, platform::utf8ToGbk("信息"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, platform::MessageBoxIcon::Error);
    EXPECT_FALSE(recorder.inProgress("110"));
}

} // namespace
