#include "db/Transaction.h"

#include "db/Database.h"

Transaction::Transaction(Database& database, Lock lock)
    : database_(database), active_(lock == Lock::Write ? database.beginWriteTransaction() : database.beginTransaction())
{
}

Transaction::~Transaction()
{
    if (active_)
        database_.rollback();
}

bool Transaction::commit()
{
    if (!active_ || !database_.commit())
        return false;
    active_ = false;
    return true;
}
