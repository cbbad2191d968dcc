#pragma once
// The backup archives beside an item's files: those an installation leaves
// ("backup_dd-mm-yyyy_QN.zip") and those a restore leaves of what it replaced
// ("backup_dd-mm-yyyy_N_QN.zip" when the day's name is taken), newest first, each with the
// files it holds and the version of the item's file as it was backed up.
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "install/unpack_limits.h"

namespace quillon {

struct BackupArchiveNameParts {
    QDate date;
    int sequence = 1; // 1 for the day's first archive
};

// The day and number a backup archive's file name carries; none for any other name.
std::optional<BackupArchiveNameParts> ParseBackupArchiveName(const QString& fileName);
// The name of the n-th archive of the day (the first is the installation's own name).
QString NumberedBackupArchiveName(const QDate& day, int sequence);
// The first name of the day that no file in folder has yet.
QString FreeBackupArchiveName(const QString& folder, const QDate& day);

struct BackupArchive {
    QString path;
    QDate date;
    int sequence = 1;
    QDateTime written;
    QStringList files; // relative to the item's folder, "/" separated, as stored
    QString version;   // of the item's file as backed up; empty when no source gave one

    // What --from takes to choose it: "dd-mm-yyyy", or "dd-mm-yyyy_N" for a later one of the day.
    QString label() const;
};

// The version of a file unpacked from a backup; the rest of the archive lies beside it.
using BackupVersionReader = std::function<QString(const QString& unpackedFile)>;

struct BackupListing {
    QList<BackupArchive> backups; // newest first
    QStringList problems;         // archives that could not be read, with the reason
};

// The archives in itemFile's folder that hold itemFile (name compared without regard to case).
// With readVersion, each archive's copy of the item's file alone is unpacked below scratchParent
// (empty: the system's temporary folder), held to limits as a package is, and read.
BackupListing ListItemBackups(const QString& itemFile, const BackupVersionReader& readVersion = {},
                              const QString& scratchParent = {}, const UnpackLimits& limits = {});

// Whether a backup archive beside itemFile holds it; no version is read.
bool HasItemBackup(const QString& itemFile);

// The backup a choice names: its label as listed, or the archive's file name. A day whose
// unnumbered archive is gone names its newest one.
std::optional<BackupArchive> FindBackup(const QList<BackupArchive>& backups, const QString& choice);

} // namespace quillon
