#include "exchange/BankImporter.h"

#include "exchange/ExchangeTestSupport.h"
#include "platform/CodePage.h"

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
    const ImportReport failed = BankImporter(bank.bank.handle(), bank.path).run(bank.file("long.csv"), {});
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(platform::gbkToUtf8(failed.error).find("第702行"), std::string::npos)
        << platform::gbkToUtf8(failed.error);
    EXPECT_EQ(failed.checked.questionsRead, 1000u);
    EXPECT_TRUE(bank.rows().empty());

    bank.run("DROP TRIGGER refuse");
    const ImportReport done = BankImporter(bank.bank.handle(), bank.path).run(bank.file("long.csv"), {});
    ASSERT_TRUE(done.ok);
    const std::vector<ScratchBank::Row> rows = bank.rows();
    ASSERT_EQ(rows.size(), 1000u);
    EXPECT_EQ(rows[999], (ScratchBank::Row{"题999", "a|b|||", "A", "2"}));
}

} // namespace
