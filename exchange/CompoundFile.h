#pragma once

#include <string>
#include <string_view>

// The streams of a compound document (the container of Excel 97-2003
// workbooks), read from its bytes. Every sector chain is followed with its
// bounds and its length checked, so a damaged container gives false, never
// a read outside the file or a loop.
class CompoundFile {
public:
    explicit CompoundFile(std::string_view bytes) : bytes_(bytes) {}

    // The stream of the first directory entry with one of the names (ASCII);
    // false when there is none or the container does not hold together.
    bool stream(std::initializer_list<std::string_view> names, std::string& out) const;

private:
    std::string_view bytes_;
};
