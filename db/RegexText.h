#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text operations built on RegexMatcher. All texts are GBK; a double-byte
// character is one unit, so no search or replacement splits one.

// Escapes ? * + [ ] ( ) { } with a backslash, turns every "#引号" into a
// double quote and every CR LF pair into the escapes "\r\n". Other
// characters, "." "^" "$" "|" and the backslash included, keep their pattern
// meaning.
std::string escapeRegexText(std::string_view text);

// Applies the five replacements in order, each to the whole text from the
// 1-based byte position startPosition on (default 1; the text before it is kept
// as it is). With replaceCount only that many occurrences of each find text are
// replaced. Comparison is case-sensitive unless caseSensitive is false, which
// folds ASCII letters only. A pair with an empty find text does nothing.
std::string replaceMany(std::string_view text, std::optional<int> replaceCount = {},
                        std::optional<int> startPosition = {}, std::optional<bool> caseSensitive = {},
                        std::string_view find1 = {}, std::string_view replacement1 = {}, std::string_view find2 = {},
                        std::string_view replacement2 = {}, std::string_view find3 = {},
                        std::string_view replacement3 = {}, std::string_view find4 = {},
                        std::string_view replacement4 = {}, std::string_view find5 = {},
                        std::string_view replacement5 = {});

// Collects every piece of text between a left and the next right marker, left
// to right without overlap, ignoring letter case. The markers are escaped with
// escapeRegexText, so "#引号" stands for a double quote and "." for any
// character. Pieces longer than maxLength bytes (when above 0) are skipped; the
// others are wrapped in prefix and suffix and, when asked, in the markers
// themselves (with "#引号" written as the quote it stands for). An empty
// marker leaves that side open.
void extractAllBetween(std::string_view text, std::string_view leftMarker, std::string_view rightMarker,
                       std::vector<std::string>& pieces, std::optional<int> maxLength = {},
                       const std::optional<std::string>& prefix = {}, const std::optional<std::string>& suffix = {},
                       std::optional<bool> keepLeftMarker = {}, std::optional<bool> keepRightMarker = {});
