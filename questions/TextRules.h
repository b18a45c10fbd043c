#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text rules shared by the examination and the bank windows. Texts are GBK:
// a double-byte character is always one unit, so a search never matches
// starting on its trail byte. A space is the ASCII blank or the full-width
// blank (bytes A1 A1).
class TextRules {
public:
    // Position of the first occurrence of `what` that starts on a character
    // boundary at or after `from` (itself a boundary), or npos.
    static std::size_t find(std::string_view text, std::string_view what, std::size_t from = 0);

    // Every occurrence, left to right, case-sensitive. An empty `from` leaves
    // the text as it is.
    static std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);
    static std::string removeAll(std::string_view text, std::string_view what);

    // Length of the space that starts at text[pos] (1 or 2), or 0.
    static std::size_t spaceLengthAt(std::string_view text, std::size_t pos);
    static std::string removeSpaces(std::string_view text);
    static std::string trimSpaces(std::string_view text);

    // Pieces between separators: inner empty pieces are kept, one final
    // empty piece is dropped, an empty text gives no pieces.
    static std::vector<std::string> split(std::string_view text, std::string_view separator);
};
