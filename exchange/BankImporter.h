#pragma once

#include "db/Database.h"
#include "exchange/BankBackup.h"
#include "exchange/BankChecker.h"
#include "exchange/BankFormat.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class Database;

struct ImportOptions {
    bool dryRun = false;
    // Nothing is written when any question has a problem.
    bool strict = false;
    TextEncoding encoding = TextEncoding::Auto;
    std::optional<BankFormat::Kind> format; // unset = by the file's extension
    std::size_t keepBackups = BankBackup::defaultKeep;
    // UTF-8: the category of every question the file leaves without one.
    std::string category = {};
    // GIFT's "$CATEGORY:" paths are kept whole rather than by their last name.
    bool wholeCategoryPath = false;
};

struct ImportReport {
    bool ok = false;   // the file was read and nothing failed; problems may still have been found
    std::string error; // GBK, when not ok
    CheckedBank checked;
    std::size_t imported = 0;
    std::string backupPath;
    std::vector<std::string> notes; // GBK, how the file was read, such as which sheet of several
};

// (questions done, questions in all), now and then while checking and writing.
using ImportProgress = std::function<void(std::size_t, std::size_t)>;

// Reads a file, checks it against the bank and, unless it is a dry run,
// copies the bank aside and writes every question that has no problem in one
// transaction: either all of them are stored or, on any failure (or a strict
// import that found a problem), none. The transaction holds the bank against
// other writers before the stored titles are read, so a question another
// program adds meanwhile cannot slip past the duplicate check. Questions are
// checked and written as they are read, so a long file is never held twice.
class BankImporter {
public:
    // bank: the open bank, file or server; serverBackupFolder: where the copy
    // of a bank on the server goes (GBK; a bank file is copied beside itself).
    explicit BankImporter(Database& bank, std::string serverBackupFolder = {});

    ImportReport run(const std::string& filePath, const ImportOptions& options, const ImportProgress& progress = {});
    ImportReport run(const ParsedBank& parsed, const ImportOptions& options, const ImportProgress& progress = {});

    // The titles stored now; false when the bank cannot be read.
    bool storedTitles(TitleIndex& titles, std::string& error) { return storedTitles(titles, error, false); }

private:
    // source hands every question to its argument and adds the reader's
    // problems; false with the reason in error when the file is unreadable.
    using Source =
        std::function<bool(const std::function<void(BankQuestion&&)>&, std::vector<BankProblem>&, std::string&)>;
    ImportReport run(const Source& source, std::size_t expected, const ImportOptions& options,
                     const ImportProgress& progress);
    bool storedTitles(TitleIndex& titles, std::string& error, bool lockRows);
    void discardBackup(ImportReport& report);
    // Rows of GBK title and category, in a transaction of their own after
    // the questions were committed; the category table made first.
    bool storeCategories(const Database::Rows& categories);

    Database& bank_;
    std::string serverBackupFolder_;
};
