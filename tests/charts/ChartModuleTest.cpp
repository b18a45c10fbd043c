#include "charts/ChartModule.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool mapped(const std::string& library)
{
    return fileText("/proc/self/maps").find(library) != std::string::npos;
}

} // namespace

// Each case runs in a process of its own, so nothing has drawn before it.
TEST(ChartModuleTest, QtChartsLoadsWithTheFirstChartAndTheChartsAreWritten)
{
    EXPECT_FALSE(mapped("mockexam-charts.so"));
    EXPECT_FALSE(mapped("libQt6Charts"));

    const ChartDrawing* drawing = ChartModule::drawing();
    ASSERT_NE(drawing, nullptr) << ChartModule::lastErrorText();
    EXPECT_TRUE(mapped("mockexam-charts.so"));
    EXPECT_TRUE(mapped("libQt6Charts"));
    EXPECT_EQ(ChartModule::failureText("otherwise"), "otherwise");

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("chart-module-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto draw = [&](const std::string& name, auto&& write) {
        const std::string picture = (folder / (name + ".png")).string();
        const std::string page = (folder / (name + ".htm")).string();
        ASSERT_TRUE(write(picture, page)) << name;
        EXPECT_EQ(fileText(picture).substr(1, 3), "PNG") << name;
        EXPECT_NE(fileText(page).find("<img src=\"" + name + ".png\">"), std::string::npos) << name;
    };
    draw("curve", [&](const std::string& picture, const std::string& page) {
        return drawing->scoreCurve({{"2024-03-01 09:00:00", 80}, {"2024-03-02 10:30:00", 95}}, picture, page, 400, 300);
    });
    draw("bars", [&](const std::string& picture, const std::string& page) {
        return drawing->categoryBars({{GBK("第一章"), 75}, {GBK("未分类"), 40}}, picture, page, 400, 300);
    });
    draw("histogram", [&](const std::string& picture, const std::string& page) {
        return drawing->scoreHistogram({0, 0, 0, 0, 0, 1, 2, 0, 3, 1}, 7, GBK("得分"), picture, page, 400, 300);
    });
    draw("facility", [&](const std::string& picture, const std::string& page) {
        return drawing->facilityScatter({{0.5, false}, {0.9, true}}, picture, page, 400, 300);
    });
    // A folder that is not there leaves nothing half written and says so.
    EXPECT_FALSE(drawing->scoreCurve({}, (folder / "none" / "c.png").string(), (folder / "c.htm").string(), 400, 300));
    EXPECT_FALSE(std::filesystem::exists(folder / "c.htm"));
    std::filesystem::remove_all(folder);
}
