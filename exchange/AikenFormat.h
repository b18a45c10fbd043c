#pragma once

#include "exchange/ParsedBank.h"

#include <string>
#include <string_view>
#include <vector>

// The Aiken plain-text format (UTF-8): the question on one or more lines,
// then one line per option ("A. text" or "A) text"), then "ANSWER: B", with
// blank lines between questions.
class AikenFormat {
public:
    static ParsedBank read(std::string_view bytes);
    // Question lines that are blank or look like option or answer lines
    // cannot be told apart from the format's own lines; they are written as
    // they are.
    static std::string write(const std::vector<BankQuestion>& questions);
};
