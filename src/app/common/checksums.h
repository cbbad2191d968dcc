#pragma once
// CRC-32 as ZIP and IEEE 802.3 define it (zlib's crc32()).
#include <QByteArray>
#include <QString>

#include <optional>

namespace quillon {

// CRC-32 of every byte of the file; no value (and errorText) when it cannot be opened or read.
std::optional<quint32> FileCrc32(const QString& path, QString* errorText = nullptr);

// The same value, but 0 for a file that cannot be read (which a CRC of 0 cannot be told from).
quint32 FileCrc32OrZero(const QString& path);

quint32 Crc32OfBytes(const QByteArray& bytes);
// MD5 of every byte of the file as 32 lower-case hexadecimal digits; no value when it cannot be read.
std::optional<QString> FileMd5Hex(const QString& path);
quint32 Crc32OfBytes(const char* data, qsizetype size);

// CRC-32 in the two spellings stored keys use: decimal and eight upper-case hexadecimal digits.
QString crcDecimal(quint32 crc);
QString crcHex(quint32 crc);

} // namespace quillon
