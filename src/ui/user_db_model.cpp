#include "ui/user_db_model.h"

#include <algorithm>

#include "app/ini_document.h"
#include "app/language.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

UserDbModel::UserDbModel(const IniDocument& userDb, const Language& language, QObject* parent)
    : QAbstractTableModel(parent), m_userDb(userDb), m_language(language) {
    reload();
}

void UserDbModel::reload() {
    beginResetModel();
    m_rows = userDbRows(m_userDb);
    endResetModel();
}

QString UserDbModel::idAt(int row) const {
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).id : QString();
}

int UserDbModel::rowOfId(const QString& id) const {
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).id.compare(id.trimmed(), Qt::CaseInsensitive) == 0)
            return r;
    }
    return -1;
}

int UserDbModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int UserDbModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UserDbModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::DisplayRole)
        return {};
    const UserDbRow& row = m_rows.at(index.row());
    switch (index.column()) {
    case IdColumn:
        return row.id;
    case WebColumn:
        return row.websiteId;
    case LinksColumn:
        return row.links;
    default:
        return {};
    }
}

QVariant UserDbModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case IdColumn:
        return m_language.text(u"CaptionsMainFrm"_s, u"UserDB_LV_ID"_s, u"ID (filename)"_s);
    case WebColumn:
        return u"WEB"_s;
    case LinksColumn:
        return m_language.text(u"CaptionsUserDB"_s, u"CaptionLinks"_s, u"Links"_s);
    default:
        return {};
    }
}

void UserDbModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<QString> ids;
    for (const QModelIndex& index : before)
        ids.append(m_rows.at(index.row()).id);
    auto text = [column](const UserDbRow& row) {
        return column == IdColumn ? row.id : column == WebColumn ? row.websiteId : row.links;
    };
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const UserDbRow& a, const UserDbRow& b) {
        const int c = text(a).compare(text(b), Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rowOfId(ids.at(i)), before.at(i).column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void UserDbModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

} // namespace quillon::ui
