#include "tests/db/mysql/MysqlTestServer.h"

#include "papers/PaperBook.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A room's database with the README's two accounts: the PCs' (rows only)
// and the one that loads banks (it may also create tables).
class PaperBookRoomTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MysqlTestServer::shared().connect(admin)) << admin.lastErrorText();
        name = "papers" + std::to_string(getpid());
        ASSERT_TRUE(admin.execute("CREATE DATABASE " + name + " CHARACTER SET gbk")) << admin.lastErrorText();
        grant("pc_" + name, "SELECT, INSERT, UPDATE, DELETE");
        grant("load_" + name, "SELECT, INSERT, UPDATE, DELETE, CREATE, DROP, INDEX");
    }

    void TearDown() override
    {
        for (const std::string& account : accounts)
            admin.execute("DROP USER IF EXISTS " + account);
        admin.execute("DROP DATABASE " + name);
    }

    void grant(const std::string& user, const std::string& grants)
    {
        for (const char* host : {"127.0.0.1", "localhost"}) {
            const std::string account = "'" + user + "'@'" + host + "'";
            ASSERT_TRUE(admin.execute("CREATE USER " + account + " IDENTIFIED BY 'secret'")) << admin.lastErrorText();
            ASSERT_TRUE(admin.execute("GRANT " + grants + " ON " + name + ".* TO " + account));
            accounts.push_back(account);
        }
    }

    void open(Database& db, const std::string& role)
    {
        const MysqlTestServer& server = MysqlTestServer::shared();
        ASSERT_TRUE(db.open(ConnectOptions::mysql(server.host, server.port, name, role + "_" + name, "secret")))
            << db.lastErrorText();
    }

    MysqlConnection admin;
    std::string name;
    std::vector<std::string> accounts;
};

} // namespace

TEST_F(PaperBookRoomTest, PapersSavedOnOnePcOfTheRoomReadTheSameOnAnother)
{
    PaperDefinition exam;
    exam.name = "Exam";
    exam.rules = {{GBK("安全生产"), QuestionKind::Multiple, 10}};
    exam.mode = PaperDefinition::Mode::Exam;

    Database firstPc, secondPc, loader;
    open(firstPc, "pc");
    open(secondPc, "pc");
    PaperBook first(firstPc), second(secondPc);
    EXPECT_FALSE(first.save(exam));
    EXPECT_TRUE(platform::gbkToUtf8(first.lastErrorText()).starts_with("题库中还没有试卷表 KS_SJDY，也无法建立它！\n"))
        << platform::gbkToUtf8(first.lastErrorText());

    open(loader, "load");
    ASSERT_TRUE(PaperBook(loader).createTable()) << PaperBook(loader).lastErrorText();
    ASSERT_TRUE(first.save(exam)) << first.lastErrorText();
    const auto read = second.find("Exam");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->rules[0].category, GBK("安全生产"));
    EXPECT_EQ(read->mode, PaperDefinition::Mode::Exam);

    // The server takes "exam" for "Exam": saving it would overwrite the other paper.
    PaperDefinition lower = exam;
    lower.name = "exam";
    EXPECT_FALSE(second.save(lower));
    EXPECT_EQ(platform::gbkToUtf8(second.lastErrorText()), "已有名为“Exam”的试卷，请换一个名称。");
    EXPECT_FALSE(second.find("exam"));
    ASSERT_TRUE(second.save(lower, "Exam")) << second.lastErrorText();
    std::vector<PaperDefinition> papers;
    ASSERT_TRUE(first.list(papers));
    ASSERT_EQ(papers.size(), 1u);
    EXPECT_EQ(papers[0].name, "exam");
}
