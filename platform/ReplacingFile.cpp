#include "platform/ReplacingFile.h"

#include "platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// A name in the target's folder, so that the finished file can be renamed over
// the target; the folder has to hold both for a moment anyway.
std::string partPathBeside(const std::string& target, unsigned attempt)
{
    static std::atomic<unsigned> made{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    return folder + ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(made++) + "-" +
           std::to_string(attempt) + ".part";
}

} // namespace

ReplacingFile::ReplacingFile(std::size_t bufferSize) : buffer_(new char[bufferSize]), capacity_(bufferSize)
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::create(std::string_view path)
{
    discard();
    failed_ = false;
    used_ = 0;
    const std::optional<std::string> systemPath = FileSystem::toSystemPath(path);
    if (!systemPath || systemPath->empty() || systemPath->back() == '/' || systemPath->find('\0') != std::string::npos)
        return false;
    for (unsigned attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        partPath_ = partPathBeside(*systemPath, attempt);
        fd_ = ::open(partPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        partPath_.clear();
        return false;
    }
    targetPath_ = *systemPath;
    return true;
}

void ReplacingFile::writeThrough(const char* data, std::size_t size)
{
    if (!flush())
        return;
    if (size >= capacity_) {
        if (!writeAll(data, size))
            failed_ = true;
        return;
    }
    std::memcpy(buffer_.get(), data, size);
    used_ = size;
}

bool ReplacingFile::flush()
{
    if (used_ == 0)
        return !failed_;
    if (!writeAll(buffer_.get(), used_))
        failed_ = true;
    used_ = 0;
    return !failed_;
}

bool ReplacingFile::writeAll(const char* data, std::size_t size)
{
    return fd_ >= 0 && FileSystem::writeAll(fd_, data, size);
}

bool ReplacingFile::close()
{
    if (fd_ < 0)
        return false;
    bool ok = flush();
    if (::close(fd_) != 0)
        ok = false;
    fd_ = -1;
    if (ok && std::rename(partPath_.c_str(), targetPath_.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(partPath_.c_str());
    partPath_.clear();
    targetPath_.clear();
    return ok;
}

void ReplacingFile::discard()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(partPath_.c_str());
    partPath_.clear();
    targetPath_.clear();
    used_ = 0;
}

} // namespace platform
