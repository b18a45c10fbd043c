#pragma once

#include "papers/PaperDefinition.h"
#include "room/RoomConfig.h"

#include <string>
#include <vector>

class Database;

// Copies the question table between a bank file and the room's server, row
// for row: the same keys, the same GBK bytes, NULL kept as NULL. The table at
// the destination is replaced; the bank file is created when missing. The
// defined papers go with them and replace the destination's.
class BankCopier {
public:
    bool toServer(const std::string& bankPath, const RoomConfig& server);
    bool fromServer(const RoomConfig& server, const std::string& bankPath);

    int copiedRows() const { return copiedRows_; }
    int copiedPapers() const { return copiedPapers_; }
    std::string lastErrorText() const { return lastErrorText_; }

private:
    bool copyPapers(Database& destination, const std::vector<PaperDefinition>& papers);

    int copiedRows_ = 0;
    int copiedPapers_ = 0;
    std::string lastErrorText_;
};
