#include "platform/FileSystem.h"

#include "platform/CodePage.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

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
    std::optional<std::string> systemPath = toSystemPath(path);
    struct stat info;
    return systemPath && !systemPath->empty() && ::stat(systemPath->c_str(), &info) == 0;
}

bool FileSystem::writeFile(std::string_view path, std::string_view bytes)
{
    std::optional<std::string> systemPath = toSystemPath(path);
    if (!systemPath || systemPath->empty())
        return false;
    int fd = ::open(systemPath->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = true;
    for (std::size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

bool FileSystem::readFile(std::string_view path, std::string& bytes)
{
    std::optional<std::string> systemPath = toSystemPath(path);
    if (!systemPath || systemPath->empty())
        return false;
    int fd = ::open(systemPath->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string content;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (ok)
        bytes = std::move(content);
    return ok;
}

bool FileSystem::removeFile(std::string_view path)
{
    std::optional<std::string> systemPath = toSystemPath(path);
    if (!systemPath || systemPath->empty())
        return false;
    return ::unlink(systemPath->c_str()) == 0 || errno == ENOENT;
}

} // namespace platform
