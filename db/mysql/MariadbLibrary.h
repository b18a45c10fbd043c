#pragma once

#include "db/mysql/MariadbFunctions.h"
#include "platform/ModuleTable.h"

#include <string>

// The MariaDB client library, reached through the program's module so that
// a program working on tk.db alone never loads it.
class MariadbLibrary {
public:
    // The program's own module; nothing is loaded until functions() is first
    // called.
    static const MariadbLibrary& standard();

    // The module mockexam-NAME.so in place of the program's own.
    explicit MariadbLibrary(std::string moduleName);

    // Null when the module cannot be loaded; lastErrorText() then says why.
    const MariadbFunctions* functions() const { return table_.get(); }
    // Empty until a call of functions() has failed.
    std::string lastErrorText() const { return table_.lastErrorText(); }

private:
    platform::ModuleTable<MariadbFunctions> table_;
};
