#include "platform/FileBytes.h"

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace platform {
namespace {

struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

FileBytes::~FileBytes()
{
    release();
}

void FileBytes::release()
{
    if (mapped_ > 0)
        ::munmap(data_, mapped_);
    data_ = nullptr;
    size_ = mapped_ = 0;
}

bool FileBytes::read(std::string_view path)
{
    release();
    const std::optional<std::string> name = FileSystem::toSystemPath(path);
    if (!name || name->empty() || name->find('\0') != std::string::npos)
        return false;
    const Descriptor file{::open(name->c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat status {};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size == 0)
        return true;
    // Read into memory of our own rather than mapping the file: a mapped file
    // that another program cuts short while it is read would stop the program.
    void* memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return false;
    // Large pages, where the system grants them, spare a fault on every 4 KiB of a long file.
    ::madvise(memory, size, MADV_HUGEPAGE);
    data_ = static_cast<char*>(memory);
    mapped_ = size;
    // A file that shrinks meanwhile is read as far as it goes; one that grows, as far as it was.
    while (size_ < size) {
        const ssize_t got = ::read(file.fd, data_ + size_, size - size_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            release();
            return false;
        }
        if (got == 0)
            break;
        size_ += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace platform
