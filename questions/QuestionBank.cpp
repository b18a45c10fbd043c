#include "questions/QuestionBank.h"

#include "db/Database.h"
#include "db/Dialect.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <charconv>

namespace {

const std::string selectAll = std::string("SELECT * FROM ") + QuestionBank::table;

// "Title=..., Tmnr=..., Answer=..." of an update; the statement goes on from there.
std::string updatedTexts(const QuestionRecord& record)
{
    return std::string("UPDATE ") + QuestionBank::table + " SET Title=" + Dialect::literal(record.title) +
           ", Tmnr=" + Dialect::literal(record.options) + ", Answer=" + Dialect::literal(record.answer);
}

std::string keyClause(const std::string& key)
{
    return " WHERE (id=" + key + ")";
}

const std::string categoryTableName = QuestionBank::categoryTable;

// Every question with its category beside it; the join keeps the questions'
// own columns first and named as in the plain listing.
std::string categorizedSelect()
{
    return std::string("SELECT ") + QuestionBank::table + ".*, COALESCE(" + categoryTableName + ".Category, " +
           Dialect::literal(QuestionBank::uncategorisedText()) + ") AS Category FROM " + QuestionBank::table +
           " LEFT JOIN " + categoryTableName + " ON " + categoryTableName + ".id=" + QuestionBank::table + ".id";
}

std::string categorizedOrder()
{
    return std::string(" ORDER BY ") + QuestionBank::table + ".id";
}

bool removesCategory(std::string_view category)
{
    return category.find_first_not_of(" \t\r\n") == std::string_view::npos ||
           category == QuestionBank::uncategorisedText();
}

} // namespace

const std::string& QuestionBank::uncategorisedText()
{
    return GBK("未分类");
}

std::string QuestionBank::createCategoryTableStatement(DbKind kind)
{
    return "CREATE TABLE IF NOT EXISTS " + categoryTableName + " (id INTEGER NOT NULL PRIMARY KEY, Category TEXT)" +
           Dialect::gbkTableOptions(kind);
}

std::string QuestionBank::categoryProbeQuery()
{
    return "SELECT * FROM " + categoryTableName + " LIMIT 0";
}

std::string QuestionBank::categorizedListQuery()
{
    return categorizedSelect() + categorizedOrder();
}

std::string QuestionBank::categorizedSearchQuery(std::string_view titlePart, std::string_view category)
{
    std::string text =
        categorizedSelect() + " WHERE " + table + ".Title LIKE " + Dialect::literal("%" + std::string(titlePart) + "%");
    if (category == uncategorisedText())
        text += " AND " + categoryTableName + ".Category IS NULL";
    else if (!category.empty())
        text += " AND " + categoryTableName + ".Category=" + Dialect::literal(category);
    return text + categorizedOrder();
}

std::string QuestionBank::categorizedKeyQuery(std::string_view key)
{
    return categorizedSelect() + " WHERE " + table + ".id=" + Dialect::literal(key) + categorizedOrder();
}

std::string QuestionBank::uncategorizedSearchQuery(std::string_view titlePart, std::string_view category)
{
    std::string text = searchQuery(titlePart);
    if (!category.empty() && category != uncategorisedText())
        text += "AND 0=1";
    return text;
}

std::string QuestionBank::setCategoryStatement(std::string_view key, std::string_view category)
{
    if (!isKey(key))
        return {};
    if (removesCategory(category))
        return "DELETE FROM " + categoryTableName + " WHERE id=" + std::string(key);
    return "REPLACE INTO " + categoryTableName + " (id, Category) VALUES (" + std::string(key) + ", " +
           Dialect::literal(category) + ")";
}

std::string QuestionBank::setCategoryByTitleStatement(std::string_view title, std::string_view category)
{
    const std::string byTitle = std::string(" FROM ") + table + " WHERE Title=" + Dialect::literal(title);
    if (removesCategory(category))
        return "DELETE FROM " + categoryTableName + " WHERE id IN (SELECT id" + byTitle + ")";
    return "REPLACE INTO " + categoryTableName + " (id, Category) SELECT id, " + Dialect::literal(category) + byTitle;
}

std::string QuestionBank::categoryCopyQuery()
{
    return "SELECT id, Category FROM " + categoryTableName + " ORDER BY id";
}

bool QuestionBank::hasCategories()
{
    error_.clear();
    Database::Rows none;
    return database_.query(categoryProbeQuery(), none);
}

bool QuestionBank::forEachSorting(const std::function<void(const Sorting&)>& each)
{
    const std::string questions = table;
    const std::string columns = "SELECT " + questions + ".id, " + questions + ".Answer, " + questions + ".did, ";
    const std::string uncategorised = Dialect::literal(uncategorisedText());
    const std::string sql = hasCategories()
                                ? columns + "COALESCE(" + categoryTableName + ".Category, " + uncategorised +
                                      ") FROM " + questions + " LEFT JOIN " + categoryTableName + " ON " +
                                      categoryTableName + ".id=" + questions + ".id" + categorizedOrder()
                                : columns + uncategorised + " FROM " + questions + categorizedOrder();
    error_.clear();
    Statement select = database_.prepare(sql);
    Sorting row;
    while (select.step()) {
        row.id = select.text(0);
        row.answer = select.text(1);
        row.did = select.text(2);
        row.category = select.text(3);
        each(row);
    }
    if (select.failed()) {
        error_ = database_.lastErrorText();
        return false;
    }
    return true;
}

bool QuestionBank::replaceCategories(const Database::Rows& rows, bool present)
{
    error_.clear();
    bool ok = database_.execute("DROP TABLE IF EXISTS " + categoryTableName);
    if (ok && present)
        ok = database_.execute(createCategoryTableStatement(database_.kind())) && database_.beginTransaction();
    std::string statement;
    std::size_t pending = 0;
    for (std::size_t i = 0; ok && present && i <= rows.size(); ++i) {
        // Many rows per INSERT, as for the questions themselves.
        if (pending > 0 && (i == rows.size() || pending == rowsPerCopyStatement)) {
            ok = database_.execute(statement);
            pending = 0;
        }
        if (!ok || i == rows.size())
            break;
        const Database::Row& row = rows[i];
        if (row.size() != 2 || !row[0] || !isKey(*row[0]) || !row[1] || removesCategory(*row[1]))
            continue;
        statement =
            (pending == 0 ? "INSERT INTO " + categoryTableName + " (id, Category) VALUES (" : statement + ",(") +
            *row[0] + "," + Dialect::literal(*row[1]) + ")";
        ++pending;
    }
    if (ok && present)
        ok = database_.commit();
    if (ok)
        return true;
    error_ = database_.lastErrorText();
    database_.rollback();
    return false;
}

bool QuestionBank::isKey(std::string_view key)
{
    if (!key.empty() && key.front() == '-')
        key.remove_prefix(1);
    if (key.empty())
        return false;
    for (char c : key) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::string QuestionBank::createTableStatement(DbKind kind)
{
    return std::string("CREATE TABLE ") + table + " (" + Dialect::autoKey(kind, "id") +
           ", Title TEXT, Tmnr TEXT, Answer TEXT, did TEXT)" + Dialect::gbkTableOptions(kind);
}

std::string QuestionBank::probeQuery()
{
    return selectAll + " LIMIT 0";
}

std::string QuestionBank::drawQuery(DbKind kind)
{
    return selectAll + "  ORDER BY " + Dialect::randomOrder(kind) + " limit 100";
}

std::string QuestionBank::copyQuery()
{
    return std::string("SELECT id, Title, Tmnr, Answer, did FROM ") + table + " ORDER BY id";
}

bool QuestionBank::replaceAll(const Database::Rows& rows)
{
    error_.clear();
    bool ok = database_.execute(std::string("DROP TABLE IF EXISTS ") + table) &&
              database_.execute(createTableStatement(database_.kind())) && database_.beginTransaction();
    for (std::size_t first = 0; ok && first < rows.size(); first += rowsPerCopyStatement) {
        // Many rows per INSERT: fewer round trips to a server.
        const auto end =
            rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), first + rowsPerCopyStatement));
        const std::string statement =
            insertRowsStatement({rows.begin() + static_cast<std::ptrdiff_t>(first), end}, true);
        ok = !statement.empty() && database_.execute(statement);
    }
    if (ok && database_.commit())
        return true;
    error_ = database_.lastErrorText();
    database_.rollback();
    return false;
}

std::string QuestionBank::listAllQuery()
{
    return selectAll + "  ";
}

std::string QuestionBank::searchQuery(std::string_view titlePart)
{
    return selectAll + " WHERE Title LIKE " + Dialect::literal("%" + std::string(titlePart) + "%") + " ";
}

std::string QuestionBank::keyQuery(std::string_view key)
{
    return selectAll + " WHERE id=" + Dialect::literal(key) + " ";
}

std::string QuestionBank::titleCondition(std::string_view title)
{
    return "Title=" + Dialect::literal(title);
}

std::string QuestionBank::keyCondition(std::string_view key)
{
    return "id=" + Dialect::literal(key);
}

std::string QuestionBank::insertStatement(const QuestionRecord& record)
{
    return std::string("INSERT INTO ") + table + " (Title, Tmnr, Answer,did) VALUES (" +
           Dialect::literal(record.title) + ", " + Dialect::literal(record.options) + ", " +
           Dialect::literal(record.answer) + ", " + Dialect::literal(record.did) + ")";
}

std::string QuestionBank::updateStatement(const QuestionRecord& record)
{
    if (!isKey(record.id))
        return {};
    return updatedTexts(record) + ", did=" + Dialect::literal(record.did) + keyClause(record.id);
}

std::string QuestionBank::correctionStatement(const QuestionRecord& record)
{
    if (!isKey(record.id))
        return {};
    return updatedTexts(record) + keyClause(record.id);
}

std::string QuestionBank::insertRowsStatement(const std::vector<std::vector<std::optional<std::string>>>& rows,
                                              bool withKey)
{
    std::string text = std::string("INSERT INTO ") + table +
                       (withKey ? " (id, Title, Tmnr, Answer, did) VALUES " : " (Title, Tmnr, Answer,did) VALUES ");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        text += r == 0 ? "(" : ",(";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::optional<std::string>& cell = rows[r][c];
            if (c > 0)
                text += ",";
            if (!cell)
                text += "NULL";
            else if (withKey && c == 0 && !isKey(*cell))
                return {};
            else
                text += withKey && c == 0 ? *cell : Dialect::literal(*cell);
        }
        text += ")";
    }
    return text;
}

Statement QuestionBank::prepareInsert()
{
    return database_.prepare(std::string("INSERT INTO ") + table + " (Title, Tmnr, Answer,did) VALUES (?, ?, ?, ?)");
}

Statement QuestionBank::prepareRows()
{
    return database_.prepare(copyQuery());
}

Statement QuestionBank::prepareInsertWithKey()
{
    return database_.prepare(std::string("INSERT INTO ") + table +
                             " (id, Title, Tmnr, Answer, did) VALUES (?, ?, ?, ?, ?)");
}

bool QuestionBank::forEachTitle(const std::function<void(std::string_view)>& each, bool lockRows)
{
    error_.clear();
    // SQLite has no row locks: there the transaction's write lock keeps the
    // table still.
    const bool locking = lockRows && database_.kind() == DbKind::Mysql;
    Statement select = database_.prepare(std::string("SELECT Title FROM ") + table + (locking ? " FOR UPDATE" : ""));
    while (select.step())
        each(select.utf8(0));
    if (select.failed()) {
        error_ = database_.lastErrorText();
        return false;
    }
    return true;
}

bool QuestionBank::removeAll(Categories categories)
{
    error_.clear();
    // A bank file may number its next questions from 1 again: no category
    // may stay behind for them.
    if (database_.execute(std::string("DELETE FROM ") + table) &&
        (categories == Categories::Keep || !hasCategories() || database_.execute("DELETE FROM " + categoryTableName)))
        return true;
    error_ = database_.lastErrorText();
    return false;
}

bool QuestionBank::pruneCategories()
{
    error_.clear();
    if (!hasCategories() ||
        database_.execute("DELETE FROM " + categoryTableName + " WHERE id NOT IN (SELECT id FROM " + table + ")"))
        return true;
    error_ = database_.lastErrorText();
    return false;
}

bool QuestionBank::findByKeys(const std::vector<std::string>& keys, std::vector<QuestionRecord>& found)
{
    error_.clear();
    if (keys.empty())
        return true;
    Statement select =
        selectByKeys(std::string("SELECT id, Title, Tmnr, Answer, did FROM ") + table + " WHERE id IN (", keys);
    if (!select.isValid()) {
        error_ = database_.lastErrorText();
        return false;
    }
    while (select.step()) {
        found.push_back({.id = select.text(0),
                         .title = select.text(1),
                         .options = select.text(2),
                         .answer = select.text(3),
                         .did = select.text(4)});
    }
    if (select.failed()) {
        error_ = database_.lastErrorText();
        return false;
    }
    return true;
}

bool QuestionBank::findCategoriesByKeys(const std::vector<std::string>& keys,
                                        std::vector<std::pair<std::string, std::string>>& found)
{
    error_.clear();
    if (keys.empty())
        return true;
    const std::string uncategorised = Dialect::literal(uncategorisedText());
    const std::string head =
        hasCategories() ? std::string("SELECT ") + table + ".id, COALESCE(" + categoryTableName + ".Category, " +
                              uncategorised + ") FROM " + table + " LEFT JOIN " + categoryTableName + " ON " +
                              categoryTableName + ".id=" + table + ".id WHERE " + table + ".id IN ("
                        : std::string("SELECT id, ") + uncategorised + " FROM " + table + " WHERE id IN (";
    Statement select = selectByKeys(head, keys);
    if (!select.isValid()) {
        error_ = database_.lastErrorText();
        return false;
    }
    while (select.step())
        found.emplace_back(select.text(0), select.text(1));
    if (select.failed()) {
        error_ = database_.lastErrorText();
        return false;
    }
    return true;
}

Statement QuestionBank::selectByKeys(const std::string& head, const std::vector<std::string>& keys)
{
    std::string marks;
    for (std::size_t i = 0; i < keys.size(); ++i)
        marks += i ? ",?" : "?";
    Statement select = database_.prepare(head + marks + ")");
    bool bound = select.isValid();
    for (std::size_t i = 0; bound && i < keys.size(); ++i) {
        const std::string& key = keys[i];
        const int index = static_cast<int>(i + 1);
        // A key as an integer finds its row on either backend whatever the
        // column's declared type; anything else can only match as text.
        long long number = 0;
        const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
        if (isKey(key) && error == std::errc() && end == key.data() + key.size())
            bound = select.bind(index, number);
        else
            bound = select.bind(index, key);
    }
    return bound ? std::move(select) : Statement();
}
