#include "attempts/AttemptStore.h"
#include "db/BackendRegistry.h"
#include "db/Database.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "exam/AppState.h"
#include "learning/DrillPlanner.h"
#include "questions/QuestionBank.h"
#include "room/BankCopier.h"
#include "room/ResultsOutbox.h"
#include "room/RoomServer.h"
#include "tests/room/RoomTestSupport.h"

#include <set>

using platform::Gui;
using platform::GuiDriver;

// In an exam room the drill comes from the attempts and the bank on the
// server, whatever this PC holds.
TEST_F(RoomTest, DrillIsDrawnFromTheServersAttemptsAndBank)
{
    makeBankFile(file("load.db"), plainRows(20));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), config)) << copier.lastErrorText();
    std::string error;
    ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
    Database server{DbKind::Mysql};
    ASSERT_TRUE(ResultsOutbox::openServer(server, config)) << server.lastErrorText();
    AttemptStore store(server);
    const std::string odd = "O'Brien\\x";
    // key, letter chosen; the bank's answers run A to D by key.
    const std::vector<std::tuple<std::string, std::string, std::vector<std::pair<int, std::string>>>> attempts = {
        {"1101", "2026-01-01 10:00:00", {{1, "B"}, {2, "B"}, {3, ""}}},
        {"1101", "2026-01-02 10:00:00", {{2, "A"}, {4, "D"}, {1, "A"}}},
        {odd, "2026-01-02 11:00:00", {{5, "B"}}},
    };
    for (const auto& [candidate, endedAt, paper] : attempts) {
        AttemptStart start{.candidateId = candidate};
        for (const auto& [key, letter] : paper)
            start.entries.push_back({.number = static_cast<int>(start.entries.size()) + 1,
                                     .questionKey = std::to_string(key),
                                     .answer = std::string(1, static_cast<char>('A' + (key - 1) % 4)),
                                     .chosen = letter});
        const std::int64_t id = store.begin(start);
        ASSERT_GT(id, 0) << store.lastErrorText();
        ASSERT_TRUE(store.recordHandIn(id, 0, 0, endedAt));
    }

    {
        BackendRegistry registry;
        ASSERT_TRUE(RoomServer::openBank(config, error)) << error;
        DbConnection bank;
        DbRecordset rows;
        DrillPlanner planner(server, bank, rows);
        std::vector<AttemptEntry> drill;
        ASSERT_TRUE(planner.plan("1101", 3, drill)) << planner.lastErrorText();
        ASSERT_EQ(drill.size(), 3u);
        EXPECT_EQ(drill[0].questionKey, "2");
        EXPECT_EQ(drill[0].title, GBK("题目2"));
        EXPECT_EQ((std::set<std::string>{drill[1].questionKey, drill[2].questionKey}),
                  (std::set<std::string>{"1", "3"}));
        ASSERT_TRUE(planner.plan(odd, 3, drill)) << planner.lastErrorText();
        ASSERT_EQ(drill.size(), 1u);
        EXPECT_EQ(drill[0].questionKey, "5");
    }

    writeProfile();
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "1101");
    ASSERT_TRUE(GuiDriver::click("start", "错题按钮"));
    ASSERT_TRUE(Gui::isOpen("exam"));
    EXPECT_TRUE(app->state().drill);
    EXPECT_EQ(app->state().paperLength, 3);
    EXPECT_EQ(app->state().paper.entry(1).id, "2");
}

// The categories of the due questions come from the server's bank too.
TEST_F(RoomTest, DrillOfOneCategoryReadsTheServersCategories)
{
    makeBankFile(file("load.db"), plainRows(6));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), config)) << copier.lastErrorText();
    std::string error;
    ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
    Database server{DbKind::Mysql};
    ASSERT_TRUE(ResultsOutbox::openServer(server, config)) << server.lastErrorText();
    AttemptStore store(server);
    AttemptStart start{.candidateId = "1101"};
    for (int key = 1; key <= 6; ++key)
        start.entries.push_back({.number = key, .questionKey = std::to_string(key), .answer = "A"});
    const std::int64_t id = store.begin(start);
    ASSERT_GT(id, 0) << store.lastErrorText();
    ASSERT_TRUE(store.recordHandIn(id, 0, 0, "2026-01-01 10:00:00"));

    BackendRegistry registry;
    ASSERT_TRUE(RoomServer::openBank(config, error)) << error;
    DbConnection bank;
    DbRecordset rows;
    DrillPlanner planner(server, bank, rows);
    std::vector<DueCategory> categories;
    ASSERT_TRUE(planner.dueCategories("1101", categories)) << planner.lastErrorText();
    EXPECT_EQ(categories, (std::vector<DueCategory>{{GBK("未分类"), 6}}));

    Database& questions = registry.mysqlDatabase();
    ASSERT_TRUE(questions.execute(QuestionBank::createCategoryTableStatement(DbKind::Mysql)));
    for (const char* key : {"2", "5"})
        ASSERT_TRUE(questions.execute(QuestionBank::setCategoryStatement(key, GBK("安全生产"))));
    ASSERT_TRUE(planner.dueCategories("1101", categories)) << planner.lastErrorText();
    EXPECT_EQ(categories, (std::vector<DueCategory>{{GBK("安全生产"), 2}, {GBK("未分类"), 4}}));
    std::vector<AttemptEntry> drill;
    ASSERT_TRUE(planner.plan("1101", 3, drill, GBK("安全生产"))) << planner.lastErrorText();
    ASSERT_EQ(drill.size(), 2u);
    EXPECT_EQ((std::set<std::string>{drill[0].questionKey, drill[1].questionKey}), (std::set<std::string>{"2", "5"}));
}
