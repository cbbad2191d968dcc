#include "install/archive_entry_guard.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool onlyDotsAndSpaces(const QString& part) {
    for (const QChar c : part) {
        if (c != u'.' && c != u' ')
            return false;
    }
    return true;
}

ArchiveEntryVerdict refuse(const QString& reason) {
    return {QString(), reason};
}

} // namespace

ArchiveEntryVerdict CheckArchiveEntry(const QString& storedName, ArchiveEntryKind kind) {
    switch (kind) {
    case ArchiveEntryKind::File:
    case ArchiveEntryKind::Directory:
        break;
    case ArchiveEntryKind::Link:
        return refuse(u"links are not unpacked"_s);
    case ArchiveEntryKind::Other:
        return refuse(u"special files are not unpacked"_s);
    }
    if (storedName.isEmpty())
        return refuse(u"empty name"_s);
    for (const QChar c : storedName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return refuse(u"control character in the name"_s);
    }
    if (storedName.front() == u'/' || storedName.front() == u'\\')
        return refuse(u"absolute path"_s);
    if (storedName.contains(u':'))
        return refuse(u"drive letter or stream name"_s);

    QStringList kept;
    const QStringList parts = QString(storedName).replace(u'\\', u'/').split(u'/');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == u"."_s)
            continue;
        if (onlyDotsAndSpaces(part))
            return refuse(u"parent folder reference"_s);
        kept.append(part);
    }
    if (kept.isEmpty())
        return refuse(u"empty name"_s);
    return {kept.join(u'/'), QString()};
}

bool StaysBelowRoot(const QString& root, const QString& relativePath) {
    QString path = root;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    const QStringList parts = relativePath.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == u".."_s)
            return false;
        path += u'/' + part;
        const QFileInfo info(path);
        if (info.isSymLink() || info.isJunction())
            return false;
        if (!info.exists())
            return true; // nothing below a missing part can be a link yet
    }
    return true;
}

} // namespace quillon
