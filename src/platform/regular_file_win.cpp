#include "platform/regular_file.h"

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

void CloseFileDescriptor(int fd) {
    if (fd >= 0)
        ::_close(fd);
}

} // namespace quillon::platform
