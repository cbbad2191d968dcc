#include "platform/regular_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

int OpenRegularFileForReading(const std::string& path, std::int64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    // Of the status flags F_SETFL changes only O_NONBLOCK was set: one call clears it.
    if (::fcntl(fd, F_SETFL, 0) != 0) {
        ::close(fd);
        return -1;
    }
    size = info.st_size;
    return fd;
}

std::int64_t ReadFileDescriptor(int fd, void* buffer, std::int64_t length) {
    auto* bytes = static_cast<char*>(buffer);
    std::int64_t filled = 0;
    while (filled < length) {
        const ssize_t got = ::read(fd, bytes + filled, static_cast<size_t>(length - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

int OpenRegularFileForReading(const std::string& path) {
    std::int64_t size = 0;
    return OpenRegularFileForReading(path, size);
}

void CloseFileDescriptor(int fd) {
    if (fd >= 0)
        ::close(fd);
}

} // namespace quillon::platform
