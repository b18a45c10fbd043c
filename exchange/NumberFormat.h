#pragma once

#include <string_view>

// What a spreadsheet's number format makes of a number: left as it is, or
// shown as a date or a percentage, which the stored number alone does not say.
class NumberFormat {
public:
    enum class Shown { Number, Date, Percent };

    // The formats every spreadsheet program numbers alike, by that number.
    static Shown builtIn(int id);
    // A format of the workbook's own, by its code (UTF-8), e.g. "yyyy-mm-dd" or "0.0%".
    static Shown ofCode(std::string_view code);
};
