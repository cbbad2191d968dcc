#pragma once
// libarchive's reading of an archive file by its name.
#include <QString>

#include <cstddef>

struct archive;

namespace quillon {

// archive_read_open_filename with the name as the system takes it: UTF-16 on Windows, where the
// ANSI form loses every character its code page cannot write (a user name in another script),
// the file system's bytes elsewhere. libarchive's result code.
int OpenArchiveFile(archive* a, const QString& path, std::size_t blockSize);

} // namespace quillon
