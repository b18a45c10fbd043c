// Our side of start-to-window: the program's own start-up as its main function
// does it, in the run folder given, linked as the program is (only the app
// library), so that it loads at start what the program loads and no more.

#include "app/Application.h"
#include "bench/BenchApplication.h"

#include <QApplication>

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    QApplication qt(argc, argv);
    Application application(Application::Options{.runDirectory = std::string(argv[1])});
    if (!application.start() || !reportWhenWindowReady())
        return 1;
    std::_Exit(0);
}
