#pragma once
// The record of an installation in progress. Each file is replaced atomically, but a run killed
// between two files would leave a package half in: before the first file is replaced, the
// files that will be replaced are copied aside and the journal names them; when the last file is
// in, the journal and the copies go. A journal found at the next start means the run was cut
// off: the old files are put back, the files the package added are removed, and the package's
// scratch folders are cleared.
//
// An installation holds a lock beside the journal from its first scratch file to its last, so
// that another program (a second window, the command-line program) never takes a live journal
// for the leftover of a killed one.
#include <QString>
#include <QStringList>

#include <memory>

namespace quillon {

namespace platform {
class FileLock;
}

// Where the journal lives: beside the settings, which a later start finds again.
QString InstallJournalPath(const QString& settingsDir);

// The lock of the installations that journalPath records.
class InstallLock {
public:
    // Takes the lock; journalPath empty: there is no journal, and nothing to take.
    explicit InstallLock(const QString& journalPath);
    ~InstallLock();
    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

    // Why no installation may start now (another one runs, or a cut-off one waits to be undone),
    // in words; empty when one may.
    const QString& refusal() const { return m_refusal; }

private:
    std::unique_ptr<platform::FileLock> m_lock;
    QString m_refusal;
};

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

// The folders a journal may name. A journal is a file in the user's folder like any other; one
// naming other folders did not come from an installation, and acting on it could delete
// anything the user has.
struct InstallJournalBounds {
    QString tempDirectory; // scratch and undo folders are Quillon's own, directly in it
    QStringList itemRoots; // an installation's folder lies in one of these trees
    QString programDir;    // the only folder a program is moved aside in
};

struct InstallRecovery {
    bool found = false; // a cut-off installation was found (and acted upon, or refused)
    bool busy = false;  // a journal is there, but the installation it records is still running
    QString itemDir;
    QStringList restored; // targets put back as they were
    QStringList removed;  // targets the cut-off package had added
    QStringList failed;   // "path: why"
    // Why the journal was not acted upon, and where it was set aside; empty when it was.
    QString refused;
    QString setAsideAs;
};

// Undoes the installation a journal at journalPath records, if there is one and nothing holds
// its lock.
InstallRecovery RecoverCutOffInstallation(const QString& journalPath, const InstallJournalBounds& bounds);

// Whether a journal waits at journalPath (of a cut-off installation or a running one).
bool InstallJournalPending(const QString& journalPath);

class Language;
class Prompter;
// Tells the user what a recovery found and did; nothing when there was no journal.
void ReportRecovery(Prompter& prompter, const Language& language, const InstallRecovery& recovery);
// Tells a command that leaves the files alone that a cut-off installation waits to be undone.
void ReportPendingRecovery(Prompter& prompter, const Language& language, const QString& journalPath);

// Called at the points where a kill would leave the most to undo. In builds with the test
// hooks only: with QUILLON_TEST_KILL_AFTER_STEP=N in the environment, the N-th call kills the
// process; with QUILLON_TEST_STOP_AFTER_STEP=N, it stops it.
void InstallStepReached();

} // namespace quillon
