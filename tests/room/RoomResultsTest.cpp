#include "app/AnswerReport.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "room/BankCopier.h"
#include "room/ResultsOutbox.h"
#include "room/RoomLoad.h"
#include "tests/room/RoomTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

// The paper's first `count` questions answered A, B, C, D in turn.
void answer(int from, int count)
{
    for (int k = from; k < from + count; ++k) {
        const char letter[] = {static_cast<char>('A' + k % 4), 0};
        ASSERT_TRUE(GuiDriver::click("exam", letter));
        ASSERT_TRUE(GuiDriver::click("exam", "下一题"));
    }
}

} // namespace

class RoomResultsTest : public RoomTest {
protected:
    void enterOnServer(const std::string& candidateId)
    {
        makeBankFile(file("load.db"), plainRows(150));
        BankCopier copier;
        ASSERT_TRUE(copier.toServer(file("load.db"), config)) << copier.lastErrorText();
        writeProfile();
        startApp();
        GuiDriver::erase("start", "身份证编辑框");
        GuiDriver::type("start", "身份证编辑框", candidateId);
        ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
        ASSERT_TRUE(Gui::isOpen("exam"));
    }

    int handIn()
    {
        const int score = AnswerReport::score(app->state().paper);
        driver.answerNext(MessageBoxResult::Yes);
        GuiDriver::click("exam", "交卷");
        driver.clearMessageBoxes();
        return score;
    }

    // Everything the server holds of the room's attempts.
    std::vector<AttemptSummary> serverAttempts()
    {
        Database connection{DbKind::Mysql};
        AttemptStore store(connection);
        std::vector<AttemptSummary> attempts;
        if (ResultsOutbox::openServer(connection, config))
            store.list("", attempts);
        return attempts;
    }
};

TEST_F(RoomResultsTest, TheWholeExamRoadEndsOnTheServer)
{
    enterOnServer("110101");
    answer(1, 5);
    const std::string corrected = GBK("改过的题");
    driver.setModalHook([&](const std::string& window) {
        Gui::setText(window, "标题编辑框", corrected);
        GuiDriver::click(window, "修改");
    });
    ASSERT_TRUE(GuiDriver::click("exam", "纠错按钮"));
    driver.setModalHook(nullptr);
    const int onScreen = app->state().currentQuestion;
    const int score = handIn();
    EXPECT_TRUE(driver.messageBoxes().empty());
    app.reset(); // closing sends what is left

    const std::vector<AttemptSummary> attempts = serverAttempts();
    ASSERT_EQ(attempts.size(), 1u);
    EXPECT_EQ(attempts[0].candidateId, "110101");
    EXPECT_EQ(attempts[0].state, AttemptState::HandedIn);
    EXPECT_EQ(attempts[0].score, score);
    EXPECT_EQ(attempts[0].answered, 5);
    EXPECT_EQ(attempts[0].paperSize, 100);
    Database connection{DbKind::Mysql};
    AttemptStore store(connection);
    ASSERT_TRUE(ResultsOutbox::openServer(connection, config));
    const std::optional<StoredAttempt> stored = store.load(attempts[0].id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->entries.at(onScreen - 1).title, corrected);
    EXPECT_TRUE(ResultsOutbox::unsentAttempts(file(AttemptStore::fileName)).empty());
}

TEST_F(RoomResultsTest, EveryCommittedChangeWakesTheSender)
{
    enterOnServer("330303");
    Database server{DbKind::Mysql};
    ASSERT_TRUE(ResultsOutbox::openServer(server, config));
    using Clock = std::chrono::steady_clock;
    // How long until the server holds `letter` as the answer to question 1.
    auto arrival = [&](const std::string& letter, Clock::duration limit) {
        const Clock::time_point from = Clock::now();
        Database::Rows rows;
        while (Clock::now() - from < limit) {
            if (server.query("SELECT chosen FROM exam_attempt_entry WHERE entry_no=1", rows) && !rows.empty() &&
                rows[0][0] == letter)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return Clock::now() - from;
    };
    ASSERT_TRUE(GuiDriver::click("exam", "A"));
    ASSERT_LT(arrival("A", std::chrono::seconds(10)), std::chrono::seconds(10));
    // The sender has just sent: left alone it sleeps a whole retry period now,
    // so only being woken brings the next change sooner.
    ASSERT_TRUE(GuiDriver::click("exam", "B"));
    EXPECT_LT(arrival("B", std::chrono::seconds(3)), std::chrono::milliseconds(600));
    static_assert(ResultsOutbox::retryMilliseconds >= 1000);
}

TEST_F(RoomResultsTest, AServerStoppedMidExamGetsEveryChangeOnceWhenItIsBack)
{
    // A server of this test's own, without the watcher that would remove its
    // data once it stops, so that it can be started again on the same data.
    const std::string state = file("server.state");
    ASSERT_EQ(std::system((std::string("'") + MYSQL_SERVER_SCRIPT + "' start '" + state + "' >/dev/null").c_str()), 0);
    std::map<std::string, std::string> values;
    {
        std::ifstream in(state);
        for (std::string line; std::getline(in, line);)
            if (const auto eq = line.find('='); eq != std::string::npos)
                values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    const std::string datadir = values["DATADIR"], port = values["PORT"];
    admin.dropDatabase(config.database);
    admin.close();
    config.port = std::stoi(port);
    ASSERT_TRUE(admin.connect(config.host, "", std::string("root"), std::string(), config.port));
    ASSERT_TRUE(admin.createDatabase(config.database + " character set gbk"));

    enterOnServer("220202");
    answer(1, 3);
    ASSERT_TRUE(admin.execute("SHUTDOWN"));
    admin.close();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    answer(4, 3);
    const int score = handIn();
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(ResultsOutbox::unsentAttempts(file(AttemptStore::fileName)).size(), 1u);

    const std::string restart = "mariadbd --no-defaults --user=root --datadir=" + datadir + " --socket=" + datadir +
                                "/s --pid-file=" + datadir + "/p --port=" + port +
                                " --bind-address=127.0.0.1 --skip-name-resolve >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(restart.c_str()), 0);
    std::vector<AttemptSummary> attempts;
    for (int i = 0; i < 300 && (attempts.empty() || attempts[0].state != AttemptState::HandedIn); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        attempts = serverAttempts();
    }
    ASSERT_EQ(attempts.size(), 1u);
    EXPECT_EQ(attempts[0].state, AttemptState::HandedIn);
    EXPECT_EQ(attempts[0].score, score);
    EXPECT_EQ(attempts[0].answered, 6);
    Database connection{DbKind::Mysql};
    Database::Rows rows;
    ASSERT_TRUE(ResultsOutbox::openServer(connection, config));
    ASSERT_TRUE(connection.query("SELECT COUNT(*), COUNT(DISTINCT entry_no) FROM exam_attempt_entry", rows));
    EXPECT_EQ(rows, (Database::Rows{{"100", "100"}}));

    app.reset();
    EXPECT_TRUE(ResultsOutbox::unsentAttempts(file(AttemptStore::fileName)).empty());
    admin.connect(config.host, "", std::string("root"), std::string(), config.port);
    admin.dropDatabase(config.database);
    admin.close();
    std::system((std::string("'") + MYSQL_SERVER_SCRIPT + "' stop '" + state + "' >/dev/null 2>&1").c_str());
}

TEST_F(RoomResultsTest, SixtyCandidatesAtOnceLoseAndDuplicateNothing)
{
    makeBankFile(file("load.db"), plainRows(150));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), config)) << copier.lastErrorText();

    const RoomLoad::Result load = RoomLoad::run(config, 60, folder, 100, 120);
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_EQ(load.answerWriteMs.size(), 6000u);

    // Every attempt handed in, with all its answers once, scored as its answers say.
    Database connection{DbKind::Mysql};
    Database::Rows rows;
    ASSERT_TRUE(ResultsOutbox::openServer(connection, config));
    ASSERT_TRUE(connection.query(
        "SELECT COUNT(*), COUNT(DISTINCT candidate_id), SUM(state='handed_in'), "
        "SUM(score=(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.chosen=e.answer)), "
        "SUM((SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.chosen<>'')=100) "
        "FROM exam_attempt a",
        rows));
    EXPECT_EQ(rows, (Database::Rows{{"60", "60", "60", "60", "60"}}));
    ASSERT_TRUE(connection.query("SELECT COUNT(*) FROM exam_attempt_entry", rows));
    EXPECT_EQ(rows, (Database::Rows{{"6000"}}));
}
