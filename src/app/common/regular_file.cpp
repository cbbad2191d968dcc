#include "app/common/regular_file.h"

#include <string>

#include "platform/regular_file.h"

namespace quillon {

bool OpenRegularFile(QFile& file, QIODevice::OpenMode extra) {
    const QIODevice::OpenMode mode = QIODevice::ReadOnly | extra;
    const QString name = file.fileName();
    if (name.startsWith(u':') || name.startsWith(u"qrc:"))
        return file.open(mode);
#ifdef Q_OS_WIN
    const QByteArray path = name.toUtf8();
#else
    const QByteArray path = QFile::encodeName(name);
#endif
    const int fd = platform::OpenRegularFileForReading(std::string(path.constData(), size_t(path.size())));
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        platform::CloseFileDescriptor(fd);
        return false;
    }
    return true;
}

} // namespace quillon
