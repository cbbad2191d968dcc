#include "support/rar_writer.h"

#include <zlib.h>

#include <algorithm>

namespace quillon::test {

namespace {

void putLE(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

QByteArray withHeaderCrc(const QByteArray& headerWithoutCrc) {
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(headerWithoutCrc.constData()),
                           static_cast<uInt>(headerWithoutCrc.size()));
    QByteArray block;
    putLE(block, static_cast<quint32>(crc & 0xFFFF), 2);
    return block + headerWithoutCrc;
}

} // namespace

// A marker block, the archive header, one file header per member followed by its data, and the
// end block.
QByteArray storedRar(const QList<RarMember>& members) {
    QByteArray out("Rar!\x1a\x07\x00", 7);
    QByteArray main;
    putLE(main, 0x73, 1);
    putLE(main, 0, 2);
    putLE(main, 13, 2);
    putLE(main, 0, 6);
    out += withHeaderCrc(main);
    for (const RarMember& m : members) {
        const bool utf8 = std::any_of(m.name.begin(), m.name.end(), [](char c) { return (c & 0x80) != 0; });
        quint32 flags = 0x8000;
        if (m.directory)
            flags |= 0xE0;
        if (utf8)
            flags |= 0x200; // a Unicode name without the compressed part is stored as UTF-8
        const quint32 crc = static_cast<quint32>(
            crc32(0, reinterpret_cast<const Bytef*>(m.data.constData()), static_cast<uInt>(m.data.size())));
        QByteArray h;
        putLE(h, 0x74, 1);
        putLE(h, flags, 2);
        putLE(h, static_cast<quint32>(32 + m.name.size()), 2);
        putLE(h, static_cast<quint32>(m.data.size()), 4); // packed size
        putLE(h, static_cast<quint32>(m.data.size()), 4); // unpacked size
        putLE(h, m.unixSymlink ? 3 : 2, 1);               // host: Unix or Win32
        putLE(h, crc, 4);
        putLE(h, (44u << 25) | (3u << 21) | (7u << 16) | (12u << 11), 4); // 2024-03-07 12:00
        putLE(h, 20, 1);                                                  // version to unpack
        putLE(h, 0x30, 1);                                                // method: store
        putLE(h, static_cast<quint32>(m.name.size()), 2);
        putLE(h, m.unixSymlink ? 0120777u : (m.directory ? 0x10u : 0x20u), 4);
        h += m.name;
        out += withHeaderCrc(h) + m.data;
    }
    QByteArray end;
    putLE(end, 0x7B, 1);
    putLE(end, 0x4000, 2);
    putLE(end, 7, 2);
    return out + withHeaderCrc(end);
}

} // namespace quillon::test
