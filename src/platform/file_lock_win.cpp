#include "platform/file_lock.h"

#include "platform/win_text.h"

namespace quillon::platform {
namespace {

// A file opened without sharing: nobody else can open it while the handle lives, and the
// system removes it when the handle closes, also when the process is killed.
class Win32FileLock final : public FileLock {
public:
    explicit Win32FileLock(HANDLE file) : m_file(file) {}
    ~Win32FileLock() override { CloseHandle(m_file); }
    Win32FileLock(const Win32FileLock&) = delete;
    Win32FileLock& operator=(const Win32FileLock&) = delete;

private:
    HANDLE m_file;
};

} // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
    SECURITY_ATTRIBUTES noInheritance{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    const HANDLE file =
        CreateFileW(win::toWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, &noInheritance, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32FileLock>(file);
}

} // namespace quillon::platform
