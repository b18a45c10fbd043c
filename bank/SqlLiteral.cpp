#include "bank/SqlLiteral.h"

#include "bank/TextRules.h"

std::string SqlLiteral::escape(std::string_view value)
{
    // A GBK trail byte is never 0x27, so every quote byte is a real quote.
    return TextRules::replaceAll(value, "'", "''");
}

bool SqlLiteral::isIntegerKey(std::string_view key)
{
    if (!key.empty() && key.front() == '-')
        key.remove_prefix(1);
    if (key.empty())
        return false;
    for (char c : key) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}
