#pragma once

#include "exchange/ParsedBank.h"

#include "exchange/TextEncoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The multiple-choice part of GIFT (UTF-8, or GBK): "::name:: text
// {=right ~wrong}", questions separated by blank lines, "//" comment lines,
// backslash escapes for ~ = # { } : and \, and \n for a line break. A
// leading [html], [moodle], [plain] or [markdown] names the text's format;
// any other bracket is text. Feedback after "#" is dropped; other question
// kinds are reported as problems. Moodle's multiple-answer form with "%n%"
// weights is a multiple-answer key when the right answers share the mark
// equally, and "$CATEGORY:" lines file the questions after them.
class GiftFormat {
public:
    // wholeCategoryPath: a category is the whole path of names, not the last one.
    static ParsedBank read(std::string_view bytes, TextEncoding encoding = TextEncoding::Auto,
                           bool wholeCategoryPath = false);
    // Why the question would not come back as it is (GBK), or nullopt.
    static std::optional<std::string> cannotCarry(const BankQuestion& question);
    // The questions the format can carry; the others are left out.
    static std::string write(const std::vector<BankQuestion>& questions);
};
