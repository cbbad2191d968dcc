#pragma once
// The update list: the rows in their order, the group file lists that mirror them, the list of
// rows hidden during the inventory pass and the snapshot. A view attaches an observer; nothing
// here knows about widgets.
#include <QList>
#include <QString>
#include <QStringList>

#include "inventory/group_file_list.h"
#include "inventory/item_state.h"
#include "inventory/list_snapshot.h"
#include "inventory/update_item.h"

namespace quillon {

// Paths whose rows identification removed again during the pass.
using HiddenItemList = QStringList;

// Mirrors the begin/end pairs of a Qt item model so a view can forward them unchanged.
class UpdateListObserver {
public:
    virtual ~UpdateListObserver() = default;
    virtual void beginInsertRow(int row) = 0;
    virtual void endInsertRow() = 0;
    virtual void beginRemoveRow(int row) = 0;
    virtual void endRemoveRow() = 0;
    virtual void rowChanged(int row) = 0;
    virtual void beginReset() = 0;
    virtual void endReset() = 0;
};

class UpdateList {
public:
    explicit UpdateList(StatusTexts texts = {});

    void setObserver(UpdateListObserver* observer) { m_observer = observer; }
    // Everything but the observer taken from other (a job's copy); the observer is told nothing:
    // its owner shows the list again.
    void replaceWith(const UpdateList& other) {
        UpdateListObserver* observer = m_observer;
        *this = other;
        m_observer = observer;
    }
    // Rows keep their status text; a changed language shows in the rows after a restore.
    void setStatusTexts(const StatusTexts& texts) { m_texts = texts; }
    const StatusTexts& statusTexts() const { return m_texts; }

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    bool isValidRow(int row) const { return row >= 0 && row < rowCount(); }
    const UpdateItem& row(int row) const { return m_rows.at(row); }
    const QList<UpdateItem>& rows() const { return m_rows; }
    ItemState state(int row) const { return itemState(m_rows.at(row).Status, m_texts); }
    bool hasTcRow() const { return !m_rows.isEmpty() && m_rows.first().Group == ItemGroup::TC; }
    // First row with this path (trimmed, letter case ignored), or -1.
    int indexOfPath(const QString& filePath) const;

    // Appends a new row: Unknown, Ordinal = its position now. Returns the row index.
    int addRow(const QString& name, const QString& installedVersion, const QString& filePath,
               ItemGroup group);
    void setName(int row, const QString& name);
    void setInstalledVersion(int row, const QString& version);
    void setLatestVersion(int row, const QString& version);
    void setState(int row, ItemState state);
    void setChecked(int row, bool checked);
    // The row's values as a copy of the list has them; its Ordinal stays.
    void setRow(int row, const UpdateItem& item);
    int checkedCount() const;
    // Rows marked for update, in order.
    QList<int> markedRows() const;
    int countInState(ItemState state) const;

    GroupFileLists& groupLists() { return m_groups; }
    const GroupFileLists& groupLists() const { return m_groups; }
    // Row of the k-th entry of a group's file list.
    int rowOfListEntry(ItemGroup group, int k) const { return m_groups.rowIndex(group, k, hasTcRow()); }
    // After the pass: groups 1 to 6 hold exactly the list entries, in order, after Total
    // Commander's row.
    bool groupListsMatchRows() const;

    const HiddenItemList& hiddenItems() const { return m_hidden; }
    // During the pass: identification made no row for this path, or removed the one it made.
    void hidePath(const QString& filePath);
    void hideRow(int row);
    // End of the pass: the hidden paths leave the group lists; the hidden list is emptied.
    void finishPass();

    // Removes a row and, for groups 1 to 6, its entry in the group's file list.
    void removeRow(int row);
    // Removes every row, list entry and snapshot line of this path; returns the rows removed.
    int excludePath(const QString& filePath);
    // Deletes the rows (a reload); group lists, hidden list and snapshot are the pass's to reset.
    void clearRows();
    // A fresh pass: rows, group lists and hidden list emptied.
    void resetForPass();

    const ListSnapshot& snapshot() const { return m_snapshot; }
    // The rows as they stand become the snapshot the filters and a restore start from.
    void takeSnapshot();
    // Rebuilds the rows from snapshot lines (the snapshot itself or a filtered copy of it).
    void restoreFromSnapshot(const QList<SnapshotLine>& lines);
    // Refreshes the snapshot lines of filePath from the row at rowIndex.
    void updateSnapshotRow(const QString& filePath, int rowIndex);

private:
    void changed(int row);

    StatusTexts m_texts;
    QList<UpdateItem> m_rows;
    GroupFileLists m_groups;
    HiddenItemList m_hidden;
    ListSnapshot m_snapshot;
    UpdateListObserver* m_observer = nullptr;
};

} // namespace quillon
