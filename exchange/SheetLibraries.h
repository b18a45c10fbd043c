#pragma once

#include "exchange/SheetFunctions.h"
#include "platform/ModuleTable.h"

#include <string>

// libxlsxwriter, libfreexl and libzip, reached through the program's module
// so that only reading or writing a workbook loads them.
class SheetLibraries {
public:
    // The program's own module; nothing is loaded until functions() is first
    // called.
    static const SheetLibraries& standard();

    // The module mockexam-NAME.so in place of the program's own.
    explicit SheetLibraries(std::string moduleName);

    // Null when the module cannot be loaded; lastErrorText() then says why.
    const SheetFunctions* functions() const { return table_.get(); }
    // Empty until a call of functions() has failed.
    std::string lastErrorText() const { return table_.lastErrorText(); }

private:
    platform::ModuleTable<SheetFunctions> table_;
};
