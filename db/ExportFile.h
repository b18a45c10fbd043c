#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

// A file being written by an export, through one large buffer, so that
// per-cell writes cost a copy and no system call. The bytes go to a new file
// beside the target, which takes the target's place only when `close` finds
// everything written: until then, and after a failure or `discard`, an
// existing target keeps its old content. Paths are GBK texts like every text
// of the program.
class ExportFile {
public:
    ExportFile();
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    bool create(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    // True while nothing has failed since `create`.
    bool good() const { return isOpen() && !failed_; }

    void write(const char* data, std::size_t size)
    {
        if (size <= capacity - used_) {
            std::memcpy(buffer_.get() + used_, data, size);
            used_ += size;
        } else {
            writeThrough(data, size);
        }
    }
    void write(const std::string& text) { write(text.data(), text.size()); }

    // Flushes, closes and puts the file in the target's place; true when
    // everything written since `create` is in the target.
    bool close();
    // Closes and removes the file begun; the target stays as it was.
    void discard();

private:
    static constexpr std::size_t capacity = 1 << 20;

    void writeThrough(const char* data, std::size_t size);
    bool flush();
    bool writeAll(const char* data, std::size_t size);

    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    int fd_ = -1;
    bool failed_ = false;
    std::string targetPath_; // system paths
    std::string partPath_;
};
