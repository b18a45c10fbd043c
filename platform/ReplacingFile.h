#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A file written through one large buffer, so that small writes cost a copy
// and no system call. The bytes go to a new file beside the target, which
// takes the target's place only when `close` finds everything written: until
// then, and after a failure or `discard`, an existing target keeps its old
// content. The path is GBK like every path of the program.
class ReplacingFile {
public:
    static constexpr std::size_t defaultBuffer = 1 << 20;

    explicit ReplacingFile(std::size_t bufferSize = defaultBuffer);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool create(std::string_view path);
    bool isOpen() const { return fd_ >= 0; }
    // True while nothing has failed since `create`.
    bool good() const { return isOpen() && !failed_; }

    void write(const char* data, std::size_t size)
    {
        if (size <= capacity_ - used_) {
            std::memcpy(buffer_.get() + used_, data, size);
            used_ += size;
        } else {
            writeThrough(data, size);
        }
    }
    void write(std::string_view text) { write(text.data(), text.size()); }

    // Flushes, closes and puts the file in the target's place; true when
    // everything written since `create` is in the target.
    bool close();
    // Closes and removes the file begun; the target stays as it was.
    void discard();

private:
    void writeThrough(const char* data, std::size_t size);
    bool flush();
    bool writeAll(const char* data, std::size_t size);

    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    int fd_ = -1;
    bool failed_ = false;
    std::string targetPath_; // system names
    std::string partPath_;
};

} // namespace platform
