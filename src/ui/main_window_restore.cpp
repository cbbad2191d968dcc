// "Restore previous version" of the update list's context menu: the backups of the selected
// row's file are read as a job, one is chosen in a dialog, and the restore runs as a job
// whose end refreshes the row.
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>

#include <memory>

#include "app/language.h"
#include "app/settings.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/installer_context.h"
#include "install/backup_catalog.h"
#include "install/backup_restore.h"
#include "install/backup_version_reader.h"
#include "inventory/item_identification.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "restore_dialog.h"
#include "tcdetect/tc_locator.h"
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
    const BackupVersionReader reader = InventoryBackupVersionReader(
        IdentificationStores{m_core.pluginDbStore(), m_core.userDbStore(), m_core.checksumDbStore(),
                             m_core.userPluginInfoStore(), m_core.settingsStore()},
        IdentificationOptions::from(m_core.settings().values, m_core.commandLine()),
        PathForms::fromLocator(m_core.tcLocator(), m_core.system()), m_core.programPath());
    const QString scratch = m_core.settings().expandedTempDirectory(m_core.system());
    const UnpackLimits limits = UnpackLimits::fromSettings(m_core.settings().values);
    auto listing = std::make_shared<BackupListing>();
    setJobRunning(true, false);
    ProgressBar->setRange(0, 0);
    showStatus(uiText(m_core.language(), "CaptionsRestore", "Loading", "Looking for backups..."));
    m_jobs->start(
        [listing, itemFile, reader, scratch, limits](const CancelToken&, ProgressSink&) {
            *listing = ListItemBackups(itemFile, reader, scratch, limits);
        },
        [this, listing, itemFile](bool) {
            setJobRunning(false, false);
            ProgressBar->setRange(0, 100);
            ProgressBar->setValue(0);
            showStatus(QString());
            if (listing->backups.isEmpty()) {
                m_prompter.tell(PromptIcon::Information,
                                uiText(m_core.language(), "ErrorMessages", "CaptionInfo", "Information"),
                                m_core.language().format(
                                    u"CaptionsRestore"_s, u"NoBackup"_s, u"No backup of %s was found."_s,
                                    Placeholders{QDir::toNativeSeparators(itemFile), {}, {}}));
                return;
            }
            auto* dialog = new TRestoreBackup(m_core.language(), itemFile, listing->backups, this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            connect(dialog, &QDialog::accepted, this,
                    [this, dialog, itemFile] { restoreChosenBackup(itemFile, dialog->chosenArchive()); });
            dialog->open();
        });
    m_prompter.setJobToken(&m_jobs->token());
}

void Ttc_Updater::restoreChosenBackup(const QString& itemFile, const QString& archive) {
    if (archive.isEmpty() || m_jobs->isRunning())
        return;
    auto result = std::make_shared<RestoreResult>();
    auto context = std::make_shared<InstallerContext>(InstallerContextFromCore(m_core, &m_prompter));
    const RestoreRequest request{itemFile, archive};
    QString label = QFileInfo(archive).fileName();
    if (const std::optional<BackupArchiveNameParts> parts = ParseBackupArchiveName(label))
        label = BackupArchive{archive, parts->date, parts->sequence, {}, {}, {}}.label();
    setJobRunning(true, false);
    ProgressBar->setRange(0, 0);
    m_jobs->start(
        [result, context, request](const CancelToken& token, ProgressSink& sink) {
            *result = RestoreBackup(*context, request, token, sink);
        },
        [this, result, itemFile, label](bool) { restoreApplied(itemFile, label, *result); });
    m_prompter.setJobToken(&m_jobs->token());
}

void Ttc_Updater::restoreApplied(const QString& itemFile, const QString& label, const RestoreResult& result) {
    setJobRunning(false, false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    showStatus(QString());
    UpdateList& list = m_core.updateList();
    if (const int row = list.indexOfPath(itemFile); row >= 0) {
        if (m_core.RefreshPluginInfo(itemFile, row, QString(), false))
            list.updateSnapshotRow(itemFile, row);
        m_update->model().refreshRow(list, row);
        m_update->recount();
    }
    const Language& lng = m_core.language();
    const QString fileName = QFileInfo(itemFile).fileName();
    if (result.ok()) {
        QString text =
            lng.format(u"CaptionsRestore"_s, u"Restored"_s,
                       u"%s1 has been restored from the backup of %s2."_s, Placeholders{{}, fileName, label});
        if (!result.undoBackup.isEmpty())
            text += u"\n\n"_s + lng.format(u"CaptionsRestore"_s, u"UndoNote"_s,
                                           u"The files it replaced are kept in %s."_s,
                                           Placeholders{QDir::toNativeSeparators(result.undoBackup), {}, {}});
        m_prompter.tell(PromptIcon::Information, uiText(lng, "ErrorMessages", "CaptionInfo", "Information"),
                        text);
    } else if (result.outcome == RestoreResult::Outcome::Cancelled) {
        m_prompter.tell(PromptIcon::Information, uiText(lng, "ErrorMessages", "CaptionInfo", "Information"),
                        uiText(lng, "CaptionsRestore", "Cancelled",
                               "The restore was cancelled; every file is as it was."));
    } else {
        m_prompter.tell(PromptIcon::Error, uiText(lng, "ErrorMessages", "CaptionError", "Error"),
                        uiText(lng, "CaptionsRestore", "Failed", "The backup could not be restored:") +
                            u"\n\n"_s + result.error);
    }
    emit restoreFinished(result.ok());
}

} // namespace quillon::ui
