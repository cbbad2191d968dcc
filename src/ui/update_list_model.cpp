#include "update_list_model.h"

#include <QFont>

#include "file_icon.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {
constexpr quintptr kGroupId = 0;
}

UpdateListModel::UpdateListModel(QObject* parent) : QAbstractItemModel(parent) {
    m_columnTitles = {u"Name"_s, u"Installed"_s, u"Latest"_s, u"Update / Status"_s, u"Path"_s};
    for (int g = 0; g < kGroupCount; ++g)
        m_captions.append({groupShortName(static_cast<ItemGroup>(g)), {}});
}

void UpdateListModel::reload(const UpdateList& list) {
    beginResetModel();
    m_rows = list.rows();
    m_states.clear();
    m_groups.clear();
    m_position.clear();
    for (int row = 0; row < m_rows.size(); ++row) {
        m_states.append(list.state(row));
        const ItemGroup id = m_rows.at(row).Group;
        qsizetype g = 0;
        while (g < m_groups.size() && m_groups.at(g).id != id)
            ++g;
        if (g == m_groups.size())
            m_groups.append({id, {}});
        m_position.append({static_cast<int>(g), static_cast<int>(m_groups[g].rows.size())});
        m_groups[g].rows.append(row);
    }
    // The groups in their fixed order, whatever order the rows came in.
    std::stable_sort(m_groups.begin(), m_groups.end(),
                     [](const Group& a, const Group& b) { return a.id < b.id; });
    for (int g = 0; g < m_groups.size(); ++g) {
        for (int child = 0; child < m_groups.at(g).rows.size(); ++child)
            m_position[m_groups.at(g).rows.at(child)] = {g, child};
    }
    endResetModel();
}

void UpdateListModel::refreshRow(const UpdateList& list, int row) {
    if (row < 0 || row >= m_rows.size() || !list.isValidRow(row) ||
        list.row(row).Group != m_rows.at(row).Group)
        return reload(list);
    m_rows[row] = list.row(row);
    m_states[row] = list.state(row);
    emit dataChanged(indexOfRow(row, 0), indexOfRow(row, ColumnCount - 1));
}

bool UpdateListModel::refreshContents(const UpdateList& list) {
    if (list.rowCount() != m_rows.size())
        return false;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (list.row(row).Group != m_rows.at(row).Group)
            return false;
    }
    m_rows = list.rows();
    for (int row = 0; row < m_rows.size(); ++row)
        m_states[row] = list.state(row);
    for (int g = 0; g < m_groups.size(); ++g) {
        const QModelIndex parent = index(g, 0);
        emit dataChanged(parent, index(g, ColumnCount - 1));
        if (const int n = rowCount(parent))
            emit dataChanged(index(0, 0, parent), index(n - 1, ColumnCount - 1, parent));
    }
    return true;
}

void UpdateListModel::setStatusNote(const QString& filePath, const QString& note) {
    const QString key = filePath.trimmed().toLower();
    if (note.isEmpty())
        m_statusNotes.remove(key);
    else
        m_statusNotes.insert(key, note);
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).FilePath.trimmed().toLower() == key)
            emit dataChanged(indexOfRow(row, StatusColumn), indexOfRow(row, StatusColumn));
    }
}

void UpdateListModel::setCaptions(const QStringList& columnTitles, const QList<GroupCaption>& groups) {
    m_columnTitles = columnTitles;
    m_captions = groups;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!m_groups.isEmpty())
        emit dataChanged(index(0, 0), index(static_cast<int>(m_groups.size()) - 1, ColumnCount - 1));
}

void UpdateListModel::setReadOnly(bool readOnly) {
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    for (int g = 0; g < m_groups.size(); ++g) {
        const QModelIndex parent = index(g, 0);
        if (const int n = rowCount(parent))
            emit dataChanged(index(0, 0, parent), index(n - 1, 0, parent), {Qt::CheckStateRole});
    }
}

void UpdateListModel::setShowIcons(bool show) {
    if (m_showIcons == show)
        return;
    m_showIcons = show;
    for (int g = 0; g < m_groups.size(); ++g) {
        const QModelIndex parent = index(g, 0);
        if (const int n = rowCount(parent))
            emit dataChanged(index(0, 0, parent), index(n - 1, 0, parent), {Qt::DecorationRole});
    }
}

int UpdateListModel::coreRow(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == kGroupId)
        return -1;
    return m_groups.at(static_cast<qsizetype>(index.internalId() - 1)).rows.at(index.row());
}

QModelIndex UpdateListModel::indexOfRow(int coreRow, int column) const {
    if (coreRow < 0 || coreRow >= m_position.size())
        return {};
    const auto [g, child] = m_position.at(coreRow);
    return createIndex(child, column, static_cast<quintptr>(g + 1));
}

QModelIndex UpdateListModel::groupIndex(ItemGroup group) const {
    for (int g = 0; g < m_groups.size(); ++g) {
        if (m_groups.at(g).id == group)
            return index(g, 0);
    }
    return {};
}

QColor UpdateListModel::stateColour(ItemState state) {
    switch (state) {
    case ItemState::Ok:
        return QColor(0x1D, 0xA1, 0x1D);
    case ItemState::Update:
        return QColor(0xF9, 0x8D, 0x00);
    case ItemState::Unknown:
        return QColor(0xA4, 0xA4, 0xA4);
    }
    return {};
}

QModelIndex UpdateListModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= ColumnCount || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_groups.size() ? createIndex(row, column, kGroupId) : QModelIndex();
    if (parent.internalId() != kGroupId || parent.row() >= m_groups.size())
        return {};
    if (row >= m_groups.at(parent.row()).rows.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(parent.row() + 1));
}

QModelIndex UpdateListModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kGroupId)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupId);
}

int UpdateListModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_groups.size());
    if (parent.internalId() != kGroupId || parent.column() != 0)
        return 0;
    return static_cast<int>(m_groups.at(parent.row()).rows.size());
}

int UpdateListModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant UpdateListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (index.internalId() == kGroupId)
        return groupData(m_groups.at(index.row()), index.column(), role);
    return rowData(coreRow(index), index.column(), role);
}

QVariant UpdateListModel::groupData(const Group& group, int column, int role) const {
    const GroupCaption& caption = m_captions.value(static_cast<int>(group.id));
    if (role == IsGroupRole)
        return true;
    if (column != NameColumn)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return caption.header;
    case SubtitleRole:
    case Qt::ToolTipRole:
        return caption.subtitle;
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    default:
        return {};
    }
}

QVariant UpdateListModel::rowData(int row, int column, int role) const {
    const UpdateItem& item = m_rows.at(row);
    switch (role) {
    case IsGroupRole:
        return false;
    case Qt::DisplayRole:
        switch (column) {
        case NameColumn:
            return item.Name;
        case InstalledColumn:
            return item.InstalledVersion;
        case LatestColumn:
            return item.LatestVersion;
        case StatusColumn:
            return m_statusNotes.value(item.FilePath.trimmed().toLower(), item.Status);
        case PathColumn:
            return item.FilePath;
        }
        return {};
    case Qt::CheckStateRole:
        if (column != NameColumn)
            return {};
        return item.Checked ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
        if (column != NameColumn || !m_showIcons)
            return {};
        return fileIcon(item.FilePath);
    case Qt::ForegroundRole:
        if (column == StatusColumn)
            return stateColour(m_states.at(row));
        return {};
    case Qt::FontRole:
        if (column == StatusColumn) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::ToolTipRole:
        return item.FilePath;
    default:
        return {};
    }
}

bool UpdateListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int row = coreRow(index);
    if (row < 0 || role != Qt::CheckStateRole || index.column() != NameColumn || m_readOnly)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (m_rows.at(row).Checked == checked)
        return true;
    m_rows[row].Checked = checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit markToggled(row, checked);
    return true;
}

Qt::ItemFlags UpdateListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.internalId() == kGroupId)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == NameColumn && !m_readOnly)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant UpdateListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_columnTitles.value(section);
}

} // namespace quillon::ui
