#pragma once

#include "platform/ByteArray.h"

#include <cstddef>
#include <string>
#include <string_view>

// The only text conversions at the SQLite boundary: the program speaks GBK,
// SQLite speaks UTF-8.

// GBK text (up to its first NUL, if it holds one) to UTF-8 bytes that end with
// a NUL byte, which is counted: lengths handed to SQLite from this result
// include it. An empty text gives the single NUL byte. Bytes that are not valid
// GBK convert to replacement characters.
ByteArray toUtf8(std::string_view gbk);

// UTF-8 bytes without a terminator to GBK text. A null pointer or a length of
// 0 gives an empty text; characters GBK cannot hold become replacement bytes.
std::string fromUtf8(const char* bytes, std::size_t length);

// True when every byte of the text belongs to a GBK character that converts
// to Unicode and back unchanged. Statement texts that fail this test would
// reach the database altered, so they are refused before that happens.
bool isValidGbk(std::string_view gbk);

// SQLite reads statement texts and file names up to their first NUL byte, so a
// text holding one would run shortened: "... WHERE k=1\0 and id=7" would
// change every row with k=1. Such texts are refused instead.
inline bool holdsNulByte(std::string_view text)
{
    return text.find('\0') != std::string_view::npos;
}
