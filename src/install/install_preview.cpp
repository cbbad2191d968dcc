#include "install/install_preview.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "install/installer.h"
#include "install/zip_archive.h"
#include "platform/platform.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// The files PostInstallAction would delete: those in the folder then and those the copy brings.
QStringList removedAfterCopy(const InstallCopyOptions& options, const QStringList& writes,
                             const EarlierInstalls& earlier) {
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    QStringList candidates;
    for (const QString& name : QDir(itemDir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        candidates.append(itemDir + u'/' + name);
    candidates += earlier.writtenIn(itemDir);
    QStringList removed;
    for (const QString& name : PostInstallRemovals(options)) {
        for (const QString& path : std::as_const(candidates)) {
            if (QFileInfo(path).fileName().compare(name, Qt::CaseInsensitive) == 0 && earlier.isFile(path) &&
                !removed.contains(path))
                removed.append(path);
        }
        for (const QString& written : writes) {
            if (QFileInfo(written).path() == itemDir &&
                QFileInfo(written).fileName().compare(name, Qt::CaseInsensitive) == 0 &&
                !removed.contains(written))
                removed.append(written);
        }
    }
    return removed;
}

// The targets the real copy would save first, as PlanBackup finds them on the disk it meets.
QStringList plannedBackup(const InstallCopyOptions& options, const QList<PlannedFile>& plan,
                          const EarlierInstalls& earlier) {
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    QStringList toBackup;
    for (const PlannedFile& file : plan) {
        const QString target = itemDir + u'/' + file.relativeTarget;
        const bool needed =
            earlier.isFile(target) &&
            (options.preInstallAction == BackupBeforeInstall::Every ||
             (options.preInstallAction == BackupBeforeInstall::TextFilesOnly && earlier.isText(target)));
        if (needed && !toBackup.contains(file.relativeTarget, Qt::CaseInsensitive))
            toBackup.append(file.relativeTarget);
    }
    return toBackup;
}

} // namespace

InstallPreview PreviewInstallCopy(const InstallCopyOptions& options, EarlierInstalls* earlierInstalls) {
    EarlierInstalls none;
    EarlierInstalls& earlier = earlierInstalls ? *earlierInstalls : none;
    InstallPreview preview;
    preview.installs = true;
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    preview.itemDir = itemDir;
    QStringList refused;
    QList<PlannedFile> plan = PlanInstallCopy(options, &preview.skipped, &refused);
    if (!refused.isEmpty()) {
        preview.error = u"not installed: "_s + refused.join(u"; "_s);
        return preview;
    }
    if (plan.isEmpty()) {
        preview.error = u"the package holds no file to install"_s;
        return preview;
    }
    for (PlannedFile& file : plan) {
        // A file an earlier installation brought in another letter case is the one replaced.
        file.relativeTarget = earlier.spelling(itemDir + u'/' + file.relativeTarget).mid(itemDir.size() + 1);
        const QString target = itemDir + u'/' + file.relativeTarget;
        if (preview.writes.contains(target))
            continue;
        preview.writes.append(target);
        if (earlier.isFile(target))
            preview.replaces.append(target);
    }

    const QStringList toBackup = plannedBackup(options, plan, earlier);
    if (!toBackup.isEmpty()) {
        preview.backupArchive = itemDir + u'/' + BackupArchiveName(options.today);
        // The day's archive keeps what it has: a file it holds already is not saved again.
        if (const std::optional<QStringList> carried = earlier.archiveEntries(preview.backupArchive)) {
            preview.backupKeeps = *carried;
        } else if (QFileInfo(preview.backupArchive).isFile()) {
            // Read whole, as the installation reads it: a damaged entry shows here too.
            QString setAside;
            QString why;
            const QString staging = WithoutTrailingSlash(options.backupStaging);
            ReadDaysBackup(preview.backupArchive, staging, options.unpackLimits, true, &setAside, &why);
            DeleteDirectoryTree(staging);
            if (setAside.isEmpty()) {
                preview.backupKeeps = ZipEntryNames(preview.backupArchive).value_or(QStringList());
            } else {
                preview.skipped.append(
                    u"the backup archive %1 cannot be read; it would be kept as %2 and a new one started"_s
                        .arg(QDir::toNativeSeparators(preview.backupArchive),
                             QFileInfo(setAside).fileName()));
            }
        }
        for (const QString& relative : toBackup) {
            if (!preview.backupKeeps.contains(relative, Qt::CaseInsensitive))
                preview.backupAdds.append(relative);
        }
        earlier.archived(preview.backupArchive, preview.backupKeeps + preview.backupAdds);
    }
    preview.removes = removedAfterCopy(options, preview.writes, earlier);
    preview.deletesPackage = hasAction(options.postInstallAction, AfterInstall::DeletePackage);

    for (const PlannedFile& file : std::as_const(plan))
        earlier.written(itemDir + u'/' + file.relativeTarget, FileHasNoNullBytes(file.source));
    for (const QString& path : std::as_const(preview.removes))
        earlier.removed(path);
    return preview;
}

InstallPreview Installer::previewStep(const DownloadRequest& request, const QString& localFile,
                                      EarlierInstalls* earlier) {
    InstallPreview preview;
    if (!gateOpen(request, false))
        return preview;
    preview.installs = true;
    if (request.Category == category::PluginDb) {
        const QString target = WithoutTrailingSlash(m_c.settingsDir) + u"/database.dat"_s;
        preview.itemDir = WithoutTrailingSlash(m_c.settingsDir);
        preview.writes.append(target);
        if (QFileInfo(target).isFile())
            preview.replaces.append(target);
        return preview;
    }
    if (!m_c.tempDirectoryRefusal.isEmpty()) {
        preview.error = m_c.tempDirectoryRefusal;
        return preview;
    }
    const bool selfUpdate =
        request.Category == category::Quillon && IsRunningExecutable(request.ItemPath, m_c.programPath);
    if (selfUpdate) {
        preview.error = m_c.replaceProgramConfirmed
                            ? SelfUpdateRefusal(m_c.programPath, m_c.packageInfoDir)
                            : u"the running program is not replaced without confirmation"_s;
        if (!preview.error.isEmpty())
            return preview;
    }

    // Unpacked where the owner of this installer says: a scratch folder of the preview's own.
    const QString packageFolder =
        WithoutTrailingSlash(m_c.tempDirectory) + u"/inst_"_s + FileBaseName(localFile);
    QString copySource;
    if (unpack(request, localFile, packageFolder, &copySource, &preview.error)) {
        preview = PreviewInstallCopy(copyOptions(request, copySource, packageFolder), earlier);
        preview.closesTotalCommander =
            request.Category == category::TotalCmd && m_c.tcWindow && m_c.tcWindow->isRunning();
    }
    DeleteDirectoryTree(packageFolder);
    DeleteDirectoryTree(packageFolder + u"_cab"_s);
    return preview;
}

} // namespace quillon
