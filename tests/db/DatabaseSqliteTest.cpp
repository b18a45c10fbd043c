#include "DatabaseFixture.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "database-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path native(const std::string& utf8Name) const { return path_ / utf8Name; }
    std::string gbk(const std::string& utf8Name) const { return platform::utf8ToGbk(native(utf8Name).string()); }

private:
    std::filesystem::path path_;
};

// A file whose name is Chinese, as the program's own are.
class SqliteDatabaseBackend : public DatabaseBackend {
public:
    ConnectOptions options() override { return ConnectOptions::sqlite(folder_.gbk("题库.db")); }

private:
    ScratchFolder folder_;
};

const DatabaseBackendParam sqliteBackend{"Sqlite",
                                         [] { return std::unique_ptr<DatabaseBackend>(new SqliteDatabaseBackend); }};

} // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, DatabaseTest, ::testing::Values(sqliteBackend), databaseBackendName);

TEST(DatabaseSqlite, OpenNamesWhyAFileCannotBeUsed)
{
    ScratchFolder folder;
    Database db;
    EXPECT_FALSE(db.open(ConnectOptions::sqlite(folder.gbk("missing.db"), false)));
    EXPECT_EQ(db.openFailure(), Database::OpenFailure::NoDatabase);
    EXPECT_FALSE(std::filesystem::exists(folder.native("missing.db")));

    std::ofstream(folder.native("text.db")) << std::string(4096, 'x');
    EXPECT_FALSE(db.open(ConnectOptions::sqlite(folder.gbk("text.db"))));
    EXPECT_EQ(db.openFailure(), Database::OpenFailure::NotADatabase);
    EXPECT_NE(db.lastErrorText(), "");

    ConnectOptions locked = ConnectOptions::sqlite(folder.gbk("new.db"));
    locked.password = "secret";
    EXPECT_FALSE(db.open(locked));
    EXPECT_EQ(db.openFailure(), Database::OpenFailure::BadOptions);

    ConnectOptions journal = ConnectOptions::sqlite(folder.gbk("new.db"));
    journal.sessionStatements = {"PRAGMA journal_mode=WAL"};
    journal.busyTimeoutMs = 2000;
    ASSERT_TRUE(db.open(journal)) << db.lastErrorText();
    EXPECT_EQ(db.openFailure(), Database::OpenFailure::None);
    Database::Rows rows;
    ASSERT_TRUE(db.query("PRAGMA journal_mode", rows));
    EXPECT_EQ(rows.at(0).at(0), "wal");
}

// Only the first statement of a text would run; the rest would be lost unseen.
TEST(DatabaseSqlite, PrepareRefusesASecondStatement)
{
    ScratchFolder folder;
    Database db;
    ASSERT_TRUE(db.open(ConnectOptions::sqlite(folder.gbk("a.db"))));
    EXPECT_FALSE(db.prepare("CREATE TABLE A (x); DROP TABLE A").isValid());
    EXPECT_TRUE(db.prepare("CREATE TABLE A (x); ").run());
    EXPECT_TRUE(db.execute("INSERT INTO A VALUES (1); INSERT INTO A VALUES (2)"));
}
