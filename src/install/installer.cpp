#include "install/installer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "app/common/files.h"
#include "app/common/strings.h"
#include "app/language.h"
#include "app/plugin_load_text.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/system.h"
#include "install/cab_archive.h"
#include "install/install_copy.h"
#include "install/install_journal.h"
#include "install/post_install_load_check.h"
#include "install/rar_archive.h"
#include "install/self_update.h"
#include "install/zip_archive.h"
#include "platform/platform.h"
#include "platform/running_program.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

bool samePath(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath().compare(QFileInfo(b).absoluteFilePath(), Qt::CaseInsensitive) == 0;
}

// "INSTALL.CAB" at the top of the package, in whatever letter case it was packed.
QString findInstallCab(const QString& packageFolder) {
    const QStringList found = QDir(packageFolder).entryList({u"INSTALL.CAB"_s}, QDir::Files);
    for (const QString& name : found) {
        if (name.compare("INSTALL.CAB"_L1, Qt::CaseInsensitive) == 0)
            return packageFolder + u'/' + name;
    }
    return {};
}

} // namespace

Installer::Installer(InstallerContext context) : m_c(std::move(context)) {}

void Installer::resetPass() {
    m_failedFiles.clear();
    m_failureReasons.clear();
    m_rolledBack.clear();
    m_cleanup.clear();
    m_selfUpdate = SelfUpdateState::None;
    m_tcStarted = false;
    m_tcClosed = false;
}

QStringList Installer::failedFiles() const {
    QStringList files = m_failedFiles;
    SortUnique(files);
    return files;
}

void Installer::pause(int milliseconds) const {
    if (m_c.wait)
        m_c.wait(milliseconds);
    else
        m_c.cancel.sleepFor(std::chrono::milliseconds(milliseconds));
}

bool Installer::gateOpen(const DownloadRequest& request, bool reinstall) const {
    if (request.Category == category::PluginDb || reinstall)
        return true;
    return request.installAfterDownload() && (m_c.installAfterDownload || m_c.autoStartInstall);
}

bool Installer::installDatabase(const QString& localFile, InstallStepResult& result) {
    const QString target = WithoutTrailingSlash(m_c.settingsDir) + u"/database.dat"_s;
    if (samePath(localFile, target)) {
        // Downloaded straight into place: nothing to move.
    } else if (QString errorText; !MoveFileReplacing(localFile, target, true, &errorText)) {
        result.error = u"%1 cannot be replaced: %2"_s.arg(QDir::toNativeSeparators(target), errorText);
        m_failedFiles.append(QDir::toNativeSeparators(target));
        return false;
    }
    if (!QFileInfo(target).isFile()) {
        result.error = u"%1 is missing after the move"_s.arg(QDir::toNativeSeparators(target));
        return false;
    }
    result.installedFiles.append(target);
    m_reloadAfterDownload = true;
    return true;
}

bool Installer::unpack(const DownloadRequest& request, const QString& localFile, const QString& packageFolder,
                       QString* copySource, QString* errorText) const {
    // Leftovers of an earlier attempt would be installed with the new files.
    DeleteDirectoryTree(packageFolder);
    *copySource = packageFolder;
    if (QFileInfo(localFile).suffix().compare("rar"_L1, Qt::CaseInsensitive) == 0) {
        if (m_c.unrarLibrary.isEmpty()) {
            *errorText = u"no unrar library to unpack %1"_s.arg(QFileInfo(localFile).fileName());
            return false;
        }
        RarArchive rar;
        rar.setLibraryPath(m_c.unrarLibrary);
        if (!rar.openFile(localFile)) {
            *errorText = rar.lastError().isEmpty() ? u"cannot unpack %1"_s.arg(localFile) : rar.lastError();
            return false;
        }
        qint64 declared = 0;
        for (const RarArchive::Entry& entry : rar.entries())
            declared += entry.size;
        if (const QString refusal =
                UnpackLimitRefusal(m_c.unpackLimits, QFileInfo(localFile).size(), declared);
            !refusal.isEmpty()) {
            *errorText = u"%1 is refused: %2"_s.arg(QFileInfo(localFile).fileName(), refusal);
            return false;
        }
        if (!QDir().mkpath(packageFolder) || !rar.extract(packageFolder, true)) {
            *errorText = rar.lastError().isEmpty() ? u"cannot unpack %1"_s.arg(localFile) : rar.lastError();
            return false;
        }
    } else if (const ArchiveResult zip = DecompressZipDisk(localFile, packageFolder, m_c.unpackLimits);
               !zip) {
        *errorText = zip.error;
        return false;
    }
    if (request.Category != category::TotalCmd)
        return true;

    const QString cabFolder = packageFolder + u"_cab"_s;
    DeleteDirectoryTree(cabFolder);
    const QString cab = findInstallCab(packageFolder);
    if (cab.isEmpty()) {
        *errorText = u"the package holds no INSTALL.CAB"_s;
        return false;
    }
    if (const ArchiveResult unpacked = DecompressCabDisk(cab, cabFolder, m_c.unpackLimits); !unpacked) {
        *errorText = unpacked.error;
        return false;
    }
    *copySource = cabFolder;
    return true;
}

InstallCopyOptions Installer::copyOptions(const DownloadRequest& request, const QString& copySource,
                                          const QString& packageFolder) const {
    const bool totalCommander = request.Category == category::TotalCmd;
    InstallCopyOptions options;
    options.copySource = copySource;
    options.itemDir =
        totalCommander && !m_c.tcDir.isEmpty() ? m_c.tcDir : QFileInfo(request.ItemPath).absolutePath();
    options.totalCommander = totalCommander;
    options.tcLanguage = m_c.tcLanguage.toUpper();
    options.preInstallAction = m_c.preInstallAction;
    options.postInstallAction = m_c.postInstallAction;
    options.itemPath = request.ItemPath;
    options.backupStaging = packageFolder + u"_backup"_s;
    options.unpackLimits = m_c.unpackLimits;
    options.journalPath = InstallJournalPath(m_c.settingsDir);
    options.undoFolder = packageFolder + u"_undo"_s;
    options.scratchFolders = {packageFolder, packageFolder + u"_cab"_s, options.backupStaging};
    return options;
}

QString TemporaryDirectoryProblem(const QString& tempDirectory, bool create) {
    const QString folder = WithoutTrailingSlash(tempDirectory);
    const QString notWritable =
        u"the temporary directory %1 is not writable"_s.arg(QDir::toNativeSeparators(folder));
    if (folder.isEmpty())
        return notWritable;
    if (create)
        return QDir().mkpath(folder) && IsDirectoryWritable(folder) ? QString() : notWritable;
    QString existing = folder;
    while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing)
        existing = QFileInfo(existing).absolutePath();
    // Asked of the file system, not tried: the preview leaves even the folder's time alone.
    return QFileInfo(existing).isDir() && QFileInfo(existing).isWritable() ? QString() : notWritable;
}

bool Installer::closeTotalCommander() {
    platform::TcWindow* window = m_c.tcWindow;
    if (!window)
        return true;
    if (const platform::TcWindowState state = window->state(); !state.running) {
        m_tcWindowBeforeInstall = state;
        return true;
    }
    const PromptAnswer answer = m_c.prompter.ask(
        PromptIcon::Warning, PromptButtons::OkCancel,
        m_c.language.text(u"ErrorMessages"_s, u"CaptionInfo"_s, u"Information"_s),
        m_c.language.text(u"ErrorMessages"_s, u"InstallError_02"_s,
                          u"You need to close Total Commander before continuing this operation!"_s));
    if (answer != PromptAnswer::Ok)
        return false;
    // One that does not close in time still gets its files replaced where it lets us; the
    // locked ones end up among the failed files.
    window->closeAndWait(m_c.cancel.flag());
    m_tcClosed = true;
    return true;
}

RowsRefresh Installer::refreshRows(const DownloadRequest& request) {
    if (!m_c.refreshRows)
        return {};
    RowsRefresh refresh = m_c.refreshRows(request.ItemPath);
    if (!refresh.rows.isEmpty() && m_selfUpdate == SelfUpdateState::ExecutableReplaced)
        m_selfUpdate = SelfUpdateState::RestartPending;
    if (!refresh.tcRowChosen || m_tcStarted)
        return refresh;
    // Only a Total Commander that we closed is started again: one the user had not started
    // stays closed.
    if (m_tcClosed && !(m_c.tcWindow && m_c.tcWindow->isRunning()) && m_c.startTotalCommander) {
        m_c.startTotalCommander();
        m_tcStarted = true;
    }
    pause(300);
    const bool answerHolds = m_tcWindowBeforeInstall && !m_tcStarted;
    if (m_c.detectTcVersion)
        refresh.tcVersion = m_c.detectTcVersion(answerHolds ? &*m_tcWindowBeforeInstall : nullptr);
    return refresh;
}

InstallStepResult Installer::installStep(const DownloadRequest& request, const QString& localFile,
                                         bool reinstall) {
    InstallStepResult result;
    if (!gateOpen(request, reinstall))
        return result;
    result.outcome = InstallStepResult::Outcome::Failed;
    m_tcWindowBeforeInstall.reset();

    if (!m_c.tempDirectoryRefusal.isEmpty()) {
        result.error = m_c.tempDirectoryRefusal;
        return result;
    }
    const QString tempDir = WithoutTrailingSlash(m_c.tempDirectory);
    if (result.error = TemporaryDirectoryProblem(tempDir, true); !result.error.isEmpty())
        return result;
    if (!QFileInfo(localFile).isFile()) {
        result.error = u"%1 does not exist"_s.arg(QDir::toNativeSeparators(localFile));
        return result;
    }
    if (request.Category == category::PluginDb) {
        if (installDatabase(localFile, result))
            result.outcome = InstallStepResult::Outcome::Installed;
        return result;
    }

    // Held until the last scratch folder is gone: another program must neither take this
    // installation's journal for a leftover nor unpack into the same scratch folders.
    const InstallLock lock(InstallJournalPath(m_c.settingsDir));
    if (!lock.refusal().isEmpty()) {
        result.error = lock.refusal();
        return result;
    }

    const bool isExe = QFileInfo(request.ItemPath).suffix().compare("exe"_L1, Qt::CaseInsensitive) == 0;
    // Only for a plugin, and sent without asking first whether Total Commander runs: the command
    // finds the window itself, and under Wine every call starts the bridge.
    if (!isExe && m_c.tcWindow)
        m_c.tcWindow->sendCommand(kTcCommandBeforePluginInstall, m_c.cancel.flag());

    const bool totalCommander = request.Category == category::TotalCmd;
    const QString packageFolder = tempDir + u"/inst_"_s + FileBaseName(localFile);
    const QString backupStaging = packageFolder + u"_backup"_s;
    auto cleanUp = [&] {
        DeleteDirectoryTree(packageFolder);
        if (totalCommander)
            DeleteDirectoryTree(packageFolder + u"_cab"_s);
        DeleteDirectoryTree(backupStaging);
        DeleteDirectoryTree(packageFolder + u"_undo"_s);
        DeleteDirectoryTree(packageFolder + u"_loads"_s);
    };

    const bool selfUpdate =
        request.Category == category::Quillon && IsRunningExecutable(request.ItemPath, m_c.programPath);
    if (selfUpdate) {
        result.error = m_c.replaceProgramConfirmed
                           ? SelfUpdateRefusal(m_c.programPath, m_c.packageInfoDir)
                           : u"the running program is not replaced without confirmation"_s;
        if (!result.error.isEmpty())
            return result;
    }

    QString copySource;
    if (!unpack(request, localFile, packageFolder, &copySource, &result.error)) {
        cleanUp();
        return result;
    }
    if (totalCommander && !closeTotalCommander()) {
        result.error = u"Total Commander was not closed"_s;
        cleanUp();
        return result;
    }

    const bool moveAside = selfUpdate && platform::RunningProgramMustMoveAside();
    if (moveAside) {
        QString errorText;
        if (!MoveRunningExecutableAside(m_c.programPath, &errorText)) {
            result.error = u"the running program cannot be renamed: %1"_s.arg(errorText);
            cleanUp();
            return result;
        }
    }

    InstallCopyOptions options = copyOptions(request, copySource, packageFolder);
    if (moveAside) {
        options.movedAsideFrom = m_c.programPath;
        options.movedAsideTo =
            QFileInfo(m_c.programPath).absolutePath() + u'/' + OldExecutableName(m_c.programPath);
    }
    PostInstallLoadCheck loadCheck(m_c.pluginLoads, packageFolder + u"_loads"_s);
    if (loadCheck.active()) {
        QStringList targets;
        for (const PlannedFile& planned : PlanInstallCopy(options))
            targets.append(options.itemDir + u'/' + planned.relativeTarget);
        loadCheck.keepPrevious(targets);
    }
    const InstallCopyResult copy = RunInstallCopy(options);
    result.installedFiles = copy.copied;
    result.failedFiles = copy.failed;
    result.backupArchive = copy.backupArchive;
    for (qsizetype i = 0; i < copy.failed.size(); ++i) {
        const QString path = QDir::toNativeSeparators(copy.failed.at(i));
        m_failedFiles.append(path);
        if (i < copy.failureReasons.size())
            m_failureReasons.insert(path, copy.failureReasons.at(i));
    }
    if (!copy.error.isEmpty()) {
        const QString folderFailure = QDir::toNativeSeparators(options.itemDir) + u" ("_s + copy.error + u')';
        m_failedFiles.append(folderFailure);
        m_failureReasons.insert(folderFailure, folderFailure); // it says why itself
    }

    if (selfUpdate) {
        // The new file comes out of a package without file modes; it must start like the old one.
        // (Renamed over the old file, it took the old file's modes with it.)
        const QFileInfo renamed(QFileInfo(m_c.programPath).absolutePath() + u'/' +
                                OldExecutableName(m_c.programPath));
        if (moveAside && renamed.isFile() && QFileInfo(m_c.programPath).isFile())
            QFile::setPermissions(m_c.programPath,
                                  QFile::permissions(m_c.programPath) | renamed.permissions());
        const bool programCopied =
            moveAside ? !copy.copied.isEmpty()
                      : std::any_of(copy.copied.cbegin(), copy.copied.cend(), [this](const QString& path) {
                            return IsRunningExecutable(path, m_c.programPath);
                        });
        if (!copy.failed.isEmpty() || !copy.error.isEmpty())
            m_selfUpdate = SelfUpdateState::None;
        else if (programCopied && m_selfUpdate == SelfUpdateState::None)
            m_selfUpdate = SelfUpdateState::ExecutableReplaced;
        // A package that did not bring the executable back would leave nothing to start.
        if (moveAside && !QFileInfo::exists(m_c.programPath)) {
            const QString old =
                QFileInfo(m_c.programPath).absolutePath() + u'/' + OldExecutableName(m_c.programPath);
            MoveFileReplacing(old, m_c.programPath, false);
            m_selfUpdate = SelfUpdateState::None;
        }
    }

    const QList<LoadRollback> rolledBack =
        copy.complete() ? loadCheck.verify(copy.copied, m_c.cancel.flag()) : QList<LoadRollback>();
    if (!rolledBack.isEmpty()) {
        QStringList texts;
        for (const LoadRollback& back : rolledBack) {
            // Not among the files that could not be written: the old one is back and works.
            m_rolledBack.append(m_c.language.format(u"PluginLoadCheck"_s, u"RolledBack"_s,
                                                    u"The previous version of %s was put back because the "
                                                    u"new one does not load."_s,
                                                    {QDir::toNativeSeparators(back.path), {}, {}}) +
                                u"\n("_s + PluginLoadReason(back.newFile, m_c.language) + u')');
            texts.append(PluginUpdateFailedText(back.newFile, m_c.language));
        }
        result.error = texts.join(u"; "_s);
        result.rowStatus = result.error;
    } else if (copy.complete()) {
        result.outcome = InstallStepResult::Outcome::Installed;
        if (hasAction(m_c.postInstallAction, AfterInstall::DeletePackage))
            m_cleanup.append(localFile);
        result.refresh = refreshRows(request);
    } else if (!copy.error.isEmpty()) {
        result.error = copy.error;
    } else if (copy.filesFound == 0) {
        result.error = u"the package holds no file to install"_s;
    } else {
        result.error = u"%1 file(s) could not be written (%2)"_s.arg(copy.failed.size())
                           .arg(copy.failureReasons.join(u"; "_s));
    }
    cleanUp();
    return result;
}

EndOfPassAction Installer::endOfPass(bool anyInstallRequest) {
    const Language& lng = m_c.language;
    const QString errors = u"ErrorMessages"_s;
    if (m_c.installAfterDownload && anyInstallRequest && !IsDirectoryWritable(m_c.tempDirectory)) {
        m_c.prompter.tell(
            PromptIcon::Error, lng.text(errors, u"CaptionError"_s, u"Error"_s),
            lng.text(errors, u"UnpackError_01"_s,
                     u"An unexpected error has occured while unpacking the file."_s) +
                u"\n\n"_s +
                lng.text(errors, u"UnpackError_02"_s, u"The temporary directory is not writable!"_s));
    }
    // Reported whatever started the installation: a file that was not written never goes unsaid,
    // and with the reason when it is known ("disk full" is not "read-only").
    if (QStringList failed = failedFiles(); !failed.isEmpty()) {
        const bool allExplained = std::all_of(failed.cbegin(), failed.cend(), [this](const QString& path) {
            return m_failureReasons.contains(path);
        });
        for (QString& path : failed)
            path = m_failureReasons.value(path, path);
        const QString listIntro =
            allExplained
                ? lng.text(errors, u"InstallError_05"_s,
                           u"Quillon was unable to write the following files:"_s)
                : lng.text(errors, u"InstallError_04"_s,
                           u"Quillon was unable to write the following files (read-only / no rights?):"_s);
        m_c.prompter.tell(
            PromptIcon::Error, lng.text(errors, u"CaptionErrInstall"_s, u"Error while updating package"_s),
            lng.text(errors, u"InstallError_03"_s,
                     u"An unexpected error has occured while installing the plugin/addon."_s) +
                u"\n\n"_s + listIntro + u"\n\n"_s +
                FirstItems(failed, 30, lng.text(errors, u"MoreItems"_s, u"... and %s more."_s)).join(u'\n'));
    }
    if (!m_rolledBack.isEmpty())
        m_c.prompter.tell(PromptIcon::Warning, lng.text(errors, u"CaptionWarning"_s, u"Warning"_s),
                          m_rolledBack.join(u"\n\n"_s));
    if (m_selfUpdate == SelfUpdateState::RestartPending) {
        m_c.prompter.ask(PromptIcon::Information, PromptButtons::Ok,
                         lng.text(errors, u"CaptionInfo"_s, u"Information"_s), RestartNoticeText(lng));
        return EndOfPassAction::Restart;
    }
    if (m_reloadAfterDownload) {
        const QString section = u"CaptionsDownload"_s;
        const QString text =
            lng.text(section, u"DatabaseUpdateS1"_s,
                     u"The Internal Plugin Database (IPD) has been successfully updated!"_s) +
            u'\n' +
            lng.text(section, u"DatabaseUpdateS2"_s,
                     u"There may be new plugin updates in the new database."_s) +
            u"\n\n"_s +
            lng.text(section, u"DatabaseUpdateS3"_s,
                     u"Would you like to reload the list & search for updates?"_s);
        const PromptAnswer answer =
            m_c.prompter.ask(PromptIcon::Question, PromptButtons::YesNo,
                             lng.text(errors, u"CaptionInfo"_s, u"Information"_s), text);
        if (answer == PromptAnswer::Yes)
            return EndOfPassAction::ReloadAndCheck;
        m_reloadAfterDownload = false;
    }
    return EndOfPassAction::None;
}

} // namespace quillon
