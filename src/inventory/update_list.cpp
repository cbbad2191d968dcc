#include "inventory/update_list.h"
#include "inventory/update_item.h"

#include <algorithm>
#include <utility>

namespace quillon {

UpdateList::UpdateList(StatusTexts texts) : m_texts(std::move(texts)) {}

int UpdateList::indexOfPath(const QString& filePath) const {
    for (int r = 0; r < rowCount(); ++r) {
        if (sameItemPath(m_rows[r].FilePath, filePath))
            return r;
    }
    return -1;
}

int UpdateList::addRow(const QString& name, const QString& installedVersion, const QString& filePath,
                       ItemGroup group) {
    UpdateItem item;
    item.Name = name;
    item.InstalledVersion = installedVersion;
    item.Status = m_texts.unknown;
    item.FilePath = filePath;
    item.Group = group;
    item.Ordinal = rowCount();
    const int r = rowCount();
    if (m_observer)
        m_observer->beginInsertRow(r);
    m_rows.append(item);
    if (m_observer)
        m_observer->endInsertRow();
    return r;
}

void UpdateList::changed(int row) {
    if (m_observer)
        m_observer->rowChanged(row);
}

void UpdateList::setName(int row, const QString& name) {
    m_rows[row].Name = name;
    changed(row);
}

void UpdateList::setInstalledVersion(int row, const QString& version) {
    m_rows[row].InstalledVersion = version;
    changed(row);
}

void UpdateList::setLatestVersion(int row, const QString& version) {
    m_rows[row].LatestVersion = version;
    changed(row);
}

void UpdateList::setState(int row, ItemState state) {
    m_rows[row].Status = statusText(state, m_texts);
    changed(row);
}

void UpdateList::setChecked(int row, bool checked) {
    m_rows[row].Checked = checked;
    changed(row);
}

void UpdateList::setRow(int row, const UpdateItem& item) {
    const int ordinal = m_rows.at(row).Ordinal;
    m_rows[row] = item;
    m_rows[row].Ordinal = ordinal;
    changed(row);
}

int UpdateList::checkedCount() const {
    return static_cast<int>(
        std::count_if(m_rows.cbegin(), m_rows.cend(), [](const UpdateItem& i) { return i.Checked; }));
}

QList<int> UpdateList::markedRows() const {
    QList<int> marked;
    for (int row = 0; row < rowCount(); ++row) {
        if (m_rows.at(row).Checked)
            marked.append(row);
    }
    return marked;
}

int UpdateList::countInState(ItemState s) const {
    return static_cast<int>(std::count_if(m_rows.cbegin(), m_rows.cend(), [&](const UpdateItem& i) {
        return itemState(i.Status, m_texts) == s;
    }));
}

bool UpdateList::groupListsMatchRows() const {
    const int first = hasTcRow() ? 1 : 0;
    if (rowCount() - first != m_groups.totalCount())
        return false;
    for (int r = first; r < rowCount(); ++r) {
        const auto pos = m_groups.locate(r, hasTcRow());
        if (!pos || m_rows[r].Group != pos->group ||
            !sameItemPath(m_rows[r].FilePath, m_groups.list(pos->group).at(pos->index).filePath))
            return false;
    }
    return true;
}

void UpdateList::hidePath(const QString& filePath) {
    m_hidden.append(filePath);
}

void UpdateList::hideRow(int row) {
    m_hidden.append(m_rows.at(row).FilePath);
    if (m_observer)
        m_observer->beginRemoveRow(row);
    m_rows.removeAt(row);
    if (m_observer)
        m_observer->endRemoveRow();
}

void UpdateList::finishPass() {
    m_groups.dropHidden(m_hidden);
    m_hidden.clear();
}

void UpdateList::removeRow(int row) {
    const UpdateItem& item = m_rows.at(row);
    if (GroupFileLists::hasList(item.Group)) {
        GroupFileList& list = m_groups.list(item.Group);
        // The row's own entry when the lists mirror the rows; else the first with its path.
        const auto pos = m_groups.locate(row, hasTcRow());
        int k = -1;
        if (pos && pos->group == item.Group && sameItemPath(list.at(pos->index).filePath, item.FilePath))
            k = pos->index;
        else
            k = list.indexOfPath(item.FilePath);
        if (k >= 0)
            list.removeAt(k);
    }
    if (m_observer)
        m_observer->beginRemoveRow(row);
    m_rows.removeAt(row);
    if (m_observer)
        m_observer->endRemoveRow();
}

int UpdateList::excludePath(const QString& filePath) {
    int removed = 0;
    for (int r = rowCount() - 1; r >= 0; --r) {
        if (sameItemPath(m_rows[r].FilePath, filePath)) {
            if (m_observer)
                m_observer->beginRemoveRow(r);
            m_rows.removeAt(r);
            if (m_observer)
                m_observer->endRemoveRow();
            ++removed;
        }
    }
    m_groups.removePath(filePath);
    m_snapshot.removeByPath(filePath);
    return removed;
}

void UpdateList::clearRows() {
    if (m_observer)
        m_observer->beginReset();
    m_rows.clear();
    if (m_observer)
        m_observer->endReset();
}

void UpdateList::resetForPass() {
    clearRows();
    m_groups.clear();
    m_hidden.clear();
}

void UpdateList::takeSnapshot() {
    m_snapshot.clear();
    for (const UpdateItem& item : std::as_const(m_rows))
        m_snapshot.append(SnapshotLine::fromItem(item, m_texts));
}

void UpdateList::restoreFromSnapshot(const QList<SnapshotLine>& lines) {
    if (m_observer)
        m_observer->beginReset();
    m_rows.clear();
    m_rows.reserve(lines.size());
    for (const SnapshotLine& line : lines)
        m_rows.append(line.toItem(m_texts));
    if (m_observer)
        m_observer->endReset();
}

void UpdateList::updateSnapshotRow(const QString& filePath, int rowIndex) {
    if (!isValidRow(rowIndex))
        return;
    m_snapshot.replaceByPath(filePath, SnapshotLine::fromItem(m_rows[rowIndex], m_texts));
}

} // namespace quillon
