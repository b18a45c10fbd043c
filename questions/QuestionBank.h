#pragma once

#include "db/Database.h"
#include "db/DbKind.h"
#include "questions/QuestionRecord.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class Statement;

// The question table and every statement on it. The windows run the texts of
// the static builders through the application's connection and recordset;
// cores hand a Database to an object and let it run the work itself.
//
// A value enters a text only as a literal of Dialect::literal. The key is an
// integer the database assigned: the updates paste it bare, so a text that
// would need a key that is no integer is not built (an empty text).
class QuestionBank {
public:
    static constexpr char table[] = "KS_SJTK";
    // Each question's category, a row per categorised key. Made the first
    // time a category is stored, so a bank that never had one keeps exactly
    // its one table.
    static constexpr char categoryTable[] = "KS_TMFL";

    explicit QuestionBank(Database& database) : database_(database) {}

    // Whether a text is a key the table can hold: an optional minus sign and
    // one or more ASCII digits, nothing else.
    static bool isKey(std::string_view key);

    // The table with its key assigned on insert, for a bank made anew.
    static std::string createTableStatement(DbKind kind);
    // Reads no row; fails when the table cannot be read.
    static std::string probeQuery();
    // The paper of up to 100 random questions.
    static std::string drawQuery(DbKind kind);
    // Every row, every column, in key order: what a copy of the bank reads.
    static std::string copyQuery();
    static std::string listAllQuery();
    // "%" and "_" in the text stay wildcards.
    static std::string searchQuery(std::string_view titlePart);
    static std::string keyQuery(std::string_view key);

    // Conditions for the recordset's row-exists and delete operations on `table`.
    static std::string titleCondition(std::string_view title);
    static std::string keyCondition(std::string_view key);

    // The record's id is not written: the database assigns it.
    static std::string insertStatement(const QuestionRecord& record);
    // Writes every column but the key; empty when record.id is no key.
    static std::string updateStatement(const QuestionRecord& record);
    // The correction leaves did as it is; empty when record.id is no key.
    static std::string correctionStatement(const QuestionRecord& record);

    // One INSERT of many rows, for a server where each statement costs a
    // round trip: cells Title, Tmnr, Answer, did (GBK; nullopt is NULL),
    // after the key when withKey. Empty when a key given is no key.
    static std::string insertRowsStatement(const std::vector<std::vector<std::optional<std::string>>>& rows,
                                           bool withKey);
    // The insert of a question from a file, as the bank window's add stores
    // one: Title, Tmnr, Answer and did as parameters 1 to 4, the key assigned.
    Statement prepareInsert();
    // Every row with its key, by key: id, Title, Tmnr, Answer, did.
    Statement prepareRows();
    // A row as prepareRows() reads it, its key given: parameters 1 to 5.
    Statement prepareInsertWithKey();
    // Every stored title, UTF-8, to `each`. lockRows: inside a transaction on
    // the server, the rows read are locked until it ends, and so is the room
    // for new ones: no other program stores a question meanwhile.
    bool forEachTitle(const std::function<void(std::string_view)>& each, bool lockRows = false);
    // Deletes every row and, unless kept, every category; the key counter is
    // left as it is. Categories are kept only for rows put back with their
    // keys, followed by pruneCategories().
    enum class Categories { Remove, Keep };
    bool removeAll(Categories categories = Categories::Remove);
    // Removes the categories of keys no row holds any more.
    bool pruneCategories();

    // The rows the table holds for these keys, as stored (NULL reads as an
    // empty text), in no particular order; a key without a row is passed over.
    bool findByKeys(const std::vector<std::string>& keys, std::vector<QuestionRecord>& found);
    // The same keys with each one's category (uncategorisedText() for a
    // question without one, or when no category was ever stored): key,
    // category.
    bool findCategoriesByKeys(const std::vector<std::string>& keys,
                              std::vector<std::pair<std::string, std::string>>& found);

    // Makes the table anew holding exactly these rows of copyQuery(), keys
    // included; the rows go in one transaction.
    bool replaceAll(const Database::Rows& rows);

    // Categories. The listings with categories carry a sixth column,
    // Category, with uncategorisedText() for a question without one; a
    // category filter of "" lists all, of uncategorisedText() those without.
    static const std::string& uncategorisedText(); // GBK
    static std::string createCategoryTableStatement(DbKind kind);
    static std::string categoryProbeQuery();
    static std::string categorizedListQuery();
    static std::string categorizedSearchQuery(std::string_view titlePart, std::string_view category);
    static std::string categorizedKeyQuery(std::string_view key);
    // The search when no category was ever stored: only the filter
    // uncategorisedText() (or none) can match anything.
    static std::string uncategorizedSearchQuery(std::string_view titlePart, std::string_view category);
    // Stores the category of the question with this key; a blank category
    // or uncategorisedText() removes it. Empty when key is no key.
    static std::string setCategoryStatement(std::string_view key, std::string_view category);
    // The same for the question with this title (titles are unique), whose
    // key the database has only just assigned.
    static std::string setCategoryByTitleStatement(std::string_view title, std::string_view category);
    // Every categorised key with its category, by key: id, Category.
    static std::string categoryCopyQuery();

    // What a paper's rules sort questions by, for every question in key
    // order: its key, Answer and did as stored, and its category
    // (uncategorisedText() for one without), in a single query.
    struct Sorting {
        std::string id;
        std::string answer;
        std::string did;
        std::string category;
    };
    bool forEachSorting(const std::function<void(const Sorting&)>& each);

    // Whether the category table exists; false too when it cannot be read.
    bool hasCategories();
    // Makes the category table anew holding exactly these rows of
    // categoryCopyQuery(); none at all removes it, as in a bank that never
    // had one.
    bool replaceCategories(const Database::Rows& rows, bool present);

    // GBK; "" after a success.
    const std::string& lastErrorText() const { return error_; }

private:
    static constexpr std::size_t rowsPerCopyStatement = 200;

    // head ends in "IN ("; the keys follow bound as parameters. Invalid when
    // it did not prepare or a key did not bind.
    Statement selectByKeys(const std::string& head, const std::vector<std::string>& keys);

    Database& database_;
    std::string error_;
};
