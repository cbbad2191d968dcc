#include "app/common/checksums.h"

#include <QCryptographicHash>
#include <QFile>

#include <zlib.h>

#include <memory>

#include "app/common/regular_file.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

quint32 crcUpdate(quint32 crc, const char* data, qsizetype size) {
    // zlib takes uInt lengths; feed huge buffers in slices.
    constexpr qsizetype slice = qsizetype(1) << 30;
    while (size > 0) {
        const qsizetype n = std::min(size, slice);
        crc = quint32(crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(n)));
        data += n;
        size -= n;
    }
    return crc;
}

std::optional<quint32> crcOfFile(const QString& path, qsizetype blockSize, QString* errorText) {
    QFile file(path);
    if (!OpenRegularFile(file, QIODevice::Unbuffered)) {
        if (errorText)
            *errorText = file.errorString();
        return std::nullopt;
    }
    const auto buffer = std::make_unique<char[]>(size_t(blockSize));
    quint32 crc = quint32(crc32(0, nullptr, 0));
    for (;;) {
        const qint64 n = file.read(buffer.get(), blockSize);
        if (n < 0) {
            if (errorText)
                *errorText = file.errorString();
            return std::nullopt;
        }
        if (n == 0)
            break;
        crc = crcUpdate(crc, buffer.get(), qsizetype(n));
    }
    return crc;
}

} // namespace

std::optional<quint32> FileCrc32(const QString& path, QString* errorText) {
    return crcOfFile(path, 65536, errorText);
}

quint32 FileCrc32OrZero(const QString& path) {
    return crcOfFile(path, 65536, nullptr).value_or(0);
}

quint32 Crc32OfBytes(const char* data, qsizetype size) {
    return crcUpdate(quint32(crc32(0, nullptr, 0)), data, size);
}

quint32 Crc32OfBytes(const QByteArray& bytes) {
    return Crc32OfBytes(bytes.constData(), bytes.size());
}

std::optional<QString> FileMd5Hex(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!OpenRegularFile(file) || !hash.addData(&file) || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return QString::fromLatin1(hash.result().toHex());
}

QString crcDecimal(quint32 crc) {
    return QString::number(crc);
}

QString crcHex(quint32 crc) {
    return QString::number(crc, 16).toUpper().rightJustified(8, u'0');
}

} // namespace quillon
