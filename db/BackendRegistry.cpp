#include "db/BackendRegistry.h"

namespace {

BackendRegistry* liveRegistry = nullptr;

} // namespace

BackendRegistry::BackendRegistry()
{
    if (liveRegistry == nullptr)
        liveRegistry = this;
}

BackendRegistry::~BackendRegistry()
{
    // The recordsets share the ownership of the handles, so they let go first
    // and the databases close with their connections.
    sqliteRecordset_.close();
    sqliteRecordset_.attachHandle(nullptr);
    sqliteConnection_.close();
    mysqlRecordset_.close();
    mysqlRecordset_.attachHandle(nullptr);
    mysqlConnection_.close();
    if (liveRegistry == this)
        liveRegistry = nullptr;
}

BackendRegistry* BackendRegistry::instance()
{
    return liveRegistry;
}

DbKind BackendRegistry::currentKind()
{
    return liveRegistry ? liveRegistry->kind_ : DbKind::None;
}
