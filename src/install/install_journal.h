#pragma once
// The record of an installation in progress. Each file is replaced atomically, but a run killed
// between two files would leave a package half in: before the first file is replaced, the
// files that will be replaced are copied aside and the journal names them; when the last file is
// in, the journal and the copies go. A journal found at the next start means the run was cut
// off: the old files are put back, the files the package added are removed, and the package's
// scratch folders are cleared.
#include <QString>
#include <QStringList>

namespace quillon {

// Where the journal lives: beside the settings, which a later start finds again.
QString InstallJournalPath(const QString& settingsDir);

class InstallJournal {
public:
    // journalPath empty: no journal is kept (every call succeeds and does nothing).
    explicit InstallJournal(QString journalPath);

    // Copies every existing target (relative to itemDir) into undoFolder, then writes the
    // journal. scratchFolders are removed by a recovery. False with errorText when a copy or
    // the journal cannot be written; nothing in itemDir has been touched then.
    bool begin(const QString& itemDir, const QStringList& relativeTargets, const QString& undoFolder,
               const QStringList& scratchFolders, QString* errorText);
    // A program moved aside (the running executable) that a recovery moves back when its
    // replacement is missing.
    void setMovedAside(const QString& movedTo, const QString& originalPath) {
        m_movedTo = movedTo;
        m_originalPath = originalPath;
    }
    // The installation is complete (or failed without a kill): journal and copies removed.
    void finish();

private:
    QString m_path;
    QString m_undoFolder;
    QString m_movedTo;
    QString m_originalPath;
};

struct InstallRecovery {
    bool found = false;
    QString itemDir;
    QStringList restored; // targets put back as they were
    QStringList removed;  // targets the cut-off package had added
    QStringList failed;   // "path: why"
};

// Undoes the installation a journal at journalPath records, if there is one.
InstallRecovery RecoverCutOffInstallation(const QString& journalPath);

class Language;
class Prompter;
// Tells the user what a recovery found and did; nothing when there was no journal.
void ReportRecovery(Prompter& prompter, const Language& language, const InstallRecovery& recovery);

// Called at the points where a kill would leave the most to undo. For the tests only: with
// QUILLON_TEST_KILL_AFTER_STEP=N in the environment, the N-th call kills the process.
void InstallStepReached();

} // namespace quillon
