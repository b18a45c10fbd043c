#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Reads values from Windows profile files (".ini"): "[section]" lines and
// "key=value" lines, names compared without regard to ASCII case, names and
// values trimmed of white space, one pair of matching quotes around a value
// stripped. Only the first section of a name is searched, and the first key
// of a name in it. Files with a UTF-8 or UTF-16 byte-order mark are converted;
// all others are taken as GBK.
class ProfileReader {
public:
    // The value, or `defaultValue` when the file, section or key is missing or
    // the key has no "="; at most `bufferSize` - 1 bytes arrive, cut at a
    // character boundary.
    static std::string readString(std::string_view filePath, std::string_view section, std::string_view key,
                                  std::string_view defaultValue = {}, std::size_t bufferSize = 10240);

    // The same over the file's content.
    static std::string readStringFromText(std::string_view content, std::string_view section, std::string_view key,
                                          std::string_view defaultValue = {}, std::size_t bufferSize = 10240);
};

} // namespace platform
