#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Copies of the bank file beside it, taken before every bulk change:
// "tk.db.20261208-173205-123.bak". Only the newest copies are kept. Paths are
// GBK.
class BankBackup {
public:
    // The copy's path, or empty with the reason (GBK) in error. Older copies
    // beyond `keep` are removed once the new one is complete.
    static std::string make(const std::string& bankPath, std::size_t keep, std::string& error);
    // The copies of this bank, oldest first.
    static std::vector<std::string> copies(const std::string& bankPath);
    static constexpr std::size_t defaultKeep = 10;
};
