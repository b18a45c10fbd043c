// The answer report as a PDF: what poppler reads back from the file, and the
// reasons given (with nothing left behind) when the file cannot be written.

#include "platform/print/HtmlPdfWriter.h"

#include "app/AnswerReport.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "support/PdfText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using platform::FileSystem;
using platform::HtmlPdfWriter;

namespace {

std::string gbk(const char* utf8)
{
    return platform::utf8ToGbk(utf8);
}

class HtmlPdfWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pdf-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    static std::string report()
    {
        Paper paper;
        paper.entry(1) = {gbk("安全帽的作用是什么"), gbk("防护头部|装饰|"), "A", "B"};
        paper.entry(2) = {gbk("电脑的大脑是"), gbk("CPU|内存|"), "A", "A"};
        return AnswerReport::build(paper, 2);
    }

    std::string folder; // ASCII, the same in GBK and UTF-8
};

} // namespace

TEST_F(HtmlPdfWriterTest, TheReportPrintsWithItsChineseTextAndTheHeading)
{
    HtmlPdfWriter writer;
    const std::string path = FileSystem::joinPath(folder, gbk("答卷-110-20260101.pdf"));
    ASSERT_TRUE(writer.write(report(), gbk("身份证号：110105199001011234\r\n得分：1"), path)) << writer.lastErrorText();
    std::string bytes;
    ASSERT_TRUE(FileSystem::readFile(path, bytes));
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_EQ(entries().size(), 1u);

    const std::string text = pdfText(*FileSystem::toSystemPath(path));
    for (const char* piece :
         {"110105199001011234", "得分：1", "编号", "安全帽的作用是什么", "防护头部", "电脑的大脑是"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
}

TEST_F(HtmlPdfWriterTest, BadPlacesAreRefusedWithTheirReasonAndLeaveNoFile)
{
    HtmlPdfWriter writer;
    EXPECT_FALSE(writer.write(report(), {}, folder + "/missing/a.pdf"));
    EXPECT_NE(writer.lastErrorText().find(gbk("不存在")), std::string::npos);

    EXPECT_FALSE(writer.write(report(), {}, folder));
    EXPECT_NE(writer.lastErrorText().find(gbk("是一个文件夹")), std::string::npos);

    EXPECT_FALSE(writer.write(report(), {}, {}));
    EXPECT_FALSE(writer.lastErrorText().empty());
    EXPECT_TRUE(entries().empty());

    // A folder where even the superuser cannot create a file.
    EXPECT_FALSE(writer.write(report(), {}, "/proc/a.pdf"));
    EXPECT_NE(writer.lastErrorText().find(gbk("是否可写")), std::string::npos);
    EXPECT_FALSE(FileSystem::exists("/proc/a.pdf"));
}
