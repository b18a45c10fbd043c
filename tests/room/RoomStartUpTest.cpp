// The room's PCs start with exactly the README's grants: each thing that keeps
// the bank from being used is named at start-up, and a server that went away
// and came back is used again without a restart of the program.

#include "app/RoomServices.h"
#include "app/StatisticsBridge.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "learning/StatsWindow.h"
#include "room/BankCopier.h"
#include "room/ResultsOutbox.h"
#include "tests/room/RoomTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <thread>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

class RoomStartUpTest : public RoomTest {
protected:
    // The one message start-up ended with, in UTF-8, after checking that it
    // ended the program in time.
    std::string startUpMessage()
    {
        const auto started = std::chrono::steady_clock::now();
        startApp();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
        EXPECT_EQ(app->exitCode(), 0);
        EXPECT_FALSE(Gui::isOpen("start"));
        if (driver.messageBoxes().size() != 1)
            return "messages: " + std::to_string(driver.messageBoxes().size());
        EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("提示"));
        EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
        return platform::gbkToUtf8(driver.messageBoxes()[0].text);
    }

    void loadBank(int rows)
    {
        makeBankFile(file("load.db"), plainRows(rows));
        BankCopier copier;
        ASSERT_TRUE(copier.toServer(file("load.db"), loadAccount())) << copier.lastErrorText();
    }

    void enter(const std::string& candidateId)
    {
        GuiDriver::erase("start", "身份证编辑框");
        GuiDriver::type("start", "身份证编辑框", candidateId);
        ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
        ASSERT_TRUE(Gui::isOpen("exam"));
    }

    // What a server restart does to the PC: every session of its account ends.
    void dropSessions(const RoomConfig& account)
    {
        const std::string sessions =
            "SELECT id FROM information_schema.processlist WHERE user = '" + account.user + "'";
        for (int wait = 0; wait < 100; ++wait) {
            MysqlRecordset ids;
            ids.attach(admin);
            ASSERT_TRUE(ids.open(sessions)) << admin.lastErrorText();
            if (ids.recordCount() == 0)
                return;
            for (std::int64_t r = 0; r < ids.recordCount(); ++r, ids.moveNext()) {
                std::string id;
                ids.readTextAt(0, id);
                admin.execute("KILL " + id);
            }
            ids.close();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        FAIL() << "sessions of " << account.user << " stay";
    }
};

TEST(RoomConfigPortTest, APortThatIsNoPortIsNoticed)
{
    EXPECT_TRUE(RoomConfig::fromText("[db]\nkind=mysql\n").portValid());
    EXPECT_EQ(RoomConfig::fromText("[db]\nkind=mysql\nport=65535\n").port, 65535);
    for (const char* port : {"70000", "0", "33x", "-1", ""}) {
        const RoomConfig config = RoomConfig::fromText(std::string("[db]\nkind=mysql\nport=") + port + "\n");
        EXPECT_EQ(config.badPort, port);
        EXPECT_EQ(config.port, 3306);
    }
}

TEST_F(RoomStartUpTest, ABadPortIsNamedWithoutTryingTheServer)
{
    std::string profile = profileText(pcAccount());
    profile.replace(profile.find("port="), std::string("port=").size() + std::to_string(config.port).size(),
                    "port=33o6");
    std::ofstream(file("i.ini"), std::ios::binary) << profile;
    EXPECT_EQ(startUpMessage(), "i.ini 中数据库服务器的端口号“33o6”无效！请把它改为 1 到 65535 之间的数字！");
}

TEST_F(RoomStartUpTest, ARefusedPasswordIsNamed)
{
    RoomConfig pc = pcAccount();
    pc.password = "not-the-secret";
    writeProfile(pc);
    EXPECT_EQ(startUpMessage(), "数据库服务器 " + pc.host + ":" + std::to_string(pc.port) + " 拒绝了账号 " + pc.user +
                                    " 的登录！请检查 i.ini 中的账号和密码是否正确！");
}

TEST_F(RoomStartUpTest, AMissingDatabaseIsNamed)
{
    RoomConfig pc = pcAccount();
    pc.database += "x";
    writeProfile(pc);
    EXPECT_EQ(startUpMessage(), "数据库服务器 " + pc.host + ":" + std::to_string(pc.port) + " 上没有数据库 " +
                                    pc.database + "，或账号 " + pc.user +
                                    " 无权使用它！请检查 i.ini 中的数据库名称是否正确！");
}

TEST_F(RoomStartUpTest, AMissingQuestionTableIsNamed)
{
    const RoomConfig pc = pcAccount();
    writeProfile(pc);
    EXPECT_EQ(startUpMessage(),
              "数据库加载失败！服务器 " + pc.serverName() + " 中没有题库表 KS_SJTK，请先把题库复制到服务器上！");
}

TEST_F(RoomStartUpTest, TheCopyToolsLoadAndThePcsAccountCarryAWholeExam)
{
    makeBankFile(file("load.db"), plainRows(120));
    writeProfile(loadAccount());
    const std::string tool = BANKCOPY_PROGRAM;
    ASSERT_EQ(std::system((tool + " to-server " + file("load.db") + " " + file("i.ini") + " >/dev/null").c_str()), 0);
    writeProfile(pcAccount());
    startApp();
    ASSERT_TRUE(driver.messageBoxes().empty());
    enter("220202");
    EXPECT_EQ(app->state().paper.entry(100).title, GBK("题目") + app->state().paper.entry(100).id);
    ASSERT_TRUE(GuiDriver::click("exam", "A"));
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(GuiDriver::click("exam", "交卷"));
    app.reset(); // closing sends what is left

    MysqlRecordset handedIn;
    handedIn.attach(admin);
    ASSERT_TRUE(
        handedIn.open("SELECT candidate_id FROM " + config.database + ".exam_attempt WHERE ended_at IS NOT NULL"))
        << admin.lastErrorText();
    ASSERT_EQ(handedIn.recordCount(), 1);
    std::string candidate;
    handedIn.readTextAt(0, candidate);
    EXPECT_EQ(candidate, "220202");
}

TEST_F(RoomStartUpTest, AfterTheServerCameBackTheDrawCorrectionsAndBankWindowWorkAgain)
{
    loadBank(3);
    const RoomConfig pc = pcAccount();
    writeProfile(pc);
    startApp();
    ASSERT_TRUE(driver.messageBoxes().empty());

    dropSessions(pc);
    enter("739264"); // the code that opens the bank window
    EXPECT_EQ(app->state().paper.entry(1).title, GBK("题目") + app->state().paper.entry(1).id);

    dropSessions(pc);
    driver.setModalHook([&](const std::string& window) {
        Gui::setText(window, "标题编辑框", GBK("改正"));
        GuiDriver::click(window, "修改");
    });
    ASSERT_TRUE(GuiDriver::click("exam", "纠错按钮"));
    EXPECT_TRUE(driver.messageBoxes().empty()) << app->state().connection.lastErrorText();
    const std::string corrected = app->state().currentId;

    dropSessions(pc);
    int listed = 0;
    const std::string other = corrected == "1" ? "2" : "1";
    driver.setModalHook([&](const std::string& window) {
        if (window != "bank")
            return;
        listed = Gui::gridRowCount("bank", "题库表");
        GuiDriver::clickGridCell("bank", "题库表", std::stoi(other), 1);
        Gui::setText("bank", "标题编辑框", GBK("也改了"));
        GuiDriver::click("bank", "修改");
        GuiDriver::clickCloseBox("bank");
    });
    ASSERT_TRUE(GuiDriver::click("exam", "题库管理按钮"));
    EXPECT_EQ(listed, 4);
    EXPECT_TRUE(driver.messageBoxes().empty());

    std::map<std::string, std::optional<std::string>> titles;
    for (const RoomRow& row : serverRows())
        titles[row.id] = row.title;
    EXPECT_EQ(titles[corrected], GBK("改正"));
    EXPECT_EQ(titles[other], GBK("也改了"));
}

// The program's one results connection to the server outlives the sessions
// the server ended: the drill of one's mistakes and the statistics are read
// from there again, with no box about an unreachable server.
TEST_F(RoomStartUpTest, AfterTheServerCameBackTheDrillAndTheStatisticsReadItsResultsAgain)
{
    loadBank(4);
    std::string error;
    ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
    {
        Database server{DbKind::Mysql};
        ASSERT_TRUE(ResultsOutbox::openServer(server, config)) << server.lastErrorText();
        AttemptStore store(server);
        AttemptStart start{.candidateId = "1101"};
        for (const auto& [key, letter] : {std::pair{1, "B"}, {2, "B"}, {3, ""}})
            start.entries.push_back({.number = key,
                                     .questionKey = std::to_string(key),
                                     .answer = std::string(1, static_cast<char>('A' + key - 1)),
                                     .chosen = letter});
        ASSERT_TRUE(store.recordHandIn(store.begin(start), 1, 0, AttemptStore::now())) << store.lastErrorText();
    }
    const RoomConfig pc = pcAccount();
    writeProfile(pc);
    startApp();
    ASSERT_TRUE(driver.messageBoxes().empty());

    std::vector<int> listed;
    driver.setModalHook([&](const std::string& window) {
        listed.push_back(window == StatsWindow::windowId ? Gui::gridRowCount(window, StatsWindow::grid) : -1);
    });
    auto statistics = [&] { StatisticsBridge::bankAction(app->state(), app->room())("", [](const std::string&) {}); };
    statistics();
    Database* const results = app->room().serverResults();
    ASSERT_NE(results, nullptr);

    dropSessions(pc);
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "1101");
    ASSERT_TRUE(GuiDriver::click("start", "错题按钮"));
    ASSERT_TRUE(Gui::isOpen("exam")) << (driver.messageBoxes().empty()
                                             ? ""
                                             : platform::gbkToUtf8(driver.messageBoxes()[0].text));
    EXPECT_EQ(app->state().paperLength, 2);
    EXPECT_EQ((std::set<std::string>{app->state().paper.entry(1).id, app->state().paper.entry(2).id}),
              (std::set<std::string>{"1", "3"}));

    dropSessions(pc);
    statistics();
    EXPECT_EQ(app->room().serverResults(), results);
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], 4);
    EXPECT_EQ(listed[1], listed[0]);
}
