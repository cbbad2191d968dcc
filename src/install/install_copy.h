#pragma once
// Copying an unpacked package over the item's folder: the file list (with Total Commander's
// language folders), the backup archive of what is replaced, and the copy itself. Nothing is
// written outside the item's folder.
#include <QDate>
#include <QString>
#include <QStringList>

#include "app/setting_modes.h"
#include "install/unpack_limits.h"

namespace quillon {

struct InstallCopyOptions {
    QString copySource; // the unpacked package (or Total Commander's cabinet folder)
    QString itemDir;    // the target; every written file lies below it
    bool totalCommander = false;
    QString tcLanguage; // upper case; "DEU" receives the "d" folders, any other the "e" folders
    BackupBeforeInstall preInstallAction = BackupBeforeInstall::None;
    AfterInstall postInstallAction = AfterInstall::Nothing;
    QString itemPath;          // its extension names the file of PostInstallAction bit 4
    QString backupStaging;     // scratch folder for the backup archive; removed afterwards
    UnpackLimits unpackLimits; // the day's backup archive is unpacked as a package is
    // The journal that lets a later start undo a copy cut off by a kill (empty: none), the
    // folder for the copies of the replaced files, and what a recovery clears besides.
    QString journalPath;
    QString undoFolder;
    QStringList scratchFolders;
    QString movedAsideFrom, movedAsideTo; // the running program, moved out of the way
    QDate today = QDate::currentDate();
};

struct PlannedFile {
    QString source;
    QString relativeTarget; // "/" separated, below itemDir
};

struct InstallCopyResult {
    int filesFound = 0;
    QStringList copied;         // target paths
    QStringList failed;         // target paths that could not be written
    QStringList failureReasons; // for each failed path: the path and why ("...: disk full")
    QStringList skipped;        // source files that were not copied on purpose, with the reason
    QString backupArchive;      // empty when nothing was backed up
    // Why nothing was copied although files were found (backup failed); empty otherwise.
    QString error;

    bool complete() const { return filesFound > 0 && failed.isEmpty() && error.isEmpty(); }
};

// The files of the package in order and where each goes. Total Commander's package drops the
// other language's folders, flattens the kept ones and never brings "default.bar". A target
// that exists in another letter case is that file. Files whose name is unsafe or whose folder in
// the target is a symbolic link are refused (with the reason).
QList<PlannedFile> PlanInstallCopy(const InstallCopyOptions& options, QStringList* skipped = nullptr,
                                   QStringList* refused = nullptr);

// Whether PreInstallAction asks for target to be saved before it is overwritten.
bool NeedsBackup(BackupBeforeInstall preInstallAction, const QString& target);
// Reads the day's backup archive into staging as an installation does before adding to it. One
// that cannot be read (damaged, or over the limits) is renamed out of the way, kept for the user,
// and the day starts a new archive: setAsideAs names it then. False with errorText only when it
// could not even be set aside. preview: nothing is renamed, setAsideAs says what would be.
bool ReadDaysBackup(const QString& archive, const QString& staging, const UnpackLimits& limits, bool preview,
                    QString* setAsideAs, QString* errorText);

// The targets of the plan (relative, each once) that go into the backup archive before the copy.
QStringList PlanBackup(const InstallCopyOptions& options, const QList<PlannedFile>& plan);
// The file names (any letter case, in itemDir) that PostInstallAction deletes after the copy.
QStringList PostInstallRemovals(const InstallCopyOptions& options);

// Backs up what the plan replaces, then copies. A refused file or a backup that cannot be
// written stops the copy before any file is touched: nothing the user had is lost.
InstallCopyResult RunInstallCopy(const InstallCopyOptions& options);

} // namespace quillon
