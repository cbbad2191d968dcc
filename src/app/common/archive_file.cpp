#include "app/common/archive_file.h"

#include <QFile>

#include <archive.h>

namespace quillon {

int OpenArchiveFile(archive* a, const QString& path, std::size_t blockSize) {
#ifdef Q_OS_WIN
    return archive_read_open_filename_w(a, reinterpret_cast<const wchar_t*>(path.utf16()), blockSize);
#else
    return archive_read_open_filename(a, QFile::encodeName(path).constData(), blockSize);
#endif
}

} // namespace quillon
