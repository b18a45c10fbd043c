#pragma once

#include "exchange/ParsedBank.h"

#include <string>
#include <string_view>
#include <vector>

// The multiple-choice part of GIFT (UTF-8): "::name:: text {=right ~wrong}",
// questions separated by blank lines, "//" comment lines, backslash escapes
// for ~ = # { } : and \. Feedback after "#" is dropped; other question kinds
// are reported as problems.
class GiftFormat {
public:
    static ParsedBank read(std::string_view bytes);
    static std::string write(const std::vector<BankQuestion>& questions);
};
