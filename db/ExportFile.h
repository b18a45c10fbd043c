#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

// A file being written by an export: created or truncated on open, written
// through one large buffer, so that per-cell writes cost a copy and no system
// call. A failed write is remembered; `close` reports whether every byte
// reached the file. Paths are GBK texts like every text of the program.
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

    // Flushes and closes; true when everything written since `create` is in the file.
    bool close();

private:
    static constexpr std::size_t capacity = 1 << 20;

    void writeThrough(const char* data, std::size_t size);
    bool flush();
    bool writeAll(const char* data, std::size_t size);

    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    int fd_ = -1;
    bool failed_ = false;
};
