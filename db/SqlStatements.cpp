#include "db/SqlStatements.h"

#include "db/RegexText.h"

#include <vector>

namespace {

std::string concat(std::initializer_list<std::string_view> pieces)
{
    std::string out;
    for (std::string_view piece : pieces)
        out += piece;
    return out;
}

} // namespace

std::string SqlStatements::createTable(DbKind kind, std::string_view table)
{
    switch (kind) {
    case DbKind::Sqlite:
        return concat({"CREATE TABLE ", table, " ( id INTEGER PRIMARY KEY )"});
    case DbKind::Mysql:
        return concat({"CREATE TABLE `", table,
                       "` (`id` bigint( 20 ) NOT NULL AUTO_INCREMENT  , PRIMARY KEY ( `id` )) ENGINE = InnoDB;"});
    default:
        return {};
    }
}

std::string SqlStatements::addColumn(std::string_view table, std::string_view column, std::string_view type, int length)
{
    return concat({"alter table ", table, " add ", column, " ", type, "(", std::to_string(length), ")"});
}

std::string SqlStatements::deleteRows(std::string_view table, std::string_view condition)
{
    return concat({"DELETE FROM ", table, " WHERE (", condition, ")"});
}

std::string SqlStatements::updateRows(std::string_view table, std::string_view assignments, std::string_view condition)
{
    return concat({"UPDATE ", table, " SET ", assignments, " WHERE (", condition, ")"});
}

bool SqlStatements::insertRow(std::string_view table, std::string_view assignments, std::string& statement)
{
    const std::string wrapped = concat({",", assignments, ","});
    std::vector<std::string> names;
    std::vector<std::string> values;
    extractAllBetween(wrapped, ",", "='", names);
    extractAllBetween(wrapped, "='", "',", values);
    if (values.size() < names.size())
        return false;

    std::string nameList;
    std::string valueList;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            nameList += ',';
            valueList += ',';
        }
        nameList += names[i];
        valueList += concat({"'", values[i], "'"});
    }
    statement = concat({"INSERT INTO ", table, " (", nameList, ") VALUES (", valueList, ")"});
    return true;
}

std::string SqlStatements::writeBlob(std::string_view table, std::string_view column, std::string_view condition)
{
    if (!condition.empty())
        return concat({"update ", table, " set ", column, "=? where ", condition});
    return concat({"insert into ", table, " (", column, ") values (?)"});
}

std::string SqlStatements::exists(std::string_view table, std::string_view condition)
{
    return concat({"SELECT * FROM ", table, " WHERE ", condition});
}
