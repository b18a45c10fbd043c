#include "exchange/NumberFormat.h"

#include <algorithm>

NumberFormat::Shown NumberFormat::builtIn(int id)
{
    if (id == 9 || id == 10)
        return Shown::Percent;
    // Dates and times, with the ones East Asian editions number 27 to 36 and 50 to 58.
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
        return Shown::Date;
    return Shown::Number;
}

NumberFormat::Shown NumberFormat::ofCode(std::string_view code)
{
    // Quoted text, escaped characters and bracketed parts (colours,
    // conditions, locales) show no number.
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\')
            ++i;
        else if (c == '[')
            ++bracket;
        else if (c == ']')
            bracket = std::max(0, bracket - 1);
        else if (bracket > 0)
            continue;
        else if (c == '%')
            return Shown::Percent;
        else if (std::string_view("yYmMdDhHsS").find(c) != std::string_view::npos)
            return Shown::Date;
    }
    return Shown::Number;
}
