#include "backup_list_model.h"

#include <QDir>

#include "ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

BackupListModel::BackupListModel(QList<BackupArchive> backups, const Language& language, QObject* parent)
    : QAbstractTableModel(parent), m_backups(std::move(backups)), m_language(language) {}

int BackupListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_backups.size());
}

int BackupListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BackupListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const BackupArchive& backup = m_backups.at(index.row());
    if (role == Qt::ToolTipRole)
        return QDir::toNativeSeparators(backup.path);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case DateColumn:
        return backup.label();
    case VersionColumn:
        return backup.version.isEmpty() ? u"-"_s : backup.version;
    case FilesColumn: {
        QStringList files;
        for (const QString& file : backup.files)
            files.append(QDir::toNativeSeparators(file));
        return files.join(u", "_s);
    }
    default:
        return {};
    }
}

QVariant BackupListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DateColumn:
        return uiText(m_language, "CaptionsRestore", "ColDate", "Date");
    case VersionColumn:
        return uiText(m_language, "CaptionsRestore", "ColVersion", "Version");
    case FilesColumn:
        return uiText(m_language, "CaptionsRestore", "ColFiles", "Files");
    default:
        return {};
    }
}

void BackupListModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

} // namespace quillon::ui
