#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The whole content of a file, read into memory that is mapped in one go: a
// file of many megabytes then costs one call instead of a fault on every page.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // False when the file (a GBK path) cannot be opened or read whole.
    bool read(std::string_view path);
    std::string_view view() const { return {data_, size_}; }

private:
    void release();

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;
};

} // namespace platform
