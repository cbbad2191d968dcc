#include "install/backup_catalog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#include "install/zip_archive.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kDateFormat = u"dd-MM-yyyy"_s;

// The archive's copy of the item's file, unpacked alone: the rest of the archive may be large.
QString versionOfCopy(const BackupArchive& backup, const QString& fileName, const BackupVersionReader& read,
                      const QString& scratchParent, const UnpackLimits& limits, QStringList& problems) {
    std::unique_ptr<QTemporaryDir> scratch;
    if (scratchParent.isEmpty()) {
        scratch = std::make_unique<QTemporaryDir>();
    } else {
        QDir().mkpath(scratchParent);
        scratch = std::make_unique<QTemporaryDir>(scratchParent + u"/backup_XXXXXX"_s);
    }
    if (!scratch->isValid()) {
        problems.append(
            u"%1: no temporary folder to read it in"_s.arg(QDir::toNativeSeparators(backup.path)));
        return {};
    }
    const QString copy = scratch->path() + u'/' + fileName;
    if (const ArchiveResult unpacked = DecompressZipEntryDisk(backup.path, fileName, copy, limits);
        !unpacked) {
        problems.append(QDir::toNativeSeparators(backup.path) + u": "_s + unpacked.error);
        return {};
    }
    return read(copy);
}

} // namespace

std::optional<BackupArchiveNameParts> ParseBackupArchiveName(const QString& fileName) {
    static const QRegularExpression pattern(u"^backup_(\\d{2}-\\d{2}-\\d{4})(?:_(\\d{1,4}))?_QN\\.zip$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    BackupArchiveNameParts parts;
    parts.date = QDate::fromString(match.captured(1), kDateFormat);
    if (!parts.date.isValid())
        return std::nullopt;
    if (match.hasCaptured(2)) {
        parts.sequence = match.captured(2).toInt();
        // "_1" is never written: the day's first archive carries no number.
        if (parts.sequence < 2)
            return std::nullopt;
    }
    return parts;
}

QString NumberedBackupArchiveName(const QDate& day, int sequence) {
    if (sequence <= 1)
        return BackupArchiveName(day);
    return u"backup_"_s + day.toString(kDateFormat) + u'_' + QString::number(sequence) + u"_QN.zip"_s;
}

QString FreeBackupArchiveName(const QString& folder, const QDate& day) {
    const QStringList present = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (int sequence = 1;; ++sequence) {
        const QString name = NumberedBackupArchiveName(day, sequence);
        if (!present.contains(name, Qt::CaseInsensitive))
            return name;
    }
}

QString BackupArchive::label() const {
    const QString day = date.toString(kDateFormat);
    return sequence > 1 ? day + u'_' + QString::number(sequence) : day;
}

BackupListing ListItemBackups(const QString& itemFile, const BackupVersionReader& readVersion,
                              const QString& scratchParent, const UnpackLimits& limits) {
    BackupListing listing;
    const QFileInfo item(itemFile);
    const QString fileName = item.fileName();
    const QDir folder(item.absolutePath());
    const QStringList candidates = folder.entryList({u"backup_*.zip"_s}, QDir::Files | QDir::Hidden);
    for (const QString& name : candidates) {
        const std::optional<BackupArchiveNameParts> parts = ParseBackupArchiveName(name);
        if (!parts)
            continue;
        BackupArchive backup;
        backup.path = folder.absoluteFilePath(name);
        backup.date = parts->date;
        backup.sequence = parts->sequence;
        backup.written = QFileInfo(backup.path).lastModified();
        QString error;
        const std::optional<QStringList> entries = ZipEntryNames(backup.path, &error);
        if (!entries) {
            listing.problems.append(QDir::toNativeSeparators(backup.path) + u": "_s + error);
            continue;
        }
        backup.files = *entries;
        const auto copies =
            std::count_if(backup.files.cbegin(), backup.files.cend(), [&](const QString& entry) {
                return entry.compare(fileName, Qt::CaseInsensitive) == 0;
            });
        if (copies == 0)
            continue;
        // Which of them a restore would put back is chance: such an archive is no backup of ours.
        if (copies > 1) {
            listing.problems.append(QDir::toNativeSeparators(backup.path) + u": "_s +
                                    u"it holds %1 more than once, in different letter case"_s.arg(fileName));
            continue;
        }
        if (readVersion)
            backup.version =
                versionOfCopy(backup, fileName, readVersion, scratchParent, limits, listing.problems);
        listing.backups.append(backup);
    }
    // The day in the name first: a copied folder may carry any modification time. Within a day
    // the later write wins, and the number where the clock cannot tell. A day still to come was
    // written by no installation: such archives come last, never in place of the newest backup.
    const QDate today = QDate::currentDate();
    std::sort(listing.backups.begin(), listing.backups.end(),
              [today](const BackupArchive& a, const BackupArchive& b) {
                  const bool aFuture = a.date > today;
                  const bool bFuture = b.date > today;
                  if (aFuture != bFuture)
                      return bFuture;
                  if (a.date != b.date)
                      return a.date > b.date;
                  if (a.written != b.written)
                      return a.written > b.written;
                  return a.sequence > b.sequence;
              });
    return listing;
}

bool HasItemBackup(const QString& itemFile) {
    return !ListItemBackups(itemFile).backups.isEmpty();
}

std::optional<BackupArchive> FindBackup(const QList<BackupArchive>& backups, const QString& choice) {
    const QString wanted = choice.trimmed();
    for (const BackupArchive& backup : backups) {
        if (backup.label() == wanted ||
            QFileInfo(backup.path).fileName().compare(wanted, Qt::CaseInsensitive) == 0)
            return backup;
    }
    // The list is newest first.
    const QDate day = QDate::fromString(wanted, kDateFormat);
    for (const BackupArchive& backup : backups) {
        if (day.isValid() && backup.date == day)
            return backup;
    }
    return std::nullopt;
}

} // namespace quillon
