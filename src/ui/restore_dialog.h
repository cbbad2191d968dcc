#pragma once
// "Restore previous version": the backups of one item to choose from. Accepting hands the
// chosen archive to the window, which runs the restore as a job.
#include <QDialog>

#include "install/backup_catalog.h"

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace quillon {
class Language;
}

namespace quillon::ui {

class BackupListModel;

class TRestoreBackup : public QDialog {
    Q_OBJECT
public:
    TRestoreBackup(const Language& language, const QString& itemFile, QList<BackupArchive> backups,
                   QWidget* parent = nullptr);

    BackupListModel& model() { return *m_model; }
    // The archive chosen; empty while none is.
    QString chosenArchive() const;
    // Chooses the row (the newest is chosen at first).
    void choose(int row);
    void retranslate();

private:
    const Language& m_language;
    QString m_itemFile;
    BackupListModel* m_model;
    QLabel* m_intro;
    QTreeView* m_view;
    QDialogButtonBox* m_buttons;
    QPushButton* m_restore;
};

} // namespace quillon::ui
