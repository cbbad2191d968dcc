#pragma once
// Putting an item's files back from one of its backup archives, with the care of an
// installation: Total Commander lets go of the files first (closed when its own files are put
// back, told to unload its plugins otherwise), the files as they are now go into a new backup
// archive so that the restore can itself be undone, every file is replaced atomically, and a
// restore that fails or is cancelled half-way puts back what it had already replaced.
#include <QDate>
#include <QString>
#include <QStringList>

#include "app/job_control.h"
#include "install/backup_catalog.h"

namespace quillon {

struct InstallerContext;

struct RestoreRequest {
    QString itemFile;    // the row's file; its folder is where the archive's entries go
    QString archivePath; // the chosen backup archive
    QDate today = QDate::currentDate();
};

struct RestoreResult {
    enum class Outcome {
        Restored,
        NotRestored, // refused before any file was touched (Total Commander not closed, bad archive)
        Failed,      // a file could not be written; what was replaced is back as it was
        Cancelled,   // stopped between two files; what was replaced is back as it was
    };
    Outcome outcome = Outcome::NotRestored;
    QStringList restored;  // target paths
    QString undoBackup;    // the archive that now holds the replaced files; empty when none
    QString error;         // why it was not restored, in words
    bool tcClosed = false; // Total Commander was closed for it

    bool ok() const { return outcome == Outcome::Restored; }
};

// Uses of the context: the prompter and language (the close question), Total Commander's
// window, the temporary directory and its unpack limits, the settings folder (the journal that
// a later start uses to undo a restore cut off by a kill), and Total Commander's folder and
// start. Rows are not refreshed: that is the front end's, on its own thread.
RestoreResult RestoreBackup(const InstallerContext& context, const RestoreRequest& request,
                            const CancelToken& cancel, ProgressSink& progress);

} // namespace quillon
