#include "install/install_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>

#include "app/common/atomic_file.h"
#include "app/common/files.h"
#include "install/archive_entry_guard.h"
#include "install/backup_catalog.h"
#include "install/install_journal.h"
#include "install/zip_archive.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool containsFolder(const QString& slashRelative, QLatin1StringView folder) {
    return slashRelative.contains(u'/' + folder + u'/', Qt::CaseInsensitive);
}

// "/d/" and "/e/" collapse to "/" everywhere, also where they follow each other.
QString flattenLanguageFolders(QString slashRelative) {
    for (const auto folder : {"/d/"_L1, "/e/"_L1}) {
        QString before;
        do {
            before = slashRelative;
            slashRelative.replace(folder, "/"_L1, Qt::CaseInsensitive);
        } while (before != slashRelative);
    }
    return slashRelative;
}

// A file in folder whose name equals fileName in any letter case.
void deleteFileIgnoringCase(const QString& folder, const QString& fileName) {
    const QStringList found = QDir(folder).entryList({fileName}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : found) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            ForceDeleteFile(folder + u'/' + name);
    }
}

// The path below root with each part spelled as the existing file or folder spells it, when one
// matches without regard to case: Total Commander's world is Windows, where "SAMPACK.WCX64" is
// the installed "sampack.wcx64" and must replace it, not land beside it.
QString existingSpelling(const QString& root, const QString& relative) {
    QString folder = root;
    QStringList parts = relative.split(u'/');
    for (QString& part : parts) {
        if (!QFileInfo::exists(folder + u'/' + part)) {
            const QStringList names =
                QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            for (const QString& name : names) {
                if (name.compare(part, Qt::CaseInsensitive) == 0) {
                    part = name;
                    break;
                }
            }
        }
        folder += u'/' + part;
    }
    return parts.join(u'/');
}

void runPostInstallActions(const InstallCopyOptions& options) {
    for (const QString& name : PostInstallRemovals(options))
        deleteFileIgnoringCase(options.itemDir, name);
}

// Saves the targets that will be replaced into the day's backup archive. An archive of the day
// already there (an earlier installation into the same folder) keeps its entries: they hold the
// older state of those files.
QString writeBackup(const InstallCopyOptions& options, const QStringList& relativeTargets,
                    QString* archivePath, QString* setAsideNote) {
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    const QString archiveName = BackupArchiveName(options.today);
    const QString staging = WithoutTrailingSlash(options.backupStaging);
    if (staging.isEmpty())
        return u"no folder for the backup"_s;
    DeleteDirectoryTree(staging);
    if (!QDir().mkpath(staging))
        return u"cannot create %1"_s.arg(QDir::toNativeSeparators(staging));

    QString error;
    const QString existing = itemDir + u'/' + archiveName;
    if (QString setAside; QFileInfo(existing).isFile() &&
                          ReadDaysBackup(existing, staging, options.unpackLimits, false, &setAside, &error) &&
                          !setAside.isEmpty())
        *setAsideNote =
            u"the backup archive %1 could not be read; it is kept as %2 and a new one was started"_s.arg(
                QDir::toNativeSeparators(existing), QFileInfo(setAside).fileName());
    for (const QString& relative : relativeTargets) {
        if (!error.isEmpty())
            break;
        // The archive may spell a file it holds in another letter case; it is the same file.
        const QString saved = staging + u'/' + existingSpelling(staging, relative);
        if (QFileInfo::exists(saved))
            continue;
        QDir().mkpath(QFileInfo(saved).absolutePath());
        const QString original = itemDir + u'/' + relative;
        if (QString why; !CopyFileAtomically(original, saved, &why))
            error = u"%1 cannot be backed up: %2"_s.arg(QDir::toNativeSeparators(original), why);
    }
    if (error.isEmpty()) {
        QStringList files;
        FindFilesRecursive(staging, u"*.*"_s, true, files);
        const ArchiveResult written = ZipBackupFile(itemDir, archiveName, staging, files);
        if (written)
            *archivePath = itemDir + u'/' + archiveName;
        else
            error = u"the backup archive %1 cannot be written: %2"_s.arg(QDir::toNativeSeparators(existing),
                                                                         written.error);
    }
    DeleteDirectoryTree(staging);
    return error;
}

} // namespace

bool ReadDaysBackup(const QString& archive, const QString& staging, const UnpackLimits& limits, bool preview,
                    QString* setAsideAs, QString* errorText) {
    setAsideAs->clear();
    const ArchiveResult unpacked = DecompressZipDisk(archive, staging, limits);
    if (unpacked)
        return true;
    // One damaged entry must not stop every update of the folder until midnight.
    DeleteDirectoryTree(staging);
    QDir().mkpath(staging);
    const QString base = archive.chopped(4) + u".damaged"_s;
    QString target = base + u".zip"_s;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QString::number(n) + u".zip"_s;
    *setAsideAs = target;
    if (preview)
        return true;
    if (QString why; !MoveFileReplacing(archive, target, false, &why)) {
        *errorText = u"the backup archive %1 cannot be read (%2) nor set aside: %3"_s.arg(
            QDir::toNativeSeparators(archive), unpacked.error, why);
        return false;
    }
    return true;
}

QStringList PostInstallRemovals(const InstallCopyOptions& options) {
    QStringList names;
    const AfterInstall action = options.postInstallAction;
    if (hasAction(action, AfterInstall::DeleteInstallInfo))
        names.append(u"pluginst.inf"_s);
    if (hasAction(action, AfterInstall::DeleteOtherBitness)) {
        const QString suffix = QFileInfo(options.itemPath).suffix();
        if (!suffix.isEmpty())
            names.append(u'.' + suffix + u"64"_s);
    }
    return names;
}

QStringList PlanBackup(const InstallCopyOptions& options, const QList<PlannedFile>& plan) {
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    QStringList toBackup;
    for (const PlannedFile& file : plan) {
        if (NeedsBackup(options.preInstallAction, itemDir + u'/' + file.relativeTarget) &&
            !toBackup.contains(file.relativeTarget, Qt::CaseInsensitive))
            toBackup.append(file.relativeTarget);
    }
    return toBackup;
}

bool NeedsBackup(BackupBeforeInstall preInstallAction, const QString& target) {
    const QFileInfo info(target);
    if (!info.isFile())
        return false; // nothing is replaced
    if (preInstallAction == BackupBeforeInstall::Every)
        return true;
    if (preInstallAction == BackupBeforeInstall::TextFilesOnly)
        return FileHasNoNullBytes(target);
    return false;
}

QList<PlannedFile> PlanInstallCopy(const InstallCopyOptions& options, QStringList* skipped,
                                   QStringList* refused) {
    const QString source = WithoutTrailingSlash(options.copySource);
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    QStringList files;
    FindFilesRecursive(source, u"*.*"_s, true, files);
    const bool german = options.tcLanguage.compare("DEU"_L1, Qt::CaseInsensitive) == 0;

    QList<PlannedFile> plan;
    std::set<QString> plannedTargets; // case-folded
    for (const QString& file : files) {
        // Only the part below the package counts: the temporary folder may well be called "d".
        QString slashRelative = u'/' + QDir(source).relativeFilePath(file);
        auto skip = [&](const QString& reason) {
            if (skipped)
                skipped->append(QDir::toNativeSeparators(file) + u": "_s + reason);
        };
        if (options.totalCommander) {
            if (containsFolder(slashRelative, german ? "e"_L1 : "d"_L1)) {
                skip(u"other language"_s);
                continue;
            }
            if (QFileInfo(file).fileName().compare("default.bar"_L1, Qt::CaseInsensitive) == 0) {
                skip(u"the user's button bar is kept"_s);
                continue;
            }
            slashRelative = flattenLanguageFolders(slashRelative);
        }
        const QString relative = slashRelative.mid(1);
        const ArchiveEntryVerdict verdict = CheckArchiveEntry(relative, ArchiveEntryKind::File);
        if (!verdict.safe()) {
            if (refused)
                refused->append(relative + u": "_s + verdict.refusal);
            continue;
        }
        const QString target = existingSpelling(itemDir, verdict.relativePath);
        const QString folder = QFileInfo(target).path();
        if (folder != u"."_s && !StaysBelowRoot(itemDir, folder)) {
            if (refused)
                refused->append(QDir::toNativeSeparators(itemDir + u'/' + target) +
                                u": its folder is a symbolic link, which may lead anywhere"_s);
            continue;
        }
        // A package file under a backup's name would replace the backup just written, or pass
        // for a backup of a day of its choosing.
        if (ParseBackupArchiveName(QFileInfo(target).fileName())) {
            if (refused)
                refused->append(relative + u": Quillon keeps its backups under this name"_s);
            continue;
        }
        // Two entries for one file of a folder that ignores letter case: which one lands would
        // be chance, and a listing could show the other.
        if (!plannedTargets.insert(target.toCaseFolded()).second) {
            if (refused)
                refused->append(relative +
                                u": the package holds this file twice, in different letter case"_s);
            continue;
        }
        plan.append({file, target});
    }
    return plan;
}

InstallCopyResult RunInstallCopy(const InstallCopyOptions& options) {
    InstallCopyResult result;
    QStringList refused;
    const QList<PlannedFile> plan = PlanInstallCopy(options, &result.skipped, &refused);
    result.filesFound = static_cast<int>(plan.size());
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    // A package that cannot go in whole does not go in at all: half a plugin is worse than the
    // old one.
    if (!refused.isEmpty()) {
        result.error = u"not installed: "_s + refused.join(u"; "_s);
        return result;
    }

    const QStringList toBackup = PlanBackup(options, plan);
    if (!toBackup.isEmpty()) {
        QString setAsideNote;
        result.error = writeBackup(options, toBackup, &result.backupArchive, &setAsideNote);
        if (!setAsideNote.isEmpty())
            result.skipped.append(setAsideNote);
        if (!result.error.isEmpty())
            return result;
    }

    InstallJournal journal(options.journalPath);
    if (!options.movedAsideFrom.isEmpty())
        journal.setMovedAside(options.movedAsideTo, options.movedAsideFrom);
    QStringList targets;
    for (const PlannedFile& file : plan)
        targets.append(file.relativeTarget);
    if (!journal.begin(itemDir, targets, options.undoFolder, options.scratchFolders, &result.error))
        return result;
    for (const PlannedFile& file : plan) {
        const QString target = itemDir + u'/' + file.relativeTarget;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QString errorText;
        if (CopyFileAtomically(file.source, target, &errorText)) {
            result.copied.append(target);
            runPostInstallActions(options);
        } else {
            result.failed.append(target);
            result.failureReasons.append(errorText);
        }
        InstallStepReached();
    }
    journal.finish();
    return result;
}

} // namespace quillon
