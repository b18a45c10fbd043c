#include "platform/ModuleTable.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

// As the probe module lays out its table.
struct ProbeTable {
    std::size_t size;
    int (*answer)();
};

// What a newer program would expect from a module of an older build.
struct GrownTable {
    std::size_t size;
    int (*answer)();
    int (*added)();
};

} // namespace

TEST(ModuleTableTest, HandsOutTheTableOfAModuleOfTheSameBuild)
{
    const platform::ModuleTable<ProbeTable> table("probe", "mockexam_probe_table");
    EXPECT_TRUE(table.lastErrorText().empty());
    const ProbeTable* probe = table.get();
    ASSERT_NE(probe, nullptr) << table.lastErrorText();
    EXPECT_EQ(probe->answer(), 42);
    EXPECT_EQ(table.get(), probe);
    EXPECT_TRUE(table.lastErrorText().empty());
}

TEST(ModuleTableTest, RefusesAModuleOfAnotherBuildAndAMissingOne)
{
    const platform::ModuleTable<GrownTable> stale("probe", "mockexam_probe_table");
    EXPECT_EQ(stale.get(), nullptr);
    EXPECT_NE(stale.lastErrorText().find(GBK("与程序的版本不符")), std::string::npos);

    const platform::ModuleTable<ProbeTable> missing("no-such-module", "mockexam_probe_table");
    EXPECT_EQ(missing.get(), nullptr);
    EXPECT_NE(missing.lastErrorText().find("mockexam-no-such-module.so"), std::string::npos);
}
