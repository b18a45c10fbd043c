#include "room/SqlDialect.h"

std::string SqlDialect::drawQuery(DbKind kind)
{
    if (kind == DbKind::Mysql)
        return "SELECT * FROM KS_SJTK  ORDER BY RAND() limit 100";
    return "SELECT * FROM KS_SJTK  ORDER BY RANDOM() limit 100";
}

std::vector<std::string> SqlDialect::sessionSetup(DbKind kind)
{
    if (kind != DbKind::Mysql)
        return {};
    // The maintenance windows double quotes and nothing else; with backslash
    // escapes on, a title ending in a backslash would end its literal early.
    return {"SET SESSION sql_mode = CONCAT_WS(',', NULLIF(@@sql_mode, ''), 'NO_BACKSLASH_ESCAPES')"};
}

std::string SqlDialect::createBankTable(DbKind kind)
{
    if (kind == DbKind::Mysql)
        return "CREATE TABLE KS_SJTK (" + autoKey(kind, "id") +
               ", Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT) DEFAULT CHARACTER SET gbk";
    return "CREATE TABLE KS_SJTK (" + autoKey(kind, "id") + ", Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)";
}

std::string SqlDialect::autoKey(DbKind kind, std::string_view column)
{
    if (kind == DbKind::Mysql)
        return std::string(column) + " INT PRIMARY KEY AUTO_INCREMENT";
    return std::string(column) + " INTEGER PRIMARY KEY AUTOINCREMENT";
}

std::string SqlDialect::lastInsertKey(DbKind kind)
{
    if (kind == DbKind::Mysql)
        return "SELECT LAST_INSERT_ID() AS k";
    return "SELECT last_insert_rowid() AS k";
}

std::string SqlDialect::upsert(DbKind kind, std::string_view table, const std::vector<std::string>& columns,
                               const std::vector<std::string>& values, std::size_t keyCount)
{
    std::string names, literals, updates;
    for (std::size_t i = 0; i < columns.size() && i < values.size(); ++i) {
        names += (i ? "," : "") + columns[i];
        literals += (i ? "," : "") + values[i];
        if (i < keyCount)
            continue;
        if (!updates.empty())
            updates += ",";
        updates +=
            kind == DbKind::Mysql ? columns[i] + "=VALUES(" + columns[i] + ")" : columns[i] + "=excluded." + columns[i];
    }
    const std::string rows = std::string(table) + " (" + names + ") VALUES (" + literals + ")";
    if (kind == DbKind::Mysql)
        return updates.empty() ? "INSERT IGNORE INTO " + rows
                               : "INSERT INTO " + rows + " ON DUPLICATE KEY UPDATE " + updates;
    const std::string statement = "INSERT INTO " + rows;
    std::string keys;
    for (std::size_t i = 0; i < keyCount && i < columns.size(); ++i)
        keys += (i ? "," : "") + columns[i];
    return statement + " ON CONFLICT (" + keys + ") DO " + (updates.empty() ? "NOTHING" : "UPDATE SET " + updates);
}

std::string SqlDialect::literal(std::string_view text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}
