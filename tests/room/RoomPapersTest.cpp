// The paper editor on a PC of an exam room: papers go to the server the
// program has open, once the account that loads banks made their table.

#include "db/Database.h"
#include "papers/PaperBook.h"
#include "room/BankCopier.h"
#include "room/RoomTestSupport.h"

using platform::Gui;
using platform::GuiDriver;

namespace {

class RoomPapersTest : public RoomTest {};

TEST_F(RoomPapersTest, APcStoresPapersOnTheServerOnceTheLoadingAccountMadeTheirTable)
{
    makeBankFile(file("load.db"), plainRows(4));
    BankCopier copier;
    ASSERT_TRUE(copier.toServer(file("load.db"), loadAccount())) << platform::gbkToUtf8(copier.lastErrorText());
    // A server loaded before the bank copy made the papers' table.
    ASSERT_TRUE(admin.execute("DROP TABLE " + config.database + "." + PaperBook::table));
    const RoomConfig load = loadAccount();
    Database loader;
    ASSERT_TRUE(loader.open(ConnectOptions::mysql(load.host, load.port, load.database, load.user, load.password)))
        << loader.lastErrorText();

    writeProfile(pcAccount());
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    GuiDriver::type("start", "身份证编辑框", "739264");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    std::string held;
    driver.setModalHook([&](const std::string& window) {
        if (window == "bank") {
            GuiDriver::click("bank", "试卷");
            return;
        }
        held = Gui::gridText(window, "题量表", 1, 4);
        Gui::setText(window, "名称编辑框", GBK("周测"));
        Gui::setText(window, "规则题数", "3");
        GuiDriver::click(window, "添加要求");
        GuiDriver::click(window, "保存");
        ASSERT_TRUE(PaperBook(loader).createTable());
        GuiDriver::click(window, "保存");
    });
    driver.clearMessageBoxes();
    ASSERT_TRUE(GuiDriver::click("exam", "题库管理按钮"));

    EXPECT_EQ(held, "4");
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_TRUE(platform::gbkToUtf8(driver.messageBoxes()[0].text)
                    .starts_with("试卷没有保存：题库中还没有试卷表 KS_SJDY，也无法建立它！\n"))
        << platform::gbkToUtf8(driver.messageBoxes()[0].text);
    const std::optional<PaperDefinition> stored = PaperBook(loader).find(GBK("周测"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->questionCount(), 3);
}

} // namespace
