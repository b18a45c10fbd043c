#pragma once

#include <string>
#include <string_view>

namespace platform {

// Prints an HTML page of the program (GBK bytes, as the report files hold it)
// into a PDF file on A4 pages, with the fonts the system has. Needs a running
// QGuiApplication; no widgets. The file takes its place only when complete:
// a failure leaves an earlier file of that name as it was and nothing new.
class HtmlPdfWriter {
public:
    // heading: plain text (GBK, lines apart by CR LF) printed in bold above
    // the page, for what the page itself does not say (whose it is, when).
    // path: GBK like every path of the program. False with the reason, in the
    // program's words, in lastErrorText.
    bool write(std::string_view html, std::string_view heading, std::string_view path);
    const std::string& lastErrorText() const { return lastError_; }

    // The PDF of the page, in memory; empty when it cannot be printed.
    static std::string render(std::string_view html, std::string_view heading);

private:
    bool fail(std::string reason);

    std::string lastError_;
};

} // namespace platform
