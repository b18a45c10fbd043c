#include "attempts/ReportPdf.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/gui/Gui.h"
#include "platform/print/HtmlPdfWriter.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

using platform::Gui;

namespace {

bool endsWithPdf(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".pdf";
}

} // namespace

std::string ReportPdf::fileName(const std::string& candidateId, const std::string& date)
{
    // Whole characters at a time: a GBK trail byte may look like '\\' or '|'.
    static constexpr std::string_view unfit = "/\\:*?\"<>|";
    std::string id;
    for (std::size_t i = 0; i < candidateId.size();) {
        const std::size_t length = platform::gbkCharLength(candidateId, i);
        const char c = candidateId[i];
        if (length == 1 && (unfit.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20))
            id += '_';
        else
            id.append(candidateId, i, length);
        i += length;
    }
    return GBK("答卷-") + id + "-" + date + ".pdf";
}

std::string ReportPdf::dateOf(const std::string& time)
{
    std::string digits;
    for (char c : time.substr(0, 10))
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
    return digits;
}

std::string ReportPdf::heading(const std::string& kind, const std::string& candidateId, const std::string& seatNumber,
                               const std::string& handedInAt, const std::string& score)
{
    return kind + GBK("答卷　身份证号：") + candidateId + GBK("　座位号：") + seatNumber + GBK("\r\n交卷时间：") +
           handedInAt + GBK("　得分：") + score;
}

bool ReportPdf::save(const std::string& window, const std::string& html, const std::string& heading,
                     const std::string& suggestedPath)
{
    std::optional<std::string> path =
        Gui::saveFileName(window, GBK("答卷保存为PDF"), suggestedPath, GBK("PDF 文件 (*.pdf)"));
    if (!path)
        return false;
    if (path->empty()) {
        Gui::failure(GBK("这个文件名中有程序不能使用的字符，请换一个文件名。"));
        return false;
    }
    if (!endsWithPdf(*path))
        *path += ".pdf";
    if (platform::FileSystem::exists(*path) && !platform::FileSystem::isDirectory(*path) &&
        Gui::messageBox(GBK("文件“") + *path + GBK("”已经存在，要用这份答卷替换它吗？"), GBK("信息："),
                        platform::MessageBoxIcon::Information,
                        platform::MessageBoxButtons::YesNo) != platform::MessageBoxResult::Yes)
        return false;
    platform::HtmlPdfWriter writer;
    if (!writer.write(html, heading, *path)) {
        Gui::failure(GBK("答卷没有保存为PDF：") + writer.lastErrorText());
        return false;
    }
    Gui::notice(GBK("答卷已保存为PDF：\r\n") + *path);
    return true;
}
