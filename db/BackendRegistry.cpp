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
    // The backend objects are light handles whose destruction closes nothing;
    // the registry owns the real use of the databases, so it ends it here. The
    // result goes first: SQLite keeps a database with a live statement open.
    sqliteRecordset_.close();
    sqliteConnection_.close();
    // A stored MySQL result refers to its connection, so it is freed first too.
    mysqlRecordset_.close();
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
