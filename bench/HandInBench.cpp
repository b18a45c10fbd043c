// Handing in a full paper: marking it, writing temp.htm and loading it into
// the exam window's HTML view, against writing the same bytes to a file and
// loading that into a plain QTextBrowser of the same size.

#include "app/Application.h"
#include "app/ExamWindow.h"
#include "bench/BenchApplication.h"
#include "bench/Comparison.h"
#include "bench/SqliteBenchSupport.h"
#include "exam/AppState.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"
#include "platform/gui/HtmlView.h"

#include <QApplication>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using platform::Gui;
using platform::GuiDriver;

namespace {

ComparisonResult notRun(const std::string& note)
{
    ComparisonResult result;
    result.ok = false;
    result.note = note;
    return result;
}

// Text layout runs in slices from the event loop; counting the pages finishes it.
void finishLayout(QTextBrowser& view)
{
    view.document()->pageCount();
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ComparisonResult handIn(const std::string& workDir)
{
    namespace fs = std::filesystem;
    const fs::path runDir = fs::path(workDir) / "hand-in-run";
    const std::string bank = sqliteBenchBank(workDir, 10000);
    std::error_code error;
    if (bank.empty() || !copySampleRun(runDir.string()))
        return notRun("cannot prepare the run folder");
    fs::copy_file(bank, runDir / "tk.db", fs::copy_options::overwrite_existing, error);
    if (error)
        return notRun("cannot copy the question bank");
    ensureBenchApplication();

    GuiDriver driver;
    Application application(Application::Options{.runDirectory = runDir.string()});
    if (!application.start() || !GuiDriver::click("start", "按钮1") || !Gui::isOpen(ExamWindow::windowId))
        return notRun("the exam window did not open");
    Paper& paper = application.state().paper;
    if (paper.entry(Paper::size).title.empty())
        return notRun("the draw did not fill the paper");
    // Every question answered, every other one wrongly.
    for (int k = 1; k <= Paper::size; ++k) {
        PaperEntry& entry = paper.entry(k);
        entry.chosen = k % 2 ? entry.answer : std::string(entry.answer == "A" ? "B" : "A");
    }

    platform::HtmlView* view = nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* found = qobject_cast<platform::HtmlView*>(widget))
            view = found;
    if (view == nullptr)
        return notRun("the exam window has no HTML view");

    const fs::path report = runDir / "temp.htm";
    // A new name each run: the browser does not load the page it shows again.
    int run = 0;
    fs::path plain;
    QTextBrowser browser;
    browser.resize(792, 600);
    browser.show();
    std::string bytes;
    const auto ours = [&] {
        driver.answerNext(platform::MessageBoxResult::Yes);
        application.examWindow().handIn();
        Gui::processEvents();
        finishLayout(*view);
    };
    const auto raw = [&] {
        plain = runDir / ("plain" + std::to_string(++run) + ".htm");
        std::ofstream(plain, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        browser.setSource(QUrl::fromLocalFile(QString::fromStdString(plain.string())));
        Gui::processEvents();
        finishLayout(browser);
    };
    ComparisonResult result;
    for (int i = 0; i < 5; ++i) {
        result.oursMs.push_back(timeMs(ours));
        if (bytes.empty())
            bytes = readFile(report);
        result.rawMs.push_back(timeMs(raw));
    }
    if (bytes.size() < 10000 || readFile(plain) != bytes)
        return notRun("the report was not written");
    return result;
}

ComparisonRegistrar handIn100("hand-in-100", handIn);

} // namespace
