// "Restore previous version" of the update list's context menu: the backups of the selected
// row's file are read as a job, one is chosen in a dialog, and the restore runs as a job
// whose end refreshes the row.
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>

#include <memory>

#include "app/language.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/restore_job.h"
#include "install/backup_catalog.h"
#include "install/backup_restore.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "restore_dialog.h"
#include "ui_text.h"
#include "update_list_model.h"
#include "update_page.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

void Ttc_Updater::restorePreviousVersion() {
    if (m_jobs->isRunning() || !contextMenuState().restoreBackup)
        return;
    const QString itemFile =
        m_core.system().expandEnvPath(m_core.updateList().row(m_update->selectedRows().first()).FilePath);
    auto job = std::make_shared<RestoreJob>(m_core, itemFile, m_prompter);
    auto listing = std::make_shared<BackupListing>();
    setJobRunning(true, false);
    ProgressBar->setRange(0, 0);
    showStatus(uiText(m_core.language(), "CaptionsRestore", "Loading", "Looking for backups..."));
    m_jobs->start(
        [job, listing](const CancelToken&, ProgressSink&) { *listing = job->listBackups(); },
        [this, listing, itemFile](bool) {
            setJobRunning(false, false);
            ProgressBar->setRange(0, 100);
            ProgressBar->setValue(0);
            showStatus(QString());
            if (listing->backups.isEmpty()) {
                m_prompter.tell(PromptIcon::Information,
                                uiText(m_core.language(), "ErrorMessages", "CaptionInfo", "Information"),
                                NoBackupText(m_core.language(), itemFile));
                return;
            }
            auto* dialog = new TRestoreBackup(m_core.language(), itemFile, listing->backups, this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            connect(dialog, &QDialog::accepted, this,
                    [this, dialog, itemFile] { restoreChosenBackup(itemFile, dialog->chosenArchive()); });
            dialog->open();
        });
}

void Ttc_Updater::restoreChosenBackup(const QString& itemFile, const QString& archive) {
    if (archive.isEmpty() || m_jobs->isRunning())
        return;
    auto job = std::make_shared<RestoreJob>(m_core, itemFile, m_prompter);
    auto result = std::make_shared<RestoreResult>();
    QString label = QFileInfo(archive).fileName();
    if (const std::optional<BackupArchiveNameParts> parts = ParseBackupArchiveName(label))
        label = BackupArchive{archive, parts->date, parts->sequence, {}, {}, {}}.label();
    setJobRunning(true, false);
    ProgressBar->setRange(0, 0);
    m_jobs->start(
        [job, result, archive](const CancelToken& token, ProgressSink& sink) {
            *result = job->restore(archive, token, sink);
        },
        [this, job, result, label](bool) { restoreApplied(*job, label, *result); });
}

void Ttc_Updater::restoreApplied(const RestoreJob& job, const QString& label, const RestoreResult& result) {
    setJobRunning(false, false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    showStatus(QString());
    if (const int row = job.applyRestored(m_core).row; row >= 0) {
        m_update->refreshRows({row});
        refreshViews(View::Counters);
    }
    const Language& lng = m_core.language();
    if (result.ok()) {
        QString text = RestoredText(lng, job.itemFile(), label);
        if (!result.undoBackup.isEmpty())
            text += u"\n\n"_s + UndoNoteText(lng, result.undoBackup);
        m_prompter.tell(PromptIcon::Information, uiText(lng, "ErrorMessages", "CaptionInfo", "Information"),
                        text);
    } else if (result.outcome == RestoreResult::Outcome::Cancelled) {
        m_prompter.tell(PromptIcon::Information, uiText(lng, "ErrorMessages", "CaptionInfo", "Information"),
                        uiText(lng, "CaptionsRestore", "Cancelled",
                               "The restore was cancelled; every file is as it was."));
    } else {
        m_prompter.tell(PromptIcon::Error, uiText(lng, "ErrorMessages", "CaptionError", "Error"),
                        RestoreFailedText(lng) + u"\n\n"_s + result.error);
    }
    emit restoreFinished(result.ok());
}

} // namespace quillon::ui
