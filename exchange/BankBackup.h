#pragma once

#include <cstddef>
#include <string>
#include <vector>

class Database;

// Copies of the bank taken before every bulk change; only the newest copies
// are kept. A bank file is copied beside it: "tk.db.20261208-173205-123.bak".
// A bank on the room's server has its question table copied, row for row, to
// a bank file of its own in a folder on this machine:
// "tk-server-20261208-173205-123.bak.db". Either copy is a bank file that
// restore() puts back. Paths are GBK.
class BankBackup {
public:
    static constexpr std::size_t defaultKeep = 10;

    // The copy of this bank, beside the file or in serverFolder, as above.
    // The copy's path, or empty with the reason (GBK) in error. Older copies
    // beyond `keep` are removed once the new one is complete.
    static std::string make(Database& bank, const std::string& serverFolder, std::size_t keep, std::string& error);
    static std::string make(const std::string& bankPath, std::size_t keep, std::string& error);
    static std::string copyTable(Database& bank, const std::string& folder, std::size_t keep, std::string& error);

    // The copies of this bank file, oldest first.
    static std::vector<std::string> copies(const std::string& bankPath);
    // The copies of server banks in this folder, oldest first.
    static std::vector<std::string> serverCopies(const std::string& folder);

    // Replaces every row of the bank by the rows of the copy, keys and texts
    // as they were, in one transaction: all of them or, on failure, none.
    // Under the transaction's lock, before anything changes, the bank is
    // copied as make() does (into serverFolder for a server), older copies
    // all kept, so a restore can be undone; its path goes to savedAs. The
    // rows put back, or -1 with the reason (GBK) in error.
    static long long restore(std::string copyPath, Database& bank, const std::string& serverFolder,
                             std::string& savedAs, std::string& error);
};
