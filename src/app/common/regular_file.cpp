#include "app/common/regular_file.h"

#include <string>

#include "platform/regular_file.h"

namespace quillon {

bool OpenRegularFile(QFile& file, QIODevice::OpenMode extra) {
    const QIODevice::OpenMode mode = QIODevice::ReadOnly | extra;
    const QString name = file.fileName();
    if (name.startsWith(u':') || name.startsWith(u"qrc:"))
        return file.open(mode);
    const int fd = platform::OpenRegularFileForReading(PlatformPath(name));
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        platform::CloseFileDescriptor(fd);
        return false;
    }
    return true;
}

std::string PlatformPath(const QString& path) {
#ifdef Q_OS_WIN
    const QByteArray bytes = path.toUtf8();
#else
    const QByteArray bytes = QFile::encodeName(path);
#endif
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace quillon
