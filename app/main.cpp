#include "app/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApplication(argc, argv);
    Application application;
    if (!application.start())
        return application.exitCode().value_or(0);
    return application.exec();
}
