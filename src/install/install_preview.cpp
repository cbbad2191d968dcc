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

// The files PostInstallAction would delete: those in the folder now and those the copy brings.
QStringList removedAfterCopy(const InstallCopyOptions& options, const QStringList& writes) {
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    QStringList removed;
    for (const QString& name : PostInstallRemovals(options)) {
        const QStringList present =
            QDir(itemDir).entryList({name}, QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& found : present) {
            if (found.compare(name, Qt::CaseInsensitive) == 0)
                removed.append(itemDir + u'/' + found);
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

} // namespace

InstallPreview PreviewInstallCopy(const InstallCopyOptions& options) {
    InstallPreview preview;
    preview.installs = true;
    const QString itemDir = WithoutTrailingSlash(options.itemDir);
    preview.itemDir = itemDir;
    QStringList refused;
    const QList<PlannedFile> plan = PlanInstallCopy(options, &preview.skipped, &refused);
    if (!refused.isEmpty()) {
        preview.error = u"not installed: "_s + refused.join(u"; "_s);
        return preview;
    }
    if (plan.isEmpty()) {
        preview.error = u"the package holds no file to install"_s;
        return preview;
    }
    for (const PlannedFile& file : plan) {
        const QString target = itemDir + u'/' + file.relativeTarget;
        if (preview.writes.contains(target))
            continue;
        preview.writes.append(target);
        if (QFileInfo(target).isFile())
            preview.replaces.append(target);
    }

    const QStringList toBackup = PlanBackup(options, plan);
    if (!toBackup.isEmpty()) {
        preview.backupArchive = itemDir + u'/' + BackupArchiveName(options.today);
        // The day's archive keeps what it has: a file it holds already is not saved again.
        if (QFileInfo(preview.backupArchive).isFile()) {
            QString why;
            const std::optional<QStringList> entries = ZipEntryNames(preview.backupArchive, &why);
            if (!entries) {
                preview.error = u"the backup archive %1 cannot be read: %2"_s.arg(
                    QDir::toNativeSeparators(preview.backupArchive), why);
                return preview;
            }
            preview.backupKeeps = *entries;
        }
        for (const QString& relative : toBackup) {
            if (!preview.backupKeeps.contains(relative))
                preview.backupAdds.append(relative);
        }
    }
    preview.removes = removedAfterCopy(options, preview.writes);
    preview.deletesPackage = hasAction(options.postInstallAction, AfterInstall::DeletePackage);
    return preview;
}

InstallPreview Installer::previewStep(const DownloadRequest& request, const QString& localFile) {
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
        preview = PreviewInstallCopy(copyOptions(request, copySource, packageFolder));
        preview.closesTotalCommander =
            request.Category == category::TotalCmd && m_c.tcWindow && m_c.tcWindow->isRunning();
    }
    DeleteDirectoryTree(packageFolder);
    DeleteDirectoryTree(packageFolder + u"_cab"_s);
    return preview;
}

} // namespace quillon
