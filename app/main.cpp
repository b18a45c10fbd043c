#include "app/Application.h"
#include "app/StatisticsBridge.h"
#include "db/BackendRegistry.h"
#include "exam/AppState.h"
#include "exchange/ExchangeWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApplication(argc, argv);
    Application application;
    BankWindow::setExchangeActions(ExchangeWindow::bankActions(
        []() -> Database* {
            BackendRegistry* registry = BackendRegistry::instance();
            if (registry == nullptr)
                return nullptr;
            return registry->kind() == DbKind::Mysql ? &registry->mysqlDatabase() : &registry->sqliteDatabase();
        },
        [&application] { return application.state().runDirectory; }));
    BankWindow::setStatisticsAction(StatisticsBridge::bankAction(application.state()));
    if (!application.start())
        return application.exitCode().value_or(0);
    return application.exec();
}
