#include "platform/FileSystem.h"

#include "platform/CodePage.h"
#include "platform/ReplacingFile.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

// A conversion is only trusted when it converts back to the same bytes;
// otherwise replacement characters would silently name another file.
std::optional<std::string> convertExactly(std::string_view text, std::string (*to)(std::string_view),
                                          std::string (*back)(std::string_view))
{
    std::string converted = to(text);
    if (back(converted) != text)
        return std::nullopt;
    return converted;
}

// The system's name for a path; nullopt for an empty one, which names no file,
// and for one holding NUL, which the system would read shortened.
std::optional<std::string> systemName(std::string_view path)
{
    std::optional<std::string> name = FileSystem::toSystemPath(path);
    if (name && (name->empty() || name->find('\0') != std::string::npos))
        return std::nullopt;
    return name;
}

struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

bool FileSystem::writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> FileSystem::toSystemPath(std::string_view gbkPath)
{
    return convertExactly(gbkPath, gbkToUtf8, utf8ToGbk);
}

std::optional<std::string> FileSystem::fromSystemPath(std::string_view systemPath)
{
    return convertExactly(systemPath, utf8ToGbk, gbkToUtf8);
}

std::optional<std::string> FileSystem::programDirectory()
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::nullopt;
    std::string directory = program.parent_path().string();
    while (directory.size() > 1 && directory.back() == separator)
        directory.pop_back();
    return fromSystemPath(directory);
}

std::string FileSystem::joinPath(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    path += separator;
    path += name;
    return path;
}

bool FileSystem::exists(std::string_view path)
{
    const std::optional<std::string> name = systemName(path);
    struct stat info;
    return name && ::stat(name->c_str(), &info) == 0;
}

bool FileSystem::isDirectory(std::string_view path)
{
    const std::optional<std::string> name = systemName(path);
    struct stat info;
    return name && ::stat(name->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::uint64_t> FileSystem::fileSize(std::string_view path)
{
    const std::optional<std::string> name = systemName(path);
    struct stat info;
    if (!name || ::stat(name->c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool FileSystem::writeFile(std::string_view path, std::string_view bytes)
{
    const std::optional<std::string> name = systemName(path);
    if (!name)
        return false;
    const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

bool FileSystem::replaceFile(std::string_view path, std::string_view bytes)
{
    ReplacingFile file(0);
    if (!file.create(path))
        return false;
    file.write(bytes);
    return file.close();
}

bool FileSystem::readFile(std::string_view path, std::string& bytes, std::size_t limit)
{
    const std::optional<std::string> name = systemName(path);
    if (!name)
        return false;
    const Descriptor file{::open(name->c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return false;
    std::string content;
    char buffer[65536];
    while (content.size() < limit) {
        const ssize_t n = ::read(file.fd, buffer, std::min(sizeof buffer, limit - content.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    bytes = std::move(content);
    return true;
}

bool FileSystem::removeFile(std::string_view path)
{
    const std::optional<std::string> name = systemName(path);
    return name && (::unlink(name->c_str()) == 0 || errno == ENOENT);
}

bool FileSystem::rename(std::string_view from, std::string_view to)
{
    const std::optional<std::string> fromName = systemName(from), toName = systemName(to);
    return fromName && toName && ::rename(fromName->c_str(), toName->c_str()) == 0;
}

bool FileSystem::copyFile(std::string_view from, std::string_view to)
{
    const std::optional<std::string> fromName = systemName(from), toName = systemName(to);
    if (!fromName || !toName)
        return false;
    const Descriptor source{::open(fromName->c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info;
    if (source.fd < 0 || ::fstat(source.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int target = ::open(toName->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    if (target < 0)
        return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(source.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!writeAll(target, buffer, static_cast<std::size_t>(n))) {
            ok = false;
            break;
        }
    }
    if (::close(target) != 0)
        ok = false;
    if (!ok)
        ::unlink(toName->c_str());
    return ok;
}

bool FileSystem::createDirectories(std::string_view path)
{
    const std::optional<std::string> name = systemName(path);
    if (!name)
        return false;
    std::error_code error;
    std::filesystem::create_directories(*name, error);
    return std::filesystem::is_directory(*name, error);
}

bool FileSystem::listDirectory(std::string_view directory, std::vector<std::string>& names)
{
    const std::optional<std::string> name = systemName(directory);
    DIR* listing = name ? ::opendir(name->c_str()) : nullptr;
    if (listing == nullptr)
        return false;
    names.clear();
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..")
            continue;
        if (std::optional<std::string> gbk = fromSystemPath(entryName))
            names.push_back(std::move(*gbk));
    }
    ::closedir(listing);
    return true;
}

} // namespace platform
