#include "db/Database.h"

#include "db/Dialect.h"

#include <sqlite3.h>

Database::Database(DbKind kind) : core_(std::make_shared<DatabaseCore>(kind))
{
}

// Statements kept past this object share the core: they fail from now on
// instead of keeping the connection.
Database::~Database()
{
    core_->close();
}

bool Database::open(const ConnectOptions& options)
{
    return core_->open(options);
}

void Database::close()
{
    core_->close();
}

bool Database::isOpen() const
{
    return core_->isOpen();
}

bool Database::execute(std::string_view sql)
{
    const std::string text(sql);
    switch (core_->kind()) {
    case DbKind::Sqlite:
        core_->clearError();
        return core_->sqlite().execute(text) || core_->failFromBackend();
    case DbKind::Mysql:
        return core_->withReconnect([&] { return core_->mysql().execute(text); });
    default:
        return core_->fail(DatabaseCore::notOpenText());
    }
}

Statement Database::prepare(std::string_view sql)
{
    return Statement(core_, sql);
}

bool Database::query(std::string_view sql, Rows& rows)
{
    rows.clear();
    Statement statement = prepare(sql);
    while (statement.step()) {
        Row& row = rows.emplace_back();
        const int columns = statement.columnCount();
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(statement.isNull(c) ? std::nullopt : std::optional<std::string>(statement.text(c)));
    }
    if (!statement.isValid() || statement.failed()) {
        rows.clear();
        return false;
    }
    return true;
}

bool Database::tableExists(std::string_view table)
{
    Statement statement = prepare(Dialect::tableExistsQuery(core_->kind()));
    return statement.bind(1, table) && statement.step();
}

long long Database::changedRows() const
{
    switch (core_->kind()) {
    case DbKind::Sqlite:
        return core_->sqlite().handle() ? core_->sqlite().changes() : -1;
    case DbKind::Mysql:
        return core_->mysql().changedRows();
    default:
        return -1;
    }
}

long long Database::lastInsertKey() const
{
    switch (core_->kind()) {
    case DbKind::Sqlite:
        return core_->sqlite().handle() ? sqlite3_last_insert_rowid(core_->sqlite().handle()) : 0;
    case DbKind::Mysql:
        return core_->mysql().lastInsertKey();
    default:
        return 0;
    }
}

bool Database::beginTransaction()
{
    return core_->beginTransaction();
}

bool Database::beginWriteTransaction()
{
    if (core_->kind() != DbKind::Sqlite)
        return core_->beginTransaction();
    core_->clearError();
    return core_->sqlite().execute("BEGIN IMMEDIATE") || core_->failFromBackend();
}

bool Database::commit()
{
    return core_->commit();
}

bool Database::rollback()
{
    return core_->rollback();
}
