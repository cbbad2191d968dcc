#pragma once
// Opening a file that came from outside (a Wine prefix, Total Commander's folder, a download)
// only when it is a regular file. A FIFO planted where user.reg or wincmd.ini belongs would
// block the first read for ever, and a device such as /dev/zero would never end.
#include <cstdint>
#include <string>

namespace quillon::platform {

// A read-only descriptor of path (links followed), or -1 when it cannot be opened or is not a
// regular file. The check is made on the opened descriptor, so the file cannot be swapped
// between the check and the read, and opening a FIFO does not wait for a writer. The caller
// closes the descriptor (or hands it to a QFile that does). path: UTF-8 on Windows, the
// file system's bytes elsewhere.
int OpenRegularFileForReading(const std::string& path);
// The same for a caller that reads the descriptor itself (ReadFileDescriptor) and needs the
// file's size: one look at the file serves both, where an inventory opens thousands of them.
int OpenRegularFileForReading(const std::string& path, std::int64_t& size);
// Reads up to length bytes, going on after short reads: the count read (less at the end of the
// file), or -1 on an error.
std::int64_t ReadFileDescriptor(int fd, void* buffer, std::int64_t length);
// Closes a descriptor from OpenRegularFileForReading that was not handed on.
void CloseFileDescriptor(int fd);

} // namespace quillon::platform
