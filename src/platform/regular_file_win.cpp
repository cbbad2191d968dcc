#include "platform/regular_file.h"

#include <algorithm>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/win_text.h"

namespace quillon::platform {

int OpenRegularFileForReading(const std::string& path) {
    const int fd = ::_wopen(win::toWide(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0)
        return -1;
    // Reserved names (CON, NUL, COM1, ...) and pipes open as something other than a disk file.
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK) {
        ::_close(fd);
        return -1;
    }
    return fd;
}

int OpenRegularFileForReading(const std::string& path, std::int64_t& size) {
    const int fd = OpenRegularFileForReading(path);
    if (fd < 0)
        return -1;
    size = ::_filelengthi64(fd);
    if (size < 0) {
        ::_close(fd);
        return -1;
    }
    return fd;
}

std::int64_t ReadFileDescriptor(int fd, void* buffer, std::int64_t length) {
    auto* bytes = static_cast<char*>(buffer);
    std::int64_t filled = 0;
    while (filled < length) {
        const std::int64_t chunk = std::min<std::int64_t>(length - filled, 1 << 30);
        const int got = ::_read(fd, bytes + filled, static_cast<unsigned>(chunk));
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

void CloseFileDescriptor(int fd) {
    if (fd >= 0)
        ::_close(fd);
}

} // namespace quillon::platform
