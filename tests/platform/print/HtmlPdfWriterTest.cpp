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
using platform::utf8ToGbk;

TEST(HtmlPdfWriterTest, ReportPrintsWithItsChineseTextAndBadPlacesAreRefusedWithoutAFile)
{
    std::string folder = (std::filesystem::temp_directory_path() / "pdf-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr); // ASCII, the same in GBK and UTF-8
    Paper paper;
    paper.entry(1) = {utf8ToGbk("安全帽的作用是什么"), utf8ToGbk("防护头部|装饰|"), "A", "B"};
    const std::string report = AnswerReport::build(paper, 2);

    platform::HtmlPdfWriter writer;
    const std::string path = FileSystem::joinPath(folder, utf8ToGbk("答卷.pdf"));
    ASSERT_TRUE(writer.write(report, utf8ToGbk("身份证号：110105199001011234\r\n得分：0"), path));
    std::string bytes;
    ASSERT_TRUE(FileSystem::readFile(path, bytes));
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    const std::string text = pdfText(*FileSystem::toSystemPath(path));
    for (const char* piece : {"110105199001011234", "得分：0", "编号", "安全帽的作用是什么", "防护头部", "未答"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
    std::filesystem::remove(*FileSystem::toSystemPath(path));

    const std::pair<std::string, const char*> refused[] = {
        {folder + "/missing/a.pdf", "不存在"},
        {folder, "是一个文件夹"},
        {"/proc/a.pdf", "是否可写"}, // even the superuser cannot create a file there
    };
    for (const auto& [target, reason] : refused) {
        EXPECT_FALSE(writer.write(report, {}, target)) << target;
        EXPECT_NE(writer.lastErrorText().find(utf8ToGbk(reason)), std::string::npos) << target;
    }
    EXPECT_FALSE(FileSystem::exists("/proc/a.pdf"));
    EXPECT_TRUE(std::filesystem::is_empty(folder)); // no part file either
    std::filesystem::remove_all(folder);
}
