#pragma once

#include "exchange/ParsedBank.h"

#include "exchange/TextEncoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Aiken plain-text format (UTF-8, or GBK): the question on one or more lines,
// then one line per option ("A. text" or "A) text"), then "ANSWER: B", with
// blank lines between questions.
class AikenFormat {
public:
    static ParsedBank read(std::string_view bytes, TextEncoding encoding = TextEncoding::Auto);
    // Why the question would not come back as it is (GBK), or nullopt: a
    // question line that is blank or reads as an option line, or one with
    // spaces at its ends, cannot be told apart from the format's own lines.
    static std::optional<std::string> cannotCarry(const BankQuestion& question);
    // The questions the format can carry; the others are left out.
    static std::string write(const std::vector<BankQuestion>& questions);
};
