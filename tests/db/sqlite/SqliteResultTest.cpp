#include "db/sqlite/SqliteResult.h"

#include "db/sqlite/SqliteText.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>

namespace {

class SqliteResultTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK); }
    void TearDown() override { sqlite3_close_v2(db); }

    sqlite3_stmt* prepare(const char* sql)
    {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        return statement;
    }

    sqlite3* db = nullptr;
};

} // namespace

TEST_F(SqliteResultTest, ConvertsEveryValueAsTheColumnReadersDo)
{
    const char* sql = "SELECT 42, -9223372036854775808, 9876543210123, 2.5, 0.1, 1e300, -0.0, 3.0, 1.0/3, "
                      "CAST(7 AS REAL), '12abc', ' -5 ', '1e3', '0x10', '9999999999999999999999', '2.5e-3x', "
                      "'', x'', x'3132', x'00ff', NULL, '中文', 'TRUE', '   ', '-', '+7', char(0) || 'a'";
    sqlite3_stmt* probe = prepare(sql);
    const int columns = sqlite3_column_count(probe);
    sqlite3_finalize(probe);

    SqliteResult result(prepare(sql));
    ASSERT_EQ(result.run(), SQLITE_DONE);
    ASSERT_EQ(result.rowCount(), 1);
    ASSERT_EQ(result.columnCount(), columns);

    for (int i = 0; i < columns; ++i) {
        // Each reader on a freshly stepped statement, so that none sees
        // another's conversion.
        auto live = [&](auto read) {
            sqlite3_stmt* statement = prepare(sql);
            EXPECT_EQ(sqlite3_step(statement), SQLITE_ROW);
            auto value = read(statement);
            sqlite3_finalize(statement);
            return value;
        };
        const std::string text = live([&](sqlite3_stmt* s) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
            return fromUtf8(t, static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
        });
        const ByteArray bytes = live([&](sqlite3_stmt* s) {
            const auto* b = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, i));
            const int n = sqlite3_column_bytes(s, i);
            return b && n > 0 ? ByteArray(b, b + n) : ByteArray();
        });
        EXPECT_EQ(result.text(0, i), text) << "column " << i;
        EXPECT_EQ(result.integer(0, i), live([&](sqlite3_stmt* s) { return sqlite3_column_int64(s, i); }))
            << "column " << i;
        EXPECT_EQ(static_cast<int>(result.integer(0, i)),
                  live([&](sqlite3_stmt* s) { return sqlite3_column_int(s, i); }))
            << "column " << i;
        const double real = live([&](sqlite3_stmt* s) { return sqlite3_column_double(s, i); });
        const double ours = result.real(0, i);
        EXPECT_EQ(std::memcmp(&ours, &real, sizeof real), 0) << "column " << i << ": " << ours << " vs " << real;
        EXPECT_EQ(result.bytes(0, i), bytes) << "column " << i;
        EXPECT_EQ(result.byteCount(0, i), live([&](sqlite3_stmt* s) { return sqlite3_column_bytes(s, i); }))
            << "column " << i;
    }
}

TEST_F(SqliteResultTest, KeepsRowsRowMajorAndAnswersNullOutsideThem)
{
    SqliteResult result(prepare("WITH n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                "SELECT i AS a, printf('%0500d', i) AS b FROM n"));
    ASSERT_EQ(result.run(), SQLITE_DONE);
    ASSERT_EQ(result.rowCount(), 3000);
    EXPECT_EQ(result.columnName(1), "b");
    EXPECT_EQ(result.columnName(2), "");
    EXPECT_EQ(result.columnIndex("b"), 1);
    EXPECT_EQ(result.columnIndex("B"), -1);
    // Enough text to fill several storage blocks: every value stays intact.
    for (int row = 0; row < 3000; row += 7) {
        ASSERT_EQ(result.integer(row, 0), row + 1);
        ASSERT_EQ(result.text(row, 1),
                  std::string(500 - std::to_string(row + 1).size(), '0') + std::to_string(row + 1));
    }
    EXPECT_EQ(result.text(3000, 0), "");
    EXPECT_EQ(result.integer(-1, 0), 0);
    EXPECT_EQ(result.byteCount(0, 5), 0);
}

TEST_F(SqliteResultTest, LargeValuesSurviveBetweenSmallOnes)
{
    SqliteResult result(prepare("SELECT 'small', zeroblob(3000000), 'after' UNION ALL SELECT 'next', x'01', 'end'"));
    ASSERT_EQ(result.run(), SQLITE_DONE);
    EXPECT_EQ(result.text(0, 0), "small");
    EXPECT_EQ(result.byteCount(0, 1), 3000000);
    EXPECT_EQ(result.bytes(0, 1), ByteArray(3000000, 0));
    EXPECT_EQ(result.text(0, 2), "after");
    EXPECT_EQ(result.text(1, 2), "end");
}

TEST_F(SqliteResultTest, AFailingStepKeepsNoRows)
{
    SqliteResult result(prepare("WITH n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5) "
                                "SELECT CASE WHEN i = 3 THEN abs(-9223372036854775808) ELSE i END FROM n"));
    EXPECT_EQ(result.run(), SQLITE_ERROR);
    EXPECT_EQ(result.rowCount(), 0);
    EXPECT_STREQ(sqlite3_errmsg(db), "integer overflow");
}

TEST_F(SqliteResultTest, KeepsNullsEmptyValuesAndTenMegabyteValuesApart)
{
    SqliteResult result(prepare("SELECT NULL, '', x'', 7, NULL UNION ALL "
                                "SELECT zeroblob(10485760), NULL, '', x'', printf('%.*c', 10485760, 'z')"));
    ASSERT_EQ(result.run(), SQLITE_DONE);
    ASSERT_EQ(result.rowCount(), 2);
    for (int column : {0, 4}) {
        EXPECT_EQ(result.text(0, column), "");
        EXPECT_EQ(result.bytes(0, column), ByteArray());
        EXPECT_EQ(result.byteCount(0, column), 0);
        EXPECT_EQ(result.real(0, column), 0.0);
    }
    for (auto [row, column] : {std::pair{0, 1}, {0, 2}, {1, 2}, {1, 3}}) {
        EXPECT_EQ(result.text(row, column), "");
        EXPECT_EQ(result.byteCount(row, column), 0);
        EXPECT_EQ(result.integer(row, column), 0);
    }
    EXPECT_EQ(result.integer(0, 3), 7);
    EXPECT_EQ(result.bytes(1, 0), ByteArray(10485760, 0));
    EXPECT_EQ(result.text(1, 1), "");
    EXPECT_EQ(result.text(1, 4), std::string(10485760, 'z'));
}

TEST_F(SqliteResultTest, AResultOfNoRowsKnowsItsColumns)
{
    SqliteResult result(prepare("SELECT 1 AS a, 'x' AS b WHERE 0"));
    ASSERT_EQ(result.run(), SQLITE_DONE);
    EXPECT_EQ(result.rowCount(), 0);
    EXPECT_EQ(result.columnCount(), 2);
    EXPECT_EQ(result.columnIndex("b"), 1);
    EXPECT_EQ(result.text(0, 0), "");
    EXPECT_EQ(result.integer(0, 0), 0);
}
