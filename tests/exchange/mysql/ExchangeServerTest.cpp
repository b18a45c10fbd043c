#include "app/ExamWindow.h"
#include "db/BackendRegistry.h"
#include "db/Database.h"
#include "exchange/BankBackup.h"
#include "exchange/BankCommand.h"
#include "exchange/BankImporter.h"
#include "exchange/CsvFormat.h"
#include "exchange/ExchangeTestSupport.h"
#include "exchange/ExchangeWindow.h"
#include "questions/QuestionBank.h"
#include "room/BankCopier.h"
#include "room/RoomTestSupport.h"

#include <cstdio>

using platform::Gui;
using platform::GuiDriver;

namespace {

// The bank of the room on the server, worked on with the PCs' account as the
// README grants it.
class ExchangeServerTest : public RoomTest {
protected:
    void loadServer(const std::vector<RoomRow>& rows)
    {
        makeBankFile(file("load.db"), rows);
        BankCopier copier;
        ASSERT_TRUE(copier.toServer(file("load.db"), loadAccount())) << platform::gbkToUtf8(copier.lastErrorText());
    }

    // mockexam-bank as if it sat in the run folder; its standard output.
    int tool(const std::vector<std::string>& args, std::string& output)
    {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int code = BankCommand::run(args, file("tk.db"), out, err);
        output.clear();
        for (std::FILE* f : {out, err}) {
            std::rewind(f);
            char buffer[4096];
            output.append(buffer, std::fread(buffer, 1, sizeof buffer, f));
            std::fclose(f);
        }
        return code;
    }
};

TEST_F(ExchangeServerTest, TheToolImportsIntoTheServerOfItsIniAndRestoresItExactly)
{
    std::vector<RoomRow> before = plainRows(3);
    before.push_back({"10", GBK("它's \\ 镕"), std::nullopt, "B", std::nullopt});
    before.push_back({"25", std::nullopt, "|||", "", "0"});
    loadServer(before);
    writeProfile(pcAccount());
    makeBankFile(file("tk.db"), {});
    writeText(file("new.csv"), "题目,选项A,选项B,答案\n新题,a,b,A\n题目2,a,b,B\n");

    std::string output;
    EXPECT_EQ(tool({"import", file("new.csv")}, output), BankCommand::ProblemsFound) << output;
    EXPECT_NE(output.find("已导入1道题"), std::string::npos) << output;
    EXPECT_NE(output.find("服务器" + config.host + ":" + std::to_string(config.port) + "上数据库" + config.database),
              std::string::npos)
        << output;
    EXPECT_EQ(serverRows().size(), before.size() + 1);
    EXPECT_TRUE(fileRows(file("tk.db")).empty());
    const std::vector<std::string> copies = BankBackup::serverCopies(folder);
    ASSERT_EQ(copies.size(), 1u);

    ASSERT_EQ(tool({"export", file("out.csv")}, output), BankCommand::Success) << output;
    EXPECT_NE(output.find("已导出6道题"), std::string::npos) << output;

    ASSERT_EQ(tool({"restore", copies[0]}, output), BankCommand::Success) << output;
    EXPECT_NE(output.find("已从备份恢复5道题"), std::string::npos) << output;
    EXPECT_EQ(serverRows(), before);
    EXPECT_EQ(BankBackup::serverCopies(folder).size(), 2u);
}

// A question another PC stored before the import is a duplicate; one another
// PC tries to store while the import checks waits for the import to end.
TEST_F(ExchangeServerTest, TheImportHoldsTheTableAgainstOtherWritersUntilItEnds)
{
    loadServer(plainRows(2));
    Database bank;
    ASSERT_TRUE(bank.open(pcAccount().connectOptions())) << platform::gbkToUtf8(bank.lastErrorText());
    ASSERT_TRUE(
        admin.execute("INSERT INTO " + config.database + ".KS_SJTK (Title) VALUES ('" + GBK("别处加的题") + "')"));
    std::string csv = "题目,选项A,选项B,答案\n别处加的题,a,b,A\n";
    for (int i = 0; i < 1200; ++i)
        csv += "题" + std::to_string(i) + ",a,b,A\n";
    writeText(file("many.csv"), csv);

    ASSERT_TRUE(admin.execute("SET SESSION innodb_lock_wait_timeout = 1"));
    int tried = 0;
    bool othersWrote = false;
    const ImportReport report = BankImporter(bank, folder).run(file("many.csv"), {}, [&](std::size_t, std::size_t) {
        if (tried++ == 0)
            othersWrote = admin.execute("INSERT INTO " + config.database + ".KS_SJTK (Title) VALUES ('x')");
    });
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    EXPECT_FALSE(othersWrote);
    ASSERT_EQ(report.checked.problems.size(), 1u);
    EXPECT_EQ(report.checked.problems[0].line, 2);
    EXPECT_EQ(serverRows().size(), 3u + 1200u);
    EXPECT_TRUE(admin.execute("INSERT INTO " + config.database + ".KS_SJTK (Title) VALUES ('x')"));
}

// The rows go to the server by the batch; a row it refuses deep in a long
// file is still named by its line, and nothing of the file is kept.
TEST_F(ExchangeServerTest, ARefusedRowIsNamedAndTheServerKeepsNothing)
{
    loadServer(plainRows(2));
    const std::string table = config.database + ".KS_SJTK";
    ASSERT_TRUE(admin.execute("CREATE TRIGGER " + config.database + ".refuse BEFORE INSERT ON " + table +
                              " FOR EACH ROW BEGIN IF NEW.Title = '" + GBK("题700") +
                              "' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'no'; END IF; END"))
        << admin.lastErrorText();
    std::string csv = "题目,选项A,选项B,答案\n";
    for (int i = 0; i < 1000; ++i)
        csv += "题" + std::to_string(i) + ",a,b,A\n";
    writeText(file("long.csv"), csv);
    Database bank;
    ASSERT_TRUE(bank.open(pcAccount().connectOptions()));
    const ImportReport failed = BankImporter(bank, folder).run(file("long.csv"), {});
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(platform::gbkToUtf8(failed.error).find("第702行"), std::string::npos)
        << platform::gbkToUtf8(failed.error);
    EXPECT_EQ(serverRows(), plainRows(2));
    EXPECT_TRUE(BankBackup::serverCopies(folder).empty());
}

// A server commits what came before a CREATE TABLE: a failed import with
// categories leaves neither rows nor a category table behind, and the PCs,
// which may not make the table, store the questions and say so.
TEST_F(ExchangeServerTest, CategoriesReachTheServerOnlyWithTheirRows)
{
    loadServer(plainRows(2));
    ASSERT_TRUE(admin.execute("CREATE TRIGGER " + config.database + ".refuse BEFORE INSERT ON " + config.database +
                              ".KS_SJTK FOR EACH ROW BEGIN IF NEW.Title = 'bad' THEN SIGNAL SQLSTATE '45000' SET "
                              "MESSAGE_TEXT = 'no'; END IF; END"))
        << admin.lastErrorText();
    writeText(file("bad.csv"), "题目,选项A,选项B,答案,分类\n新一,a,b,A,安全\nbad,a,b,A,\n");
    writeText(file("one.csv"), "题目,选项A,选项B,选项C,答案,分类\n新一,a,b,c,CA,安全\n");
    writeText(file("two.csv"), "题目,选项A,选项B,答案,分类\n新二,a,b,B,质量\n");
    Database bank;
    ASSERT_TRUE(bank.open(pcAccount().connectOptions()));
    EXPECT_FALSE(BankImporter(bank, folder).run(file("bad.csv"), {}).ok);
    EXPECT_EQ(serverRows(), plainRows(2));
    EXPECT_FALSE(QuestionBank(bank).hasCategories());

    const ImportReport first = BankImporter(bank, folder).run(file("one.csv"), {});
    ASSERT_TRUE(first.ok) << platform::gbkToUtf8(first.error);
    EXPECT_EQ(first.imported, 1u);
    ASSERT_EQ(first.notes.size(), 1u);
    EXPECT_TRUE(platform::gbkToUtf8(first.notes.front()).starts_with("题目已导入，但分类没有写入："));

    ASSERT_TRUE(admin.execute("CREATE TABLE " + config.database +
                              ".KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT) DEFAULT CHARACTER SET gbk"))
        << admin.lastErrorText();
    const ImportReport second = BankImporter(bank, folder).run(file("two.csv"), {});
    ASSERT_TRUE(second.ok) << platform::gbkToUtf8(second.error);
    EXPECT_TRUE(second.notes.empty());
    Database::Rows rows;
    ASSERT_TRUE(bank.query("SELECT Title, Answer, Category FROM KS_SJTK JOIN KS_TMFL USING (id) ORDER BY Title", rows))
        << bank.lastErrorText();
    EXPECT_EQ(rows, (Database::Rows{{GBK("新二"), std::string("B"), GBK("质量")}}));
    EXPECT_EQ(serverRows().size(), 4u);
}

// 导入… and 导出… of the bank window on a PC of the room: the rows go to and
// come from the server the program has open.
TEST_F(ExchangeServerTest, TheBankWindowImportsIntoAndExportsFromTheServer)
{
    loadServer(plainRows(2));
    writeProfile(pcAccount());
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "739264");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    driver.setResponder([](const platform::MessageBoxRequest& box) {
        return box.buttons == platform::MessageBoxButtons::YesNo ? platform::MessageBoxResult::Yes
                                                                 : platform::MessageBoxResult::Ok;
    });
    writeText(file("new.csv"), "题目,选项A,选项B,答案\n新题,a,b,A\n题目1,a,b,B\n");
    driver.setModalHook([&](const std::string& window) {
        if (window == "bank") {
            GuiDriver::click("bank", "导入");
            GuiDriver::click("bank", "导出");
            GuiDriver::clickCloseBox("bank");
        } else if (Gui::isVisible("exchange", "检查")) {
            Gui::setText("exchange", "文件编辑框", file("new.csv"));
            GuiDriver::click("exchange", "导入");
            GuiDriver::clickCloseBox("exchange");
        } else {
            Gui::setText("exchange", "文件编辑框", file("out.csv"));
            GuiDriver::click("exchange", "导出");
            GuiDriver::clickCloseBox("exchange");
        }
    });
    ASSERT_TRUE(GuiDriver::click("exam", "题库管理按钮"));

    const std::vector<RoomRow> rows = serverRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].title, GBK("新题"));
    EXPECT_EQ(BankBackup::serverCopies(folder).size(), 1u);
    const ParsedBank exported = CsvFormat::read(readText(file("out.csv")));
    ASSERT_EQ(exported.questions.size(), 3u);
    EXPECT_EQ(exported.questions[2].title, "新题");
    EXPECT_FALSE(std::filesystem::exists(file("tk.db")));
}

} // namespace
