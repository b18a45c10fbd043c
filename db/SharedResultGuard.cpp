#include "db/SharedResultGuard.h"

#include "db/BackendRegistry.h"
#include "db/EventPump.h"
#include "platform/CodePage.h"

namespace {

int guards = 0;

} // namespace

SharedResultGuard::SharedResultGuard()
{
    ++guards;
}

SharedResultGuard::~SharedResultGuard()
{
    --guards;
}

bool SharedResultGuard::held()
{
    return guards > 0;
}

bool SharedResultGuard::refusesRecordsetCall()
{
    if (!held() || !EventPump::handling())
        return false;
    report(GBK("正在导出查询结果，请等导出完成后再查询"));
    return true;
}

bool SharedResultGuard::refusesExport()
{
    if (!held())
        return false;
    report(GBK("正在导出查询结果，请等这次导出完成后再导出"));
    return true;
}

void SharedResultGuard::report(const std::string& message)
{
    BackendRegistry* registry = BackendRegistry::instance();
    if (registry == nullptr)
        return;
    switch (registry->kind()) {
    case DbKind::Sqlite:
        SqliteConnection::reportError(registry->sqliteConnection().handle(), message);
        break;
    case DbKind::Mysql:
        registry->mysqlConnection().reportError(message);
        break;
    default:
        break;
    }
}
