#include "bench/BenchApplication.h"

#include "bench/Comparison.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <filesystem>
#include <memory>

void ensureBenchApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_mockexam";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> application = std::make_unique<QApplication>(argc, argv);
}

bool reportWhenWindowReady()
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->windowHandle() && widget->windowHandle()->isExposed()) {
                std::puts("ready");
                std::fflush(stdout);
                return true;
            }
        }
    }
    return false;
}

bool copySampleRun(const std::string& dir)
{
    namespace fs = std::filesystem;
    const fs::path here = fs::path(benchProgram()).parent_path();
    std::error_code error;
    fs::create_directories(dir, error);
    for (const char* name : {"tk.db", "i.ini"}) {
        fs::copy_file(here / name, fs::path(dir) / name, fs::copy_options::overwrite_existing, error);
        if (error)
            return false;
    }
    return true;
}
