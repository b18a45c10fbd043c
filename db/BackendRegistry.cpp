#include "db/BackendRegistry.h"

namespace {

BackendRegistry* liveRegistry = nullptr;

} // namespace

BackendRegistry::BackendRegistry()
{
    if (liveRegistry == nullptr)
        liveRegistry = this;
    // A recordset left on a lost session would fail every query from then on.
    mysqlDatabase_.setReconnectListener([this] {
        if (mysqlRecordset_.handle() != nullptr)
            mysqlRecordset_.attach(mysqlDatabase_.mysqlConnection());
    });
}

BackendRegistry::~BackendRegistry()
{
    // The recordsets share the ownership of the handles, so they let go first
    // and the databases close with their connections.
    sqliteRecordset_.close();
    sqliteRecordset_.attachHandle(nullptr);
    sqliteDatabase_.close();
    mysqlRecordset_.close();
    mysqlRecordset_.attachHandle(nullptr);
    mysqlDatabase_.close();
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
