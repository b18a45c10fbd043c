#include "exchange/BankImporter.h"

#include "exchange/ExchangeTestSupport.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <gtest/gtest.h>

namespace {

// Rows are written by the batch: a failure in the middle of a long file names
// its own row, and the rows checked before and after it are not kept.
TEST(BankImporter, FailureDeepInALongFileNamesItsRowAndKeepsNothing)
{
    ScratchBank bank;
    std::string csv = "题目,选项A,选项B,答案\n";
    for (int i = 0; i < 1000; ++i)
        csv += "题" + std::to_string(i) + ",a,b,A\n";
    writeText(bank.file("long.csv"), csv);
    bank.run(
        "CREATE TRIGGER refuse BEFORE INSERT ON KS_SJTK WHEN NEW.Title = '题700' BEGIN SELECT RAISE(ABORT, 'no'); END");
    const ImportReport failed = BankImporter(bank.bank).run(bank.file("long.csv"), {});
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(platform::gbkToUtf8(failed.error).find("第702行"), std::string::npos)
        << platform::gbkToUtf8(failed.error);
    EXPECT_EQ(failed.checked.questionsRead, 1000u);
    EXPECT_TRUE(bank.rows().empty());

    bank.run("DROP TRIGGER refuse");
    const ImportReport done = BankImporter(bank.bank).run(bank.file("long.csv"), {});
    ASSERT_TRUE(done.ok);
    const std::vector<ScratchBank::Row> rows = bank.rows();
    ASSERT_EQ(rows.size(), 1000u);
    EXPECT_EQ(rows[999], (ScratchBank::Row{"题999", "a|b|||", "A", "2"}));
}

} // namespace

// Another program's writes: one committed before the import is a duplicate
// the import sees; one tried while the import checks must wait for its end,
// so it cannot slip between the check and the write.
TEST(BankImporter, TheCheckSeesEarlierWritesAndHoldsOffLaterOnes)
{
    ScratchBank bank;
    bank.run("INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('别处加的题', 'a|b|||', 'A', '2')");
    std::string csv = "题目,选项A,选项B,答案\n别处加的题,a,b,A\n";
    for (int i = 0; i < 1500; ++i)
        csv += "题" + std::to_string(i) + ",a,b,A\n";
    writeText(bank.file("many.csv"), csv);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(bank.path.c_str(), &other), SQLITE_OK);
    int refused = -1;
    const ImportReport report = BankImporter(bank.bank).run(bank.file("many.csv"), {}, [&](std::size_t, std::size_t) {
        if (refused < 0)
            refused = sqlite3_exec(other, "INSERT INTO KS_SJTK (Title) VALUES ('题1499')", nullptr, nullptr, nullptr);
    });
    sqlite3_close(other);
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    EXPECT_EQ(refused, SQLITE_BUSY);
    ASSERT_EQ(report.checked.problems.size(), 1u);
    EXPECT_EQ(report.checked.problems[0].line, 2);
    EXPECT_EQ(bank.rows().size(), 1501u);
}

// A copy taken before an import puts back exactly the rows that were there:
// their keys, NULL cells and texts, whatever the import added.
TEST(BankImporter, RestoringTheCopyGivesBackTheRowsAsTheyWere)
{
    ScratchBank bank;
    bank.run("INSERT INTO KS_SJTK VALUES (3, '甲''s \\ 题', 'a|b|||', 'A', '2'), (7, NULL, NULL, 'B', NULL), "
             "(42, '镕 堃', '|||', '', '0')");
    const auto stored = [&bank] {
        std::vector<std::string> rows;
        sqlite3* db = nullptr;
        sqlite3_open(bank.path.c_str(), &db);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT quote(id), quote(Title), quote(Tmnr), quote(Answer), quote(did) FROM KS_SJTK "
                           "ORDER BY id",
                           -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < 5; ++c)
                row += std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, c))) + ";";
            rows.push_back(row);
        }
        sqlite3_finalize(s);
        sqlite3_close(db);
        return rows;
    };
    const std::vector<std::string> before = stored();
    writeText(bank.file("new.csv"), "题目,选项A,选项B,答案\n新题,a,b,A\n");
    const ImportReport report = BankImporter(bank.bank).run(bank.file("new.csv"), {});
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    ASSERT_EQ(stored().size(), 4u);

    std::string savedAs, ignored, error;
    EXPECT_EQ(BankBackup::restore(report.backupPath, bank.bank, {}, savedAs, error), 3) << platform::gbkToUtf8(error);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(BankBackup::restore(bank.file("none.bak"), bank.bank, {}, ignored, error), -1);
    EXPECT_EQ(stored(), before);
    // The restore copied the bank as it found it, so it can be undone.
    EXPECT_EQ(BankBackup::restore(savedAs, bank.bank, {}, savedAs, error), 4) << platform::gbkToUtf8(error);
    EXPECT_EQ(stored().size(), 4u);
    EXPECT_EQ(BankBackup::copies(bank.path).size(), 3u);
}

// A restore gives the rows back with their keys: their categories stay, and
// none is left for a key that no longer exists (a bank file may hand it out again).
TEST(BankBackupTest, ARestoreKeepsTheCategoriesOfTheRowsItPutsBack)
{
    ScratchBank bank;
    bank.run("INSERT INTO KS_SJTK VALUES (3, 't', 'a|b|||', 'A', '2')");
    ASSERT_TRUE(bank.bank.execute(QuestionBank::createCategoryTableStatement(DbKind::Sqlite)));
    ASSERT_TRUE(bank.bank.execute(QuestionBank::setCategoryStatement("3", GBK("安全生产"))));
    writeText(bank.file("new.csv"), "题目,选项A,选项B,答案\n新题,a,b,A\n");
    const ImportReport report = BankImporter(bank.bank).run(bank.file("new.csv"), {});
    ASSERT_TRUE(report.ok) << platform::gbkToUtf8(report.error);
    ASSERT_TRUE(bank.bank.execute(QuestionBank::setCategoryStatement("4", GBK("质量管理"))));

    std::string savedAs, error;
    ASSERT_EQ(BankBackup::restore(report.backupPath, bank.bank, {}, savedAs, error), 1) << platform::gbkToUtf8(error);
    Database::Rows categories;
    ASSERT_TRUE(bank.bank.query(QuestionBank::categoryCopyQuery(), categories));
    EXPECT_EQ(categories, (Database::Rows{{std::string("3"), GBK("安全生产")}}));
}
