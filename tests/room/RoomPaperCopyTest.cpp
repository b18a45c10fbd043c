// Papers defined on the loading PC reach the room with the bank: every PC
// offers them, and copying the bank back brings them home.

#include "app/PaperChoice.h"
#include "db/Database.h"
#include "exam/AppState.h"
#include "papers/PaperBook.h"
#include "room/BankCopier.h"
#include "room/RoomTestSupport.h"

#include <cstdio>

using platform::Gui;
using platform::GuiDriver;

namespace {

class RoomPaperCopyTest : public RoomTest {
protected:
    // 周测: three singles in 10 minutes; 月考: four in 20, exam mode, shuffled.
    static std::vector<PaperDefinition> twoPapers()
    {
        PaperDefinition weekly;
        weekly.name = GBK("周测");
        weekly.rules = {{"", QuestionKind::Single, 3}};
        weekly.minutes = 10;
        weekly.pointsTenths = {10, 20, 10};
        weekly.passMarkTenths = 20;
        PaperDefinition monthly = weekly;
        monthly.name = GBK("月考");
        monthly.rules = {{"", QuestionKind::Single, 4}};
        monthly.minutes = 20;
        monthly.mode = PaperDefinition::Mode::Exam;
        monthly.shuffleOptions = true;
        monthly.handInWhenTimeUp = true;
        return {monthly, weekly}; // by name, as listed
    }

    static void savePapers(const std::string& path, const std::vector<PaperDefinition>& papers)
    {
        Database bank;
        ASSERT_TRUE(bank.open(ConnectOptions::sqlite(path, false)));
        PaperBook book(bank);
        for (const PaperDefinition& paper : papers)
            ASSERT_TRUE(book.save(paper)) << platform::gbkToUtf8(book.lastErrorText());
    }

    static bool fileHasPaperTable(const std::string& path)
    {
        Database bank;
        return bank.open(ConnectOptions::sqlite(path, false)) && bank.tableExists(PaperBook::table);
    }

    std::vector<PaperDefinition> papersOf(const RoomConfig& account)
    {
        Database server;
        std::vector<PaperDefinition> papers;
        EXPECT_TRUE(server.open(account.connectOptions())) << server.lastErrorText();
        EXPECT_TRUE(PaperBook(server).list(papers));
        return papers;
    }

    static std::vector<PaperDefinition> papersOf(const std::string& path)
    {
        Database bank;
        std::vector<PaperDefinition> papers;
        EXPECT_TRUE(bank.open(ConnectOptions::sqlite(path, false)));
        EXPECT_TRUE(PaperBook(bank).list(papers));
        return papers;
    }

    // What a copy must keep of each paper, in one line per paper.
    static std::vector<std::string> summary(const std::vector<PaperDefinition>& papers)
    {
        std::vector<std::string> lines;
        for (const PaperDefinition& p : papers)
            lines.push_back(platform::gbkToUtf8(p.name + " " + PaperDefinition::rulesText(p.rules)) + " " +
                            std::to_string(p.minutes) + " " + std::to_string(p.mode == PaperDefinition::Mode::Exam) +
                            std::to_string(p.shuffleOptions) + std::to_string(p.handInWhenTimeUp) + " " +
                            std::to_string(p.pointsTenths[QuestionKind::Multiple]) + " " +
                            std::to_string(p.passMarkTenths));
        return lines;
    }
};

TEST_F(RoomPaperCopyTest, PapersCopiedToTheServerAreOfferedOnEveryPcAndCopiedBack)
{
    makeBankFile(file("load.db"), plainRows(8));
    savePapers(file("load.db"), twoPapers());
    writeProfile(loadAccount());
    const std::string tool = BANKCOPY_PROGRAM;
    FILE* run = ::popen((tool + " to-server " + file("load.db") + " " + file("i.ini")).c_str(), "r");
    ASSERT_NE(run, nullptr);
    char said[200] = {};
    const std::size_t length = std::fread(said, 1, sizeof said - 1, run);
    ASSERT_EQ(::pclose(run), 0);
    EXPECT_EQ(std::string(said, length), "8 questions copied\n2 papers copied\n");

    // A PC's account reads them and draws one through the start window.
    EXPECT_EQ(summary(papersOf(pcAccount())), summary(twoPapers()));
    writeProfile(pcAccount());
    startApp();
    ASSERT_TRUE(driver.messageBoxes().empty());
    ASSERT_EQ(Gui::comboCount("start", PaperChoice::comboName), 3);
    ASSERT_TRUE(Gui::setComboIndex("start", PaperChoice::comboName, 2));
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "739264");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_TRUE(Gui::isOpen("exam"));
    EXPECT_EQ(app->state().paperLength, 3);
    EXPECT_EQ(Gui::text("exam", "透明标签4"), GBK("周测 共3题"));
    app.reset();

    BankCopier copier;
    ASSERT_TRUE(copier.fromServer(loadAccount(), file("back.db"))) << copier.lastErrorText();
    EXPECT_EQ(copier.copiedPapers(), 2);
    EXPECT_EQ(summary(papersOf(file("back.db"))), summary(twoPapers()));
}

TEST_F(RoomPaperCopyTest, ABankWithoutPapersCopiesAsBeforeAndLeavesThePcsRoomToSaveThem)
{
    // The server held papers of an earlier bank: the copy replaces them.
    makeBankFile(file("old.db"), plainRows(5));
    savePapers(file("old.db"), twoPapers());
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("old.db"), loadAccount())) << copier.lastErrorText();

    makeBankFile(file("load.db"), plainRows(4));
    ASSERT_TRUE(copier.toServer(file("load.db"), loadAccount())) << copier.lastErrorText();
    EXPECT_EQ(copier.copiedRows(), 4);
    EXPECT_EQ(copier.copiedPapers(), 0);
    EXPECT_EQ(serverRows(), plainRows(4));
    EXPECT_TRUE(papersOf(loadAccount()).empty());
    EXPECT_FALSE(fileHasPaperTable(file("load.db")));

    // The table is there, so a PC's account may store the first paper.
    Database pc;
    ASSERT_TRUE(pc.open(pcAccount().connectOptions()));
    PaperDefinition weekly = twoPapers()[1];
    PaperBook book(pc);
    EXPECT_TRUE(book.save(weekly)) << platform::gbkToUtf8(book.lastErrorText());

    // Back home without papers, the file gets no table for them.
    ASSERT_TRUE(admin.execute("DELETE FROM " + config.database + ".KS_SJDY"));
    ASSERT_TRUE(copier.fromServer(loadAccount(), file("back.db"))) << copier.lastErrorText();
    EXPECT_EQ(fileRows(file("back.db")), plainRows(4));
    EXPECT_FALSE(fileHasPaperTable(file("back.db")));
}

} // namespace
