#pragma once
// Putting a backup of an item back, the same for both front ends: made on the owner's thread,
// the backups listed and one restored on any thread, the item's row refreshed by the owner
// afterwards. The texts that report it live here too, so both front ends say the same.
#include <QString>

#include "install/backup_catalog.h"
#include "install/backup_restore.h"
#include "install/installer.h"

namespace quillon {

class AppCore;
class Language;
class Prompter;

class RestoreJob {
public:
    // Owner's thread. prompter: the restore's questions (close Total Commander?).
    RestoreJob(AppCore& core, QString itemFile, Prompter& prompter);

    const QString& itemFile() const { return m_itemFile; }
    // Any thread: the item's backups, newest first, each with the version it holds.
    BackupListing listBackups() const;
    // Any thread: the files of archive put back in the item's folder.
    RestoreResult restore(const QString& archive, const CancelToken& cancel, ProgressSink& progress) const;

    struct RestoredRow {
        int row = -1;    // the item's row, or -1 when it has none
        QString version; // what the row shows now, or what the file itself says
    };
    // Owner's thread, after restore(): the item's row refreshed.
    RestoredRow applyRestored(AppCore& core) const;

private:
    QString m_itemFile;
    BackupVersionReader m_reader;
    InstallerContext m_context;
};

QString NoBackupText(const Language& language, const QString& itemFile);
QString RestoredText(const Language& language, const QString& itemFile, const QString& backupLabel);
QString UndoNoteText(const Language& language, const QString& undoBackup);
QString RestoreFailedText(const Language& language); // followed by the reason

} // namespace quillon
