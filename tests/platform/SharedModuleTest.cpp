#include "platform/SharedModule.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using platform::SharedModule;

TEST(SharedModuleTest, LoadsAModuleBesideTheProgramAndFindsItsFunctions)
{
    SharedModule probe("probe");
    ASSERT_TRUE(probe.loaded()) << probe.lastErrorText();
    auto* answer = probe.function<int()>("mockexam_probe_answer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_TRUE(probe.lastErrorText().empty());

    EXPECT_EQ(probe.symbol("mockexam_probe_missing"), nullptr);
    EXPECT_NE(probe.lastErrorText().find(GBK("与程序的版本不符")), std::string::npos);

    SharedModule moved = std::move(probe);
    EXPECT_TRUE(moved.loaded());
    EXPECT_EQ(moved.function<int()>("mockexam_probe_answer")(), 42);
}

TEST(SharedModuleTest, AMissingModuleIsNamedInTheMessage)
{
    SharedModule missing("no-such-module");
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(missing.symbol("anything"), nullptr);
    EXPECT_NE(missing.lastErrorText().find("mockexam-no-such-module.so"), std::string::npos);
    EXPECT_NE(missing.lastErrorText().find(GBK("请重新安装本程序")), std::string::npos);
}
