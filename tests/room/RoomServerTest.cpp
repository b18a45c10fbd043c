#include "room/RoomServer.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "exam/AppState.h"
#include "questions/QuestionBank.h"
#include "room/BankCopier.h"
#include "tests/room/RoomTestSupport.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

// A trail byte 0x5C, a backslash, quotes, a full-width blank, NULL and empty texts.
std::vector<RoomRow> awkwardRows()
{
    return {{"3", "\x81\x5C" + GBK("乗题") + "C:\\temp\\", GBK("一|二|"), "A", "2"},
            {"7", "It's ''x'' \\'", "a\\|b'|c||", std::nullopt, ""},
            {"9", GBK("全角\xE3\x80\x80空格"), std::nullopt, "D", "4"}};
}

} // namespace

TEST(RoomConfigTest, OnlyAServerKindLeavesTheBankFile)
{
    EXPECT_FALSE(RoomConfig::fromText("[nev]\ntite=x\n").onServer());
    EXPECT_FALSE(RoomConfig::fromText("[db]\nkind=sqlite\nhost=h\n").onServer());
    const RoomConfig server = RoomConfig::fromText("[DB]\nKind=MariaDB\nhost=10.0.0.5\nport=3307\nname=room1\n"
                                                   "user=exam\npassword=\"p w\"\ncharset=gbk\n");
    EXPECT_TRUE(server.onServer());
    EXPECT_EQ(server.serverName(), "10.0.0.5:3307/room1");
    EXPECT_EQ(server.user, "exam");
    EXPECT_EQ(server.password, "p w");
    EXPECT_EQ(RoomConfig::fromText("[db]\nkind=mysql\nport=70000\n").port, 3306);
    EXPECT_EQ(RoomConfig::fromText("[db]\nkind=mysql\nport=33x\n").port, 3306);
}

TEST(DialectTest, TheDrawOnTheBankFileKeepsItsStatement)
{
    EXPECT_EQ(QuestionBank::drawQuery(DbKind::Sqlite), "SELECT * FROM KS_SJTK  ORDER BY RANDOM() limit 100");
    EXPECT_EQ(Dialect::literal("a'b\\"), "'a''b\\'");
}

TEST_F(RoomTest, TheCopyToolAndBackKeepKeysBytesAndNulls)
{
    makeBankFile(file("tk.db"), awkwardRows());
    writeProfile();
    const std::string tool = BANKCOPY_PROGRAM;
    ASSERT_EQ(std::system((tool + " to-server " + file("tk.db") + " " + file("i.ini") + " >/dev/null").c_str()), 0);
    EXPECT_EQ(serverRows(), awkwardRows());

    BankCopier copier;
    ASSERT_TRUE(copier.fromServer(config, file("back.db"))) << copier.lastErrorText();
    EXPECT_EQ(copier.copiedRows(), 3);
    EXPECT_EQ(fileRows(file("back.db")), awkwardRows());

    // Copying again replaces the table; the server goes on numbering after the highest key.
    ASSERT_TRUE(copier.toServer(file("back.db"), config)) << copier.lastErrorText();
    ASSERT_TRUE(admin.execute("INSERT INTO " + config.database + ".KS_SJTK (Title) VALUES ('n')"));
    EXPECT_EQ(serverRows().size(), 4u);
    EXPECT_EQ(serverRows().back().id, "10");

    std::ofstream(file("plain.ini")) << "[nev]\ntite=x\n";
    EXPECT_NE(std::system((tool + " to-server " + file("tk.db") + " " + file("plain.ini") + " 2>/dev/null").c_str()),
              0);
}

TEST_F(RoomTest, TheStartWindowDrawsTheServersQuestionsWithoutABankFile)
{
    makeBankFile(file("load.db"), plainRows(150));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), config)) << copier.lastErrorText();
    std::filesystem::remove(file("load.db"));
    writeProfile();

    startApp();
    ASSERT_TRUE(Gui::isOpen("start"));
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_TRUE(Gui::isOpen("exam"));
    std::set<std::string> ids;
    for (int k = 1; k <= 100; ++k) {
        const PaperEntry& entry = app->state().paper.entry(k);
        ids.insert(entry.id);
        EXPECT_EQ(entry.title, GBK("题目") + entry.id);
    }
    EXPECT_EQ(ids.size(), 100u);
    EXPECT_FALSE(std::filesystem::exists(file("tk.db")));
}

TEST_F(RoomTest, AnUnreachableServerEndsStartUpNamingIt)
{
    // A port that was free a moment ago: nothing listens there.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), length), 0);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    config.port = ntohs(address.sin_port);
    writeProfile();
    makeBankFile(file("tk.db"), plainRows(3));

    startApp();
    EXPECT_EQ(app->exitCode(), 0);
    EXPECT_FALSE(Gui::isOpen("start"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(platform::gbkToUtf8(driver.messageBoxes()[0].text),
              "数据库服务器连接失败！请检查服务器 " + config.serverName() + " 是否开启！");
    EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
}

TEST_F(RoomTest, TheBankAndCorrectionWindowsChangeTheServersRows)
{
    makeBankFile(file("load.db"), plainRows(2));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), config)) << copier.lastErrorText();
    writeProfile();
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "739264");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));

    // A title ending in a backslash would end its literal early under the
    // server's default escapes.
    const std::string title = "\x81\x5C" + GBK("新题") + "C:\\";
    const std::string onScreen = app->state().currentId;
    bool ran = false;
    driver.setModalHook([&](const std::string& window) {
        if (window != "bank")
            return;
        ran = true;
        Gui::setText("bank", "标题编辑框", title);
        Gui::setText("bank", "内容编辑框", "x\\\r\ny'");
        GuiDriver::selectComboItem("bank", "组合框1", 0);
        GuiDriver::click("bank", "B");
        GuiDriver::click("bank", "添加");
        GuiDriver::clickGridCell("bank", "题库表", onScreen == "1" ? 2 : 1, 1);
        driver.answerNext(MessageBoxResult::Yes);
        GuiDriver::click("bank", "删除");
        GuiDriver::clickCloseBox("bank");
    });
    ASSERT_TRUE(GuiDriver::click("exam", "题库管理按钮"));
    ASSERT_TRUE(ran);
    driver.clearMessageBoxes();

    driver.setModalHook([&](const std::string& window) {
        Gui::setText(window, "标题编辑框", GBK("改正\\"));
        GuiDriver::click(window, "修改");
    });
    ASSERT_TRUE(GuiDriver::click("exam", "纠错按钮"));
    EXPECT_TRUE(driver.messageBoxes().empty()) << app->state().connection.lastErrorText();

    const std::vector<RoomRow> rows = serverRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, onScreen);
    EXPECT_EQ(rows[0].title, GBK("改正\\"));
    EXPECT_EQ(rows[1], (RoomRow{"3", title, "x\\|y'|||", "B", "2"}));
}

TEST_F(RoomTest, TheCopyCarriesTheCategoriesAndABankWithoutThemLeavesNone)
{
    makeBankFile(file("tk.db"), awkwardRows());
    const Database::Rows categories = {{std::string("3"), GBK("安全'生产\\")}, {std::string("9"), GBK("综合常识")}};
    {
        Database bank;
        ASSERT_TRUE(bank.open(ConnectOptions::sqlite(file("tk.db"), false))) << bank.lastErrorText();
        QuestionBank questions(bank);
        ASSERT_TRUE(questions.replaceCategories(categories, true)) << questions.lastErrorText();
    }
    auto categoriesAt = [](const ConnectOptions& options) -> std::optional<Database::Rows> {
        Database database;
        Database::Rows rows;
        if (!database.open(options) || !database.query(QuestionBank::categoryCopyQuery(), rows))
            return std::nullopt;
        return rows;
    };
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("tk.db"), config)) << copier.lastErrorText();
    EXPECT_EQ(categoriesAt(config.connectOptions()), categories);
    ASSERT_TRUE(copier.fromServer(config, file("back.db"))) << copier.lastErrorText();
    EXPECT_EQ(categoriesAt(ConnectOptions::sqlite(file("back.db"), false)), categories);

    makeBankFile(file("plain.db"), awkwardRows());
    ASSERT_TRUE(copier.toServer(file("plain.db"), config)) << copier.lastErrorText();
    EXPECT_EQ(categoriesAt(config.connectOptions()), std::nullopt);
    ASSERT_TRUE(copier.fromServer(config, file("back.db"))) << copier.lastErrorText();
    EXPECT_EQ(categoriesAt(ConnectOptions::sqlite(file("back.db"), false)), std::nullopt);
    EXPECT_EQ(fileRows(file("back.db")), awkwardRows());
}
