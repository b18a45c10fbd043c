#include "db/Dialect.h"

std::string Dialect::randomOrder(DbKind kind)
{
    return kind == DbKind::Mysql ? "RAND()" : "RANDOM()";
}

std::vector<std::string> Dialect::sessionSetup(DbKind kind)
{
    if (kind != DbKind::Mysql)
        return {};
    // The maintenance windows double quotes and nothing else; with backslash
    // escapes on, a title ending in a backslash would end its literal early.
    return {"SET SESSION sql_mode = CONCAT_WS(',', NULLIF(@@sql_mode, ''), 'NO_BACKSLASH_ESCAPES')"};
}

std::string Dialect::gbkTableOptions(DbKind kind)
{
    return kind == DbKind::Mysql ? " DEFAULT CHARACTER SET gbk" : "";
}

std::string Dialect::autoKey(DbKind kind, std::string_view column)
{
    if (kind == DbKind::Mysql)
        return std::string(column) + " INT PRIMARY KEY AUTO_INCREMENT";
    return std::string(column) + " INTEGER PRIMARY KEY AUTOINCREMENT";
}

std::string Dialect::lastInsertKey(DbKind kind)
{
    if (kind == DbKind::Mysql)
        return "SELECT LAST_INSERT_ID() AS k";
    return "SELECT last_insert_rowid() AS k";
}

std::string Dialect::upsert(DbKind kind, std::string_view table, const std::vector<std::string>& columns,
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

std::string Dialect::tableExistsQuery(DbKind kind)
{
    if (kind == DbKind::Mysql)
        return "SELECT 1 FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?";
    return "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE";
}

std::string Dialect::literal(std::string_view text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

std::string Dialect::blobLiteral(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(2 * bytes.size() + 3);
    hex += "X'";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex + "'";
}
