#include "db/ExportFile.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

ExportFile::ExportFile() : buffer_(new char[capacity])
{
}

ExportFile::~ExportFile()
{
    close();
}

bool ExportFile::create(const std::string& path)
{
    close();
    failed_ = false;
    used_ = 0;
    std::optional<std::string> systemPath = platform::FileSystem::toSystemPath(path);
    if (!systemPath || systemPath->empty())
        return false;
    fd_ = ::open(systemPath->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd_ >= 0;
}

void ExportFile::writeThrough(const char* data, std::size_t size)
{
    if (!flush())
        return;
    if (size >= capacity) {
        if (!writeAll(data, size))
            failed_ = true;
        return;
    }
    std::memcpy(buffer_.get(), data, size);
    used_ = size;
}

bool ExportFile::flush()
{
    if (used_ == 0)
        return !failed_;
    if (!writeAll(buffer_.get(), used_))
        failed_ = true;
    used_ = 0;
    return !failed_;
}

bool ExportFile::writeAll(const char* data, std::size_t size)
{
    if (fd_ < 0)
        return false;
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ExportFile::close()
{
    if (fd_ < 0)
        return false;
    bool ok = flush();
    if (::close(fd_) != 0)
        ok = false;
    fd_ = -1;
    return ok;
}
