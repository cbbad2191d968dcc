#include "install/backup_restore.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/atomic_file.h"
#include "app/common/files.h"
#include "app/language.h"
#include "app/prompter.h"
#include "install/install_copy.h"
#include "install/install_journal.h"
#include "install/installer.h"
#include "install/zip_archive.h"
#include "platform/tc_window.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool sameFolder(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() &&
           QDir::cleanPath(QFileInfo(a).absoluteFilePath())
                   .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), Qt::CaseInsensitive) == 0;
}

// Total Commander lets go of the files: its own files need it closed (asked first, as for its
// update), a plugin's are released by the command it gets before an installation. False when
// the user keeps it open.
bool releaseFiles(const InstallerContext& context, const QString& itemFile, const QString& itemDir,
                  const CancelToken& cancel, RestoreResult& result) {
    platform::TcWindow* window = context.tcWindow;
    if (!window)
        return true;
    // The command finds the window itself: under Wine a question first would start the bridge twice.
    if (!sameFolder(itemDir, context.tcDir)) {
        if (QFileInfo(itemFile).suffix().compare("exe"_L1, Qt::CaseInsensitive) != 0)
            window->sendCommand(kTcCommandBeforePluginInstall, cancel.flag());
        return true;
    }
    if (!window->isRunning(cancel.flag()))
        return true;
    const Language& lng = context.language;
    const PromptAnswer answer = context.prompter.ask(
        PromptIcon::Warning, PromptButtons::OkCancel,
        lng.text(u"ErrorMessages"_s, u"CaptionInfo"_s, u"Information"_s),
        lng.text(u"ErrorMessages"_s, u"InstallError_02"_s,
                 u"You need to close Total Commander before continuing this operation!"_s));
    if (answer != PromptAnswer::Ok) {
        result.error = u"Total Commander was not closed"_s;
        return false;
    }
    window->closeAndWait(cancel.flag());
    result.tcClosed = true;
    return true;
}

// The files replaced so far back from the journal's copies; a file the restore added goes.
// False when one of them cannot be put back: the journal then stays for the next start.
bool rollBack(const QString& itemDir, const QStringList& replaced, const QString& undoFolder, QString* why) {
    bool ok = true;
    for (const QString& relative : replaced) {
        const QString target = itemDir + u'/' + relative;
        const QString copy = undoFolder + u'/' + relative;
        QString error;
        const bool back = QFileInfo(copy).isFile() ? CopyFileAtomically(copy, target, &error)
                                                   : ForceDeleteFile(target, &error);
        if (!back) {
            ok = false;
            *why += u"; "_s + QDir::toNativeSeparators(target) + u" could not be put back: "_s + error;
        }
    }
    return ok;
}

} // namespace

RestoreResult RestoreBackup(const InstallerContext& context, const RestoreRequest& request,
                            const CancelToken& cancel, ProgressSink& progress) {
    RestoreResult result;
    const QString itemDir = QFileInfo(request.itemFile).absolutePath();
    const QString archiveName = QFileInfo(request.archivePath).fileName();
    if (!context.tempDirectoryRefusal.isEmpty()) {
        result.error = context.tempDirectoryRefusal;
        return result;
    }
    const QString tempDir = WithoutTrailingSlash(context.tempDirectory);
    if (tempDir.isEmpty() || !QDir().mkpath(tempDir) || !IsDirectoryWritable(tempDir)) {
        result.error = u"the temporary directory %1 is not writable"_s.arg(QDir::toNativeSeparators(tempDir));
        return result;
    }
    const InstallLock lock(InstallJournalPath(context.settingsDir));
    if (!lock.refusal().isEmpty()) {
        result.error = lock.refusal();
        return result;
    }
    const QString unpacked = tempDir + u"/restore_"_s + FileBaseName(request.archivePath);
    const QString undoFolder = unpacked + u"_undo"_s;
    auto cleanUp = [&] {
        DeleteDirectoryTree(unpacked);
        DeleteDirectoryTree(undoFolder);
    };
    const QString progressText =
        context.language.format(u"CaptionsRestore"_s, u"Restoring"_s, u"Restoring %s..."_s,
                                Placeholders{QFileInfo(request.itemFile).fileName(), {}, {}});
    progress.report({progressText, 0, -1});

    DeleteDirectoryTree(unpacked);
    if (const ArchiveResult read = DecompressZipDisk(request.archivePath, unpacked, context.unpackLimits);
        !read) {
        result.error = QDir::toNativeSeparators(request.archivePath) + u": "_s + read.error;
        cleanUp();
        return result;
    }
    // The installation's plan: the same names refused, the same spelling of existing files kept.
    InstallCopyOptions plan;
    plan.copySource = unpacked;
    plan.itemDir = itemDir;
    QStringList refused;
    const QList<PlannedFile> files = PlanInstallCopy(plan, nullptr, &refused);
    if (!refused.isEmpty() || files.isEmpty()) {
        result.error = refused.isEmpty() ? u"%1 holds no file"_s.arg(archiveName)
                                         : u"not restored: "_s + refused.join(u"; "_s);
        cleanUp();
        return result;
    }
    if (cancel.isCancelled()) {
        result.outcome = RestoreResult::Outcome::Cancelled;
        cleanUp();
        return result;
    }
    if (!releaseFiles(context, request.itemFile, itemDir, cancel, result)) {
        cleanUp();
        return result;
    }

    // The journal's copies of the files as they are now are also what the new backup holds.
    QStringList targets;
    for (const PlannedFile& file : files)
        targets.append(file.relativeTarget);
    const QString journalPath = context.settingsDir.isEmpty() ? unpacked + u"_journal.ini"_s
                                                              : InstallJournalPath(context.settingsDir);
    InstallJournal journal(journalPath);
    if (!journal.begin(itemDir, targets, undoFolder, {unpacked}, &result.error)) {
        cleanUp();
        return result;
    }
    QStringList current;
    FindFilesRecursive(undoFolder, u"*.*"_s, true, current);
    if (!current.isEmpty()) {
        const QString undoName = FreeBackupArchiveName(itemDir, request.today);
        if (const ArchiveResult written = ZipBackupFile(itemDir, undoName, undoFolder, current); !written) {
            result.error = u"the files as they are now cannot be backed up: "_s + written.error;
            journal.finish();
            cleanUp();
            return result;
        }
        result.undoBackup = itemDir + u'/' + undoName;
    }

    QStringList replaced;
    QString failure;
    for (const PlannedFile& file : files) {
        if (cancel.isCancelled()) {
            result.outcome = RestoreResult::Outcome::Cancelled;
            break;
        }
        const QString target = itemDir + u'/' + file.relativeTarget;
        QDir().mkpath(QFileInfo(target).absolutePath());
        // A copy that fails leaves its target as it was: only the ones written go back.
        if (!CopyFileAtomically(file.source, target, &failure)) {
            result.outcome = RestoreResult::Outcome::Failed;
            break;
        }
        replaced.append(file.relativeTarget);
        result.restored.append(target);
        progress.report({progressText, replaced.size(), files.size()});
    }

    if (result.outcome == RestoreResult::Outcome::NotRestored) {
        result.outcome = RestoreResult::Outcome::Restored;
        journal.finish();
    } else {
        // Half a restore is worse than none: what was replaced goes back, and the backup of a
        // state that did not change goes too.
        result.restored.clear();
        result.error = result.outcome == RestoreResult::Outcome::Cancelled ? u"cancelled"_s : failure;
        if (rollBack(itemDir, replaced, undoFolder, &result.error)) {
            journal.finish();
            if (!result.undoBackup.isEmpty())
                ForceDeleteFile(result.undoBackup);
            result.undoBackup.clear();
        }
    }
    DeleteDirectoryTree(unpacked);
    if (result.ok())
        DeleteDirectoryTree(undoFolder);
    // A Total Commander closed for the restore comes back, as after its own update.
    if (result.tcClosed && context.startTotalCommander &&
        !(context.tcWindow && context.tcWindow->isRunning()))
        context.startTotalCommander();
    return result;
}

} // namespace quillon
