#include "app/AttemptBridge.h"
#include "app/ExamWindow.h"
#include "app/RoomServices.h"
#include "attempts/AttemptRecorder.h"
#include "attempts/AttemptStore.h"
#include "attempts/HistoryWindow.h"
#include "db/BackendRegistry.h"
#include "exam/AppState.h"
#include "platform/FileSystem.h"
#include "room/BankCopier.h"
#include "room/ResultsOutbox.h"
#include "room/RoomServer.h"
#include "tests/room/RoomTestSupport.h"

#include <algorithm>

using platform::Gui;

class RoomHistoryTest : public RoomTest {
protected:
    void SetUp() override
    {
        RoomTest::SetUp();
        std::string error;
        ASSERT_TRUE(ResultsOutbox::prepareServer(config, error)) << error;
        writeProfile();
    }

    // A handed-in attempt of `candidate` on the PC whose results database is
    // at `path`, sent to the server when `send`.
    void attemptOnPc(const std::string& path, const std::string& candidate, bool send)
    {
        ResultsOutbox outbox(path, config);
        Database local{DbKind::Sqlite};
        AttemptStore store(local);
        ASSERT_TRUE(outbox.prepare() && local.open(AttemptStore::fileOptions(path))) << outbox.lastErrorText();
        AttemptStart start{.candidateId = candidate, .secondsLeft = 3000, .paperDuration = 3600};
        start.entries.push_back({.number = 1, .questionKey = "1", .title = "t", .answer = "A", .chosen = "A"});
        ASSERT_TRUE(store.recordHandIn(store.begin(start), 1, 3000, AttemptStore::now()));
        if (send) {
            outbox.start();
            ASSERT_TRUE(outbox.flush(10000)) << outbox.lastErrorText();
        }
    }

    // The state column of the history as `who` opens it on this PC.
    std::vector<std::string> history(const std::string& who)
    {
        AppState state;
        state.runDirectory = folder;
        AttemptRecorder recorder;
        state.attempts = &recorder;
        std::vector<std::string> rows;
        driver.setModalHook([&](const std::string& window) {
            for (int r = 1; r < Gui::gridRowCount(window, HistoryWindow::grid); ++r)
                rows.push_back(Gui::gridText(window, HistoryWindow::grid, r, 1) + " " +
                               Gui::gridText(window, HistoryWindow::grid, r, 9));
            if (exportToo)
                platform::GuiDriver::click(window, "导出CSV按钮");
        });
        RoomServices room;
        room.readProfile(file("i.ini"));
        AttemptBridge::openHistory(state, room, who, "");
        driver.setModalHook(nullptr);
        return rows;
    }

    bool exportToo = false;
};

TEST_F(RoomHistoryTest, CandidateSeesWhatIsNotYetOnTheServer)
{
    attemptOnPc(file(AttemptStore::fileName), "110101", true);
    attemptOnPc(file(AttemptStore::fileName), "110101", false);
    EXPECT_EQ(history("110101"),
              (std::vector<std::string>{"110101 " + GBK("已交卷"), "110101 " + GBK("已交卷（未上传）")}));
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(RoomHistoryTest, AdministratorListsEveryPcFromTheServer)
{
    attemptOnPc(file("other-pc.db"), "220202", true);
    attemptOnPc(file(AttemptStore::fileName), "110101", true);
    // Both start in the same second, so their keys' random PC origins decide the order.
    std::vector<std::string> everyone = history("739264");
    std::sort(everyone.begin(), everyone.end());
    EXPECT_EQ(everyone, (std::vector<std::string>{"110101 " + GBK("已交卷"), "220202 " + GBK("已交卷")}));
    // With the bank on the server the list exports from there.
    BackendRegistry registry;
    std::string reason;
    ASSERT_TRUE(admin.execute("CREATE TABLE " + config.database + ".KS_SJTK (id INT)"));
    ASSERT_TRUE(RoomServer::openBank(config, reason)) << reason;
    exportToo = true;
    EXPECT_EQ(history("739264").size(), 2u);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("提示")) << platform::gbkToUtf8(driver.messageBoxes()[0].text);
    exportToo = false;
    driver.clearMessageBoxes();
    EXPECT_EQ(history("110101"), (std::vector<std::string>{"110101 " + GBK("已交卷")}));

    config.port = 1;
    writeProfile();
    EXPECT_EQ(history("739264"), (std::vector<std::string>{"110101 " + GBK("已交卷")}));
    EXPECT_EQ(driver.messageBoxes().size(), 1u);
}

// A room PC as the README sets it up: the loading account copies the bank and
// makes the tables, the PC runs with its own account, which may only read and
// change rows.
class RoomExportTest : public RoomTest {
protected:
    void SetUp() override
    {
        RoomTest::SetUp();
        makeBankFile(file("load.db"), plainRows(120));
        BankCopier copier;
        ASSERT_TRUE(copier.toServer(file("load.db"), loadAccount())) << copier.lastErrorText();
        writeProfile(pcAccount());
    }

    // Clicks both exports in the history window `open` opens; the CSV's lines.
    std::vector<std::string> exported(const std::function<void()>& open)
    {
        for (const char* name : {"历史成绩.csv", "历史成绩.xls"})
            std::filesystem::remove(file(name));
        driver.clearMessageBoxes();
        driver.setModalHook([](const std::string& window) {
            platform::GuiDriver::click(window, "导出CSV按钮");
            platform::GuiDriver::click(window, "导出XLS按钮");
        });
        open();
        driver.setModalHook(nullptr);
        EXPECT_EQ(driver.messageBoxes().size(), 2u);
        for (const auto& box : driver.messageBoxes())
            EXPECT_EQ(box.caption, GBK("提示")) << platform::gbkToUtf8(box.text);
        EXPECT_GT(std::filesystem::file_size(file("历史成绩.xls")), 0u);
        std::string csv;
        std::vector<std::string> lines;
        platform::FileSystem::readFile(folder + "/" + GBK("历史成绩.csv"), csv);
        for (std::size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(csv.substr(at, end - at));
        return lines;
    }

    void fromStart(const std::string& who)
    {
        platform::GuiDriver::erase("start", "身份证编辑框");
        platform::GuiDriver::type("start", "身份证编辑框", who);
        platform::GuiDriver::click("start", "历史按钮");
    }
};

TEST_F(RoomExportTest, CandidateAndAdministratorExportTheHistory)
{
    startApp();
    platform::GuiDriver::erase("start", "身份证编辑框");
    platform::GuiDriver::type("start", "身份证编辑框", "110101");
    ASSERT_TRUE(platform::GuiDriver::click("start", "按钮1"));
    ASSERT_TRUE(platform::GuiDriver::click("exam", "A"));
    driver.answerNext(platform::MessageBoxResult::Yes);
    ASSERT_TRUE(platform::GuiDriver::click("exam", "交卷"));

    const auto afterHandIn = exported([] { platform::GuiDriver::click(ExamWindow::windowId, "历史按钮"); });
    ASSERT_EQ(afterHandIn.size(), 1u);
    EXPECT_NE(afterHandIn[0].find(" , 110101 , 15 , " + GBK("考试") + " , 100 , 1 , 0 , "), std::string::npos)
        << platform::gbkToUtf8(afterHandIn[0]);
    EXPECT_TRUE(afterHandIn[0].ends_with(GBK(" , 已交卷")));

    app.reset(); // closing sends the hand-in
    startApp();
    EXPECT_EQ(exported([&] { fromStart("110101"); }), afterHandIn);
    // The administrator's list comes from the server.
    EXPECT_EQ(exported([&] { fromStart(ExamWindow::accessCode); }), afterHandIn);
}
