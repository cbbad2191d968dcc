#pragma once
// ZIP packages: unpacking a whole package, reading one entry into memory (the databases), and
// writing the backup archive of the files an installation replaces.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

#include "install/archive_result.h"
#include "install/unpack_limits.h"

namespace quillon {

// Unpacks every entry into extractTo (created when missing), restoring stored folders. A ZIP
// behind an executable stub (a self-extracting installer) reads like any ZIP. Unsafe entry
// names are refused (see CheckArchiveEntry) and make the result a failure, as does a package
// over the limits.
ArchiveResult DecompressZipDisk(const QString& filePath, const QString& extractTo,
                                const UnpackLimits& limits = {});

// Unpacks only the file entry entryName (letter case ignored) into target, held to limits.
ArchiveResult DecompressZipEntryDisk(const QString& filePath, const QString& entryName, const QString& target,
                                     const UnpackLimits& limits = {});

// The data of the entry named extractName (folders separated by "/" or "\", compared without
// regard to case). Empty when the entry is missing, unreadable or larger than MaxInMemoryEntry.
inline constexpr qint64 MaxInMemoryEntry = 256LL * 1024 * 1024;
QByteArray DecompressZip(const QString& extractName, const QString& filePath);

// The names of the archive's file entries ("/" separated, as stored); no value when the archive
// cannot be read.
std::optional<QStringList> ZipEntryNames(const QString& filePath, QString* errorText = nullptr);

// Writes zipFolder/zipFileName (the folder is created when missing; an existing archive of that
// name is replaced) holding each file of files under its path relative to basePath, with UTF-8
// names. A file outside basePath, a missing file or a write failure fails the whole archive and
// leaves no partial one behind.
ArchiveResult ZipBackupFile(const QString& zipFolder, const QString& zipFileName, const QString& basePath,
                            const QStringList& files);

// "backup_dd-mm-yyyy_QN.zip" for the given day.
QString BackupArchiveName(const QDate& day);

} // namespace quillon
