#include "engine/restore_job.h"

#include <QDir>
#include <QFileInfo>

#include "app/language.h"
#include "app/settings.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/installer_context.h"
#include "install/backup_version_reader.h"
#include "inventory/item_identification.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {
const QString kSection = u"CaptionsRestore"_s;
} // namespace

RestoreJob::RestoreJob(AppCore& core, QString itemFile, Prompter& prompter)
    : m_itemFile(std::move(itemFile)),
      m_reader(InventoryBackupVersionReader(
          core.stores().identification(),
          IdentificationOptions::from(core.settings().values, core.commandLine()),
          PathForms::fromLocator(core.tcLocator(), core.system()), core.programPath())),
      m_context(InstallerContextFromCore(core, &prompter)) {
    // A restore puts back what a backup holds: no row is refreshed behind the owner's back.
    m_context.refreshRows = {};
    m_context.detectTcVersion = {};
}

BackupListing RestoreJob::listBackups() const {
    return ListItemBackups(m_itemFile, m_reader, m_context.tempDirectory, m_context.unpackLimits);
}

RestoreResult RestoreJob::restore(const QString& archive, const CancelToken& cancel,
                                  ProgressSink& progress) const {
    return RestoreBackup(m_context, RestoreRequest{m_itemFile, archive}, cancel, progress);
}

RestoreJob::RestoredRow RestoreJob::applyRestored(AppCore& core) const {
    UpdateList& list = core.updateList();
    RestoredRow restored{list.indexOfPath(m_itemFile), {}};
    if (restored.row >= 0 && core.RefreshPluginInfo(m_itemFile, restored.row, QString(), false)) {
        list.updateSnapshotRow(m_itemFile, restored.row);
        restored.version = list.row(restored.row).InstalledVersion;
    } else {
        restored.version = m_reader(m_itemFile);
    }
    return restored;
}

QString NoBackupText(const Language& language, const QString& itemFile) {
    return language.format(kSection, u"NoBackup"_s, u"No backup of %s was found."_s,
                           Placeholders{QDir::toNativeSeparators(itemFile), {}, {}});
}

QString RestoredText(const Language& language, const QString& itemFile, const QString& backupLabel) {
    return language.format(kSection, u"Restored"_s, u"%s1 has been restored from the backup of %s2."_s,
                           Placeholders{{}, QFileInfo(itemFile).fileName(), backupLabel});
}

QString UndoNoteText(const Language& language, const QString& undoBackup) {
    return language.format(kSection, u"UndoNote"_s, u"The files it replaced are kept in %s."_s,
                           Placeholders{QDir::toNativeSeparators(undoBackup), {}, {}});
}

QString RestoreFailedText(const Language& language) {
    return language.text(kSection, u"Failed"_s, u"The backup could not be restored:"_s);
}

} // namespace quillon
