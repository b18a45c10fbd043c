#include "exchange/SheetLibraries.h"

SheetLibraries::SheetLibraries(std::string moduleName) : table_(std::move(moduleName), sheetFunctionsExport)
{
}

const SheetLibraries& SheetLibraries::standard()
{
    static const SheetLibraries libraries("sheets");
    return libraries;
}
