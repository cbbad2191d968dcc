#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {
namespace {

class PosixFileLock final : public FileLock {
public:
    PosixFileLock(std::string path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    ~PosixFileLock() override {
        // Removed while still held: a process that opened the old file finds it unlinked when it
        // gets the lock, and tries again with a new one.
        ::unlink(m_path.c_str());
        ::close(m_fd);
    }
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

private:
    std::string m_path;
    int m_fd;
};

} // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        // O_CLOEXEC: programs started during an installation (Total Commander, Wine) must not
        // inherit the lock and keep it after we end.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0)
            return nullptr;
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        // The holder before us may have removed the name between our open and our lock.
        struct stat named {};
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
            named.st_ino == opened.st_ino)
            return std::make_unique<PosixFileLock>(path, fd);
        ::close(fd);
    }
    return nullptr;
}

} // namespace quillon::platform
