#include "exchange/BankCommand.h"
#include "exchange/BankBackup.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include "exchange/ExchangeTestSupport.h"

#include <gtest/gtest.h>

namespace {

int run(const std::vector<std::string>& args, const ScratchBank& bank, std::string* output = nullptr)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = BankCommand::run(args, bank.path, out, err);
    if (output != nullptr) {
        std::rewind(out);
        char buffer[4096];
        output->assign(buffer, std::fread(buffer, 1, sizeof buffer, out));
    }
    std::fclose(out);
    std::fclose(err);
    return code;
}

TEST(BankCommand, ExitCodesTellScriptsWhatHappened)
{
    ScratchBank bank;
    writeText(bank.file("in.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n\n坏题\nA. 1\nANSWER: C\n");
    std::string output;
    EXPECT_EQ(run({"import", bank.file("in.txt"), "--dry-run"}, bank, &output), BankCommand::ProblemsFound);
    EXPECT_NE(output.find(bank.file("in.txt") + ":6: "), std::string::npos) << output;
    EXPECT_TRUE(bank.rows().empty());
    EXPECT_EQ(run({"import", bank.file("in.txt"), "--strict"}, bank), BankCommand::ProblemsFound);
    EXPECT_TRUE(bank.rows().empty());
    EXPECT_EQ(run({"import", bank.file("in.txt")}, bank), BankCommand::ProblemsFound);
    EXPECT_EQ(bank.rows().size(), 1u);

    EXPECT_EQ(run({"export", bank.file("out.gift")}, bank), BankCommand::Success);
    EXPECT_EQ(run({"template", bank.file("t.xlsx")}, bank), BankCommand::Success);
    EXPECT_EQ(run({"import", bank.file("t.xlsx")}, bank), BankCommand::Success);
    EXPECT_EQ(bank.rows().size(), 2u);

    EXPECT_EQ(run({"import"}, bank), BankCommand::UsageError);
    EXPECT_EQ(run({"import", bank.file("x.doc")}, bank), BankCommand::UsageError);
    EXPECT_EQ(run({"import", bank.file("missing.csv")}, bank), BankCommand::Failure);
    EXPECT_EQ(run({"--bank", bank.file("none.db"), "export", bank.file("o.csv")}, bank), BankCommand::Failure);
}

// The tool names the bank it worked on, and puts a copy back on request.
TEST(BankCommand, SaysWhichBankItWroteAndRestoresACopy)
{
    ScratchBank bank;
    writeText(bank.file("in.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n");
    std::string output;
    ASSERT_EQ(run({"import", bank.file("in.txt")}, bank, &output), BankCommand::Success);
    EXPECT_NE(output.find("题库：本机文件" + bank.path), std::string::npos) << output;
    ASSERT_EQ(BankBackup::copies(bank.path).size(), 1u);
    EXPECT_EQ(bank.rows().size(), 1u);

    ASSERT_EQ(run({"restore", BankBackup::copies(bank.path)[0]}, bank, &output), BankCommand::Success);
    EXPECT_NE(output.find("已从备份恢复0道题"), std::string::npos) << output;
    EXPECT_TRUE(bank.rows().empty());
    EXPECT_EQ(run({"restore", bank.file("in.txt")}, bank), BankCommand::Failure);
    EXPECT_EQ(run({"--ini", bank.file("none.ini"), "export", bank.file("o.csv")}, bank), BankCommand::Failure);
}

// Aiken has no place for a category, so the command line gives one for the file.
TEST(BankCommand, ACategoryGivenFilesTheQuestionsOfTheFile)
{
    ScratchBank bank;
    writeText(bank.file("in.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n");
    EXPECT_EQ(run({"export", bank.file("o.txt"), "--category", "安全生产"}, bank), BankCommand::UsageError);
    ASSERT_EQ(run({"import", bank.file("in.txt"), "--category", "安全生产"}, bank), BankCommand::Success);
    Database::Rows categories;
    ASSERT_TRUE(bank.bank.query(QuestionBank::categoryCopyQuery(), categories));
    EXPECT_EQ(categories, (Database::Rows{{std::string("1"), GBK("安全生产")}}));

    writeText(bank.file("in.gift"), "$CATEGORY: 安全/第一章\n\n二加二？ {=4 ~5}\n");
    ASSERT_EQ(run({"import", bank.file("in.gift"), "--category-path", "--category", "x"}, bank), BankCommand::Success);
    ASSERT_TRUE(bank.bank.query(QuestionBank::categoryCopyQuery(), categories));
    EXPECT_EQ(categories.back(), (Database::Row{std::string("2"), GBK("安全/第一章")}));
}

} // namespace
