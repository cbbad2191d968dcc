#pragma once
// Parser for a VS_VERSIONINFO resource: the fixed version block, the translation table and
// the string tables. Bounded: lengths that leave their parent end the walk, nesting is limited.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace quillon::pe {

struct Translation {
    quint16 language = 0;
    quint16 codePage = 0;
    // "040904E4": language and code page as two four-digit upper-case hexadecimal numbers.
    QString blockName() const;
};

struct VersionInfo {
    bool hasFixedInfo = false;
    quint16 fileVersion[4] = {0, 0, 0, 0};
    quint16 productVersion[4] = {0, 0, 0, 0};
    QList<Translation> translations;
    // String tables by block name (upper-cased, e.g. "040904E4"), keys as stored.
    QHash<QString, QHash<QString, QString>> stringTables;

    // A value of a block, block name and key compared without regard to case; empty when absent.
    QString stringValue(const QString& block, const QString& key) const;
};

// No value when the data does not start with a well-formed VS_VERSIONINFO.
std::optional<VersionInfo> ParseVersionInfo(const QByteArray& data);

} // namespace quillon::pe
