#pragma once
// An item's backup archives as a table: date, the version of the item's file in it, the files.
#include <QAbstractTableModel>

#include "install/backup_catalog.h"

namespace quillon {
class Language;
}

namespace quillon::ui {

class BackupListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DateColumn, VersionColumn, FilesColumn, ColumnCount };

    BackupListModel(QList<BackupArchive> backups, const Language& language, QObject* parent = nullptr);

    const BackupArchive& backupAt(int row) const { return m_backups.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void retranslate();

private:
    QList<BackupArchive> m_backups;
    const Language& m_language;
};

} // namespace quillon::ui
