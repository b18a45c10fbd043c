#include "db/mysql/MariadbLibrary.h"

MariadbLibrary::MariadbLibrary(std::string moduleName) : table_(std::move(moduleName), mariadbFunctionsExport)
{
}

const MariadbLibrary& MariadbLibrary::standard()
{
    static const MariadbLibrary library("mariadb");
    return library;
}
