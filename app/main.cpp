#include "app/Application.h"
#include "app/StatisticsBridge.h"
#include "exam/AppState.h"
#include "exchange/ExchangeWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApplication(argc, argv);
    Application application;
    BankWindow::setExchangeActions(
        ExchangeWindow::bankActions([&application] { return application.state().filePath("tk.db"); }));
    BankWindow::setStatisticsAction(StatisticsBridge::bankAction(application.state()));
    if (!application.start())
        return application.exitCode().value_or(0);
    return application.exec();
}
