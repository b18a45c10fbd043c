#pragma once

#include <string>
#include <string_view>

// Values that the maintenance windows paste into statement text. A user's
// text goes between single quotes with each quote inside it doubled, so it is
// stored and matched exactly as typed and can never end the literal early; a
// key taken from the grid or the paper is pasted only when it is a decimal
// integer.
class SqlLiteral {
public:
    // The text to put between the quotes of a literal.
    static std::string escape(std::string_view value);
    // An optional minus sign followed by one or more ASCII digits, nothing else.
    static bool isIntegerKey(std::string_view key);
};
