#include "app/common/own_version.h"

#include <QByteArrayView>
#include <QFile>

#include <cstring>

#include "app/common/regular_file.h"

namespace quillon {

namespace {

// The one copy of the text in the program: the reader takes its prefix from here, so a reader
// linked into the program keeps the marker with it.
[[gnu::used]] constexpr char kMarker[] = "QUILLON-VERSION:" QUILLON_VERSION;
constexpr qsizetype kPrefixLength = 16;
static_assert(sizeof(kMarker) > kPrefixLength && kMarker[kPrefixLength - 1] == ':');

// Versions are short; a longer run of version characters is something else.
constexpr qsizetype kMaxVersionLength = 32;
// A debug build with its symbols stays well below this; larger files are not ours.
constexpr qint64 kMaxScannedSize = qint64(1) << 30;

bool isVersionChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '-' || c == '_' || c == '+';
}

// The version that follows the prefix at data, ended by a NUL; empty when malformed.
QString versionAt(QByteArrayView rest) {
    qsizetype length = 0;
    while (length < rest.size() && length <= kMaxVersionLength && isVersionChar(rest.at(length)))
        ++length;
    if (length == 0 || length > kMaxVersionLength || length >= rest.size() || rest.at(length) != '\0')
        return {};
    const QByteArrayView version = rest.first(length);
    if (version.front() < '0' || version.front() > '9')
        return {};
    return QString::fromLatin1(version);
}

} // namespace

const char* OwnVersionMarker() {
    return kMarker;
}

QString ReadOwnVersionMarker(const QString& path) {
    QFile file(path);
    if (!OpenRegularFile(file) || file.size() <= kPrefixLength || file.size() > kMaxScannedSize)
        return {};
    const qint64 size = file.size();
    const uchar* mapped = file.map(0, size);
    QByteArray read;
    if (!mapped) {
        read = file.readAll();
        if (read.size() != size)
            return {};
    }
    const QByteArrayView data =
        mapped ? QByteArrayView(reinterpret_cast<const char*>(mapped), size) : QByteArrayView(read);
    const QByteArrayView prefix(kMarker, kPrefixLength);
    for (qsizetype at = data.indexOf(prefix); at >= 0; at = data.indexOf(prefix, at + 1)) {
        const QString version = versionAt(data.sliced(at + kPrefixLength));
        if (!version.isEmpty())
            return version;
    }
    return {};
}

} // namespace quillon
