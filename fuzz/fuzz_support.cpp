#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace quillon::fuzz {

QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QList<QByteArray> splitInput(const QByteArray& bytes, int count) {
    QList<QByteArray> parts;
    qsizetype from = 0;
    while (parts.size() + 1 < count) {
        const qsizetype newline = bytes.indexOf('\n', from);
        if (newline < 0)
            break;
        parts.append(bytes.mid(from, newline - from));
        from = newline + 1;
    }
    parts.append(bytes.mid(from));
    while (parts.size() < count)
        parts.append(QByteArray());
    return parts;
}

const QString& scratchDir() {
    static const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/quillon-fuzz-XXXXXX"));
    static const QString path = dir.path();
    if (!dir.isValid())
        fail("the scratch folder can be created", __FILE__, __LINE__);
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("the scratch file can be written", __FILE__, __LINE__);
}

void fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "property broken: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

} // namespace quillon::fuzz
