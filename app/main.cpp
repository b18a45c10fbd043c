#include "app/Application.h"
#include "app/ProgramPaths.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Decided before Qt starts, so that --paths needs no display.
    ProgramPaths paths = ProgramPaths::decide(ProgramPaths::Inputs::ofThisProcess());
    if (ProgramPaths::asked(argc, argv)) {
        std::fputs(paths.describe().c_str(), stdout);
        return 0;
    }
    paths.prepare();

    Application::Options options;
    if (!paths.runDirectory().empty())
        options.runDirectory = paths.runDirectory();
    options.filesProblem = paths.problem();
    QApplication qtApplication(argc, argv);
    Application application(std::move(options));
    if (!application.start())
        return application.exitCode().value_or(0);
    return application.exec();
}
