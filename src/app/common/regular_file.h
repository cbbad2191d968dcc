#pragma once
// QFile's read-only open for files that came from outside: only a regular file opens (see
// platform::OpenRegularFileForReading). Files compiled into the program open as usual.
#include <QFile>

#include <string>

namespace quillon {

// Opens file (its fileName()) for reading, with the extra flags (Text, Unbuffered); false,
// and nothing open, when it is missing, unreadable, or a FIFO, device, socket or folder.
bool OpenRegularFile(QFile& file, QIODevice::OpenMode extra = {});

// path as the platform layer's calls take it: UTF-8 on Windows (the ANSI code page cannot write
// every name), the file system's bytes elsewhere.
std::string PlatformPath(const QString& path);

} // namespace quillon
