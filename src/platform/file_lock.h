#pragma once
// An exclusive lock on a file that a process holds until it lets go or ends. The system drops
// it when its holder dies, however it dies, so a lock found held means its holder is alive.
#include <memory>
#include <string>

namespace quillon::platform {

class FileLock {
public:
    virtual ~FileLock() = default; // lets go
};

// Takes the lock named by path (the file is created when missing and removed again when the
// lock is let go), or returns none at once when another process holds it or the file cannot be
// made. path: UTF-8 on Windows, the file system's bytes elsewhere.
std::unique_ptr<FileLock> TryLockFile(const std::string& path);

} // namespace quillon::platform
