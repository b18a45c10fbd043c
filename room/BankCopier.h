#pragma once

#include "room/RoomConfig.h"

#include <string>

// Copies the question table between a bank file and the room's server, row
// for row: the same keys, the same GBK bytes, NULL kept as NULL. The table at
// the destination is replaced; the bank file is created when missing.
class BankCopier {
public:
    bool toServer(const std::string& bankPath, const RoomConfig& server);
    bool fromServer(const RoomConfig& server, const std::string& bankPath);

    int copiedRows() const { return copiedRows_; }
    std::string lastErrorText() const { return lastErrorText_; }

private:
    int copiedRows_ = 0;
    std::string lastErrorText_;
};
